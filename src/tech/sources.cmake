# Sources of src/tech
