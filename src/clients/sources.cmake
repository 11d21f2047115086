# Sources of src/clients
