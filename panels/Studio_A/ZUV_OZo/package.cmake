# The deployable zip of the Windows build (cpack, or the package step of the
# windows-x86 workflow): the DLL and its readme, at the top of the archive,
# named ZUV_OZo-<version>-win32.zip.
configure_file(ZUV_OZo-readme.txt.in ZUV_OZo-readme.txt @ONLY NEWLINE_STYLE WIN32)
install(TARGETS ZUV_OZo RUNTIME DESTINATION .)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/ZUV_OZo-readme.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ZUV_OZo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
