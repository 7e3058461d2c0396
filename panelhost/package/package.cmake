# The zip for a studio engineer's PC, panelhost-<version>-win32.zip, to
# unzip next to a panel's DLL: panelhost.exe, a readme with Windows line
# endings, and the example panel's (the first listed) layouts, studio table
# and scenarios (with Windows line endings). Packed by tools/pack-zip, so that two builds give the same
# bytes; the panelhost_zip target of the panelhost-win32 build.
get_property(panels GLOBAL PROPERTY VESK_PANELS)
list(GET panels 0 EXAMPLE_PANEL)
get_target_property(example_folder ${EXAMPLE_PANEL} VESK_PANEL_FOLDER)
get_target_property(example_layouts ${EXAMPLE_PANEL} VESK_PANEL_LAYOUTS)
get_target_property(example_studio ${EXAMPLE_PANEL} VESK_PANEL_STUDIO)
get_target_property(example_scenarios ${EXAMPLE_PANEL} VESK_PANEL_SCENARIOS)
list(GET example_layouts 0 EXAMPLE_LAYOUT)
list(GET example_scenarios 0 EXAMPLE_SCENARIO)
get_filename_component(EXAMPLE_SCENARIO ${EXAMPLE_SCENARIO} NAME)
configure_file(package/panelhost-readme.txt.in panelhost-readme.txt @ONLY NEWLINE_STYLE WIN32)

set(files panelhost.exe=$<TARGET_FILE:panelhost> studio.json=${example_studio})
foreach(layout IN LISTS example_layouts)
  get_filename_component(name ${layout} NAME)
  list(APPEND files ${name}=${example_folder}/${layout})
endforeach()
foreach(scenario IN LISTS example_scenarios)
  get_filename_component(name ${scenario} NAME)
  list(APPEND files scenarios/${name}=${scenario})
endforeach()
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(zip ${CMAKE_BINARY_DIR}/panelhost-${PROJECT_VERSION}-win32.zip)
add_custom_command(OUTPUT ${zip}
  COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/pack-zip ${zip}
          panelhost-readme.txt=${CMAKE_CURRENT_BINARY_DIR}/panelhost-readme.txt ${files}
  DEPENDS panelhost ${CMAKE_CURRENT_BINARY_DIR}/panelhost-readme.txt ${PROJECT_SOURCE_DIR}/tools/pack-zip
          ${example_studio} ${example_scenarios}
  COMMENT "Packing panelhost-${PROJECT_VERSION}-win32.zip")
add_custom_target(panelhost_zip ALL DEPENDS ${zip})
