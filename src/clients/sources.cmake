# Sources of src/clients: field rules, analysis run, tidying, correction panels.
target_sources(verif_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Analyse.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AnalysesNotees.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Annulation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Correction.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Groupee.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VerbesClients.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VerbeSuggestions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Rangement.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Regles.cpp
)
target_sources(verif_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/FenetreGroupee.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FenetreGroupee.h
  ${CMAKE_CURRENT_LIST_DIR}/FenetreGroupee.ui
  ${CMAKE_CURRENT_LIST_DIR}/OngletClients.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OngletClients.h
  ${CMAKE_CURRENT_LIST_DIR}/OngletClients.ui
  ${CMAKE_CURRENT_LIST_DIR}/PanneauClient.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PanneauClient.h
  ${CMAKE_CURRENT_LIST_DIR}/PanneauCp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PanneauCp.h
  ${CMAKE_CURRENT_LIST_DIR}/SuiviAnalyseClients.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SuiviAnalyseClients.h
)
