# Sources of src/store: the record store over SQLite.
target_sources(verif_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Connexion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Dates.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Erreur.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Jet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Journal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Recordset.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Schema.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Valeur.cpp
)
