# Sources of src/export
