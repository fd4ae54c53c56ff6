# package.cmake: the zip a user downloads: Dorvik.exe, the support program's
# Windows build when there is one, the README and their SHA-256 list.
#
# Named after the version that the version resource carries, read from the
# header the resource and the code take it from. Made by
# `cpack --preset release` after the windows build.
file(STRINGS ${PROJECT_SOURCE_DIR}/src/startup/program_version.h DORVIK_VERSION_LINE
  REGEX "^#define PROGRAM_VERSION_STRING ")
string(REGEX REPLACE ".*\"(.*)\".*" "\\1" DORVIK_VERSION "${DORVIK_VERSION_LINE}")

set(DORVIK_PACKAGE_FILES $<TARGET_FILE:Dorvik>)
install(TARGETS Dorvik RUNTIME DESTINATION .)
if(TARGET dorvik-support)
  install(TARGETS dorvik-support RUNTIME DESTINATION .)
  list(APPEND DORVIK_PACKAGE_FILES $<TARGET_FILE:dorvik-support>)
endif()
install(FILES README.md DESTINATION .)
list(APPEND DORVIK_PACKAGE_FILES ${PROJECT_SOURCE_DIR}/README.md)

# The list is written next to the files as they are installed, in the format
# that `sha256sum -c` and certutil users both read: hash, two spaces, name.
install(CODE "
  set(list_text \"\")
  foreach(file ${DORVIK_PACKAGE_FILES})
    get_filename_component(name \${file} NAME)
    file(SHA256 \${file} hash)
    string(APPEND list_text \"\${hash}  \${name}\\n\")
  endforeach()
  file(WRITE \"\${CMAKE_INSTALL_PREFIX}/SHA256SUMS.txt\" \"\${list_text}\")
")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Dorvik)
set(CPACK_PACKAGE_VERSION ${DORVIK_VERSION})
set(CPACK_PACKAGE_FILE_NAME Dorvik-${DORVIK_VERSION}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
