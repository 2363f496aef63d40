# The Windows layout and its zip (cpack builds tessovane2-<version>-win64.zip):
#   bin/       every installed program (.exe) and tessovane2_prompt.cmd beside them
#   doc/       the manual pages as HTML, made with groff at build time
#   examples/  the sample surveys
#   README-windows.txt
# Programs come from their own install(TARGETS ... RUNTIME DESTINATION bin)
# rules; nothing here names them.
install(PROGRAMS scripts/tessovane2_prompt.cmd DESTINATION bin)
install(FILES examples/old.hz examples/new.hz DESTINATION examples)

# The short text for Windows users, with Windows line ends.
configure_file(packaging/README-windows.txt ${CMAKE_BINARY_DIR}/README-windows.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/README-windows.txt DESTINATION .)

find_program(TESSOVANE2_GROFF groff REQUIRED)
file(GLOB manual_pages CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/man/*.1)
set(html_pages)
foreach(page IN LISTS manual_pages)
  get_filename_component(name ${page} NAME)
  set(html ${CMAKE_BINARY_DIR}/doc/${name}.html)
  add_custom_command(OUTPUT ${html}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/doc
    COMMAND ${TESSOVANE2_GROFF} -man -Thtml -ww ${page} > ${html}
    DEPENDS ${page}
    COMMENT "Manual page ${name} as HTML"
    VERBATIM)
  list(APPEND html_pages ${html})
endforeach()
add_custom_target(html_manual ALL DEPENDS ${html_pages})
install(FILES ${html_pages} DESTINATION doc)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME tessovane2)
set(CPACK_PACKAGE_VENDOR "KOV")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compare station positions and heights of two survey files")
set(CPACK_PACKAGE_FILE_NAME tessovane2-${PROJECT_VERSION}-win64)
set(CPACK_STRIP_FILES ON)
include(CPack)
