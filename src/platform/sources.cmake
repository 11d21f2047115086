# Sources of src/platform: RTF to plain text, Windows-1252, file names read
# without regard to letter case, the working locale, work folders and renames.
target_sources(verif_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Bascule.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Cp1252.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Fichiers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Locale.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Rtf.cpp
)
