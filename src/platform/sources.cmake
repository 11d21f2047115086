# Sources of src/platform: what the original took from the platform.
target_sources(verif_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Bascule.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Cp1252.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Fichiers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Locale.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Rtf.cpp
)
