# Sources of src/app: the top: start-up, the main window frame, the table of
# batch verbs (built once, the painted report's included) and its dispatcher,
# the journal's verb, the message boxes.
target_sources(verif_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Batch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ChoixDossier.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Demarrage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Form1.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Form1.h
  ${CMAKE_CURRENT_LIST_DIR}/Form1.ui
  ${CMAKE_CURRENT_LIST_DIR}/MessagesQt.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VerbeJournal.cpp
)
