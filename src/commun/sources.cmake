# Sources of src/commun: what every feature needs and that belongs to none: the
# shared state, the towns reference, the message boxes' interface, what a verb
# is given, the key filters and the helpers of lists and boxes.
target_sources(verif_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Communes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FiltreChiffres.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Messages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Variables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Verbes.cpp
)
target_sources(verif_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Controles.cpp
)
