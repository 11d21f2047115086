# Sources of src/tech: technical sheet analysis and correction.
target_sources(verif_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/OngletTechniques.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OngletTechniques.h
  ${CMAKE_CURRENT_LIST_DIR}/OngletTechniques.ui
)
