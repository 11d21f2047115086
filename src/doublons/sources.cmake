# Sources of src/doublons: candidate duplicate clients, found by cheap keys and
# scored field by field.
target_sources(verif_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/BilanDoublons.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Doublons.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Fusion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VerbesDoublons.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Membres.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Normalisation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PasDoublon.cpp
)
target_sources(verif_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/FenetreDoublons.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FenetreDoublons.h
)
