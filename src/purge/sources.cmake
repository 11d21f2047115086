# Sources of src/purge: deletion of old clients and technical sheets.
target_sources(verif_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AnnulationPurge.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VerbesPurge.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Purge.cpp
)
target_sources(verif_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/OngletPurge.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OngletPurge.h
  ${CMAKE_CURRENT_LIST_DIR}/OngletPurge.ui
)
