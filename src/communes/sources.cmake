# Sources of src/communes: the towns reference and the default town dialog.
target_sources(verif_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Communes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FichierDefaut.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FiltreChiffres.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IndexCommunes.cpp
)
target_sources(verif_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Form2.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Form2.h
  ${CMAKE_CURRENT_LIST_DIR}/Form2.ui
)
