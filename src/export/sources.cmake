# Sources of src/export: the client and technical sheet export files.
target_sources(verif_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Export.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LectureTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VerbesExport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LotFichiers.cpp
)
target_sources(verif_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ExportFenetre.cpp
)
