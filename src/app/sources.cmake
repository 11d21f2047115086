# Sources of src/app: start-up, main window frame, batch mode, message boxes.
target_sources(verif_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Messages.cpp
)
target_sources(verif_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Demarrage.cpp
)
