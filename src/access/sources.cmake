# Sources of src/access: conversion of Microsoft Access (Jet) databases.
target_sources(verif_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Conversion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ecriture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VerbeConversion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Protocole.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Valeurs.cpp
)
target_sources(verif_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/DialogueConversion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogueConversion.h
  ${CMAKE_CURRENT_LIST_DIR}/DialogueConversion.ui
)

# The reader: libmdb stays in this child process, so that a damaged file cannot
# bring down the window.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBMDB REQUIRED IMPORTED_TARGET libmdb)
add_executable(verifclients-access
  ${CMAKE_CURRENT_LIST_DIR}/lecteur/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lecteur/LecteurMdb.cpp
)
target_link_libraries(verifclients-access PRIVATE verif_core PkgConfig::LIBMDB)
# The windows find the reader beside the program: build it with them.
add_dependencies(verif_ui verifclients-access)
