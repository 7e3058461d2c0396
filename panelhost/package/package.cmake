# The zip for a studio engineer's PC (cpack, or the package step of the
# panelhost-win32 workflow), panelhost-<version>-win32.zip, to unzip next to
# ZUV_OZo.dll: panelhost.exe, the layout the panel shows, the shipped
# scenarios, the default device table and a readme, the texts with Windows
# line endings (as Notepad and an engineer's editor save them).
configure_file(package/panelhost-readme.txt.in panelhost-readme.txt @ONLY NEWLINE_STYLE WIN32)
install(TARGETS panelhost RUNTIME DESTINATION .)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/panelhost-readme.txt
  ${PROJECT_SOURCE_DIR}/panels/Studio_A/ZUV_OZo/scr_mons.vesk_ui
  studio/default_devices.json
  DESTINATION .)
file(GLOB scenarios ${PROJECT_SOURCE_DIR}/panels/Studio_A/ZUV_OZo/scenarios/*.scenario)
foreach(scenario IN LISTS scenarios)
  get_filename_component(name ${scenario} NAME)
  # Read again when a scenario changes.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${scenario})
  file(READ ${scenario} text)
  string(REGEX REPLACE "\r?\n" "\r\n" text "${text}")
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/scenarios/${name} "${text}")
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/scenarios/${name} DESTINATION scenarios)
endforeach()

# Packing builds panelhost alone, not everything the build could make.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON PARENT_SCOPE)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME panelhost)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
