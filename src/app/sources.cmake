# Sources of src/app: start-up, main window frame, batch mode, message boxes.
target_sources(verif_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Batch.cpp
)
target_sources(verif_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Demarrage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Form1.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Form1.h
  ${CMAKE_CURRENT_LIST_DIR}/Form1.ui
  ${CMAKE_CURRENT_LIST_DIR}/MessagesQt.cpp
)
