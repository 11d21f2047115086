# Sources of src/communes
