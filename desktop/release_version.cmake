# The release number lives in project(VERSION). The package changelog, the software-centre
# metadata and the manual pages repeat it, so configuring stops when one of them disagrees.
set(_release_files debian/changelog desktop/io.github.quillfen.Solitaire.metainfo.xml desktop/quillfen-solitaire.6)
set(_release_patterns
  "^quillfen-solitaire \\(([^)]+)\\)"      # the newest changelog entry comes first
  "<release version=\"([^\"]+)\""          # so does the newest release
  "^\\.TH .*\"Quillfen Solitaire ([^\"]+)\"")
file(GLOB _translated_pages RELATIVE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/desktop/man/*/quillfen-solitaire.6)
foreach(_page IN LISTS _translated_pages)
  list(APPEND _release_files ${_page})
  list(APPEND _release_patterns "^\\.TH .*\"Quillfen Solitaire ([^\"]+)\"")
endforeach()
foreach(_file _pattern IN ZIP_LISTS _release_files _release_patterns)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${_file})
  file(STRINGS ${CMAKE_SOURCE_DIR}/${_file} _lines REGEX "${_pattern}")
  list(GET _lines 0 _first)
  string(REGEX MATCH "${_pattern}" _ "${_first}")
  if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "${_file} names version '${CMAKE_MATCH_1}', the project is ${PROJECT_VERSION}")
  endif()
endforeach()
