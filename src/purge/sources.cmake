# Sources of src/purge
