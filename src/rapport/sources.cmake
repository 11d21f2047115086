# Sources of src/rapport: the migration report.
# The figures are gathered by the core; the document, its chart, the PDF, the
# printing, the report window and the verb that writes the PDF are painted,
# so they belong to the window layer.
target_sources(verif_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Chiffres.cpp
)
target_sources(verif_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Document.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FenetreRapport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FenetreRapport.h
  ${CMAKE_CURRENT_LIST_DIR}/FenetreRapport.ui
  ${CMAKE_CURRENT_LIST_DIR}/Graphique.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Graphique.h
  ${CMAKE_CURRENT_LIST_DIR}/VerbeRapport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MiseEnPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MiseEnPage.h
  ${CMAKE_CURRENT_LIST_DIR}/Sections.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Sections.h
)
target_link_libraries(verif_ui PUBLIC Qt6::PrintSupport)
