# The resource that both Windows programs carry (dist/windows/program.rc.in):
# icon, version, copyright and manifest. The copyright is dist/copyright's
# for the whole source, as LICENCE.txt gives it: without the address, which
# Debian wants there and Windows' file properties have no use for.
file(READ ${PROJECT_SOURCE_DIR}/dist/copyright copyright)
if(NOT copyright MATCHES "\nFiles: \\*\nCopyright: ([0-9][0-9, -]*) ([^\n<]*[^\n< ])")
  message(FATAL_ERROR "dist/copyright names no holder for 'Files: *'")
endif()
set(VARDANE_COPYRIGHT_HOLDER "${CMAKE_MATCH_2}")
set(VARDANE_COPYRIGHT "Copyright (c) ${CMAKE_MATCH_1} ${CMAKE_MATCH_2}")

function(vardane_windows_resources program description)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${program}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/dist/windows/program.rc.in ${rc} @ONLY)
  # windres reads the icon and the manifest, which CMake does not see.
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS
    "${PROJECT_SOURCE_DIR}/dist/windows/vardane.ico;${PROJECT_SOURCE_DIR}/dist/windows/vardane.manifest")
  target_sources(${program} PRIVATE ${rc})
endfunction()
