# Sources of src/tech: technical sheet analysis and correction.
target_sources(verif_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AnalyseTech.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FicheTech.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VerbesTech.cpp
)
target_sources(verif_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/OngletTechniques.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OngletTechniques.h
  ${CMAKE_CURRENT_LIST_DIR}/OngletTechniques.ui
)
