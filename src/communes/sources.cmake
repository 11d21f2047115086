# Sources of src/communes: default.txt, the towns index behind the suggestions,
# and the default town dialog.
target_sources(verif_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/FichierDefaut.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IndexCommunes.cpp
)
target_sources(verif_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Form2.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Form2.h
  ${CMAKE_CURRENT_LIST_DIR}/Form2.ui
)
