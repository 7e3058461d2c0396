# vesk_add_panel(): everything the build does for one script panel, from
# the one call in the panel's folder (panels/<Studio>/<Panel>/CMakeLists.txt).
#
#   vesk_add_panel(<Panel>
#     SOURCES      file...   the panel's sources, its export among them
#     DESCRIPTION  text      the version resource's FileDescription
#     LAYOUTS      file...   the layout files the panel shows
#     STUDIO       file      the studio table its scenarios run against
#     SCENARIOS    folder    its scenarios, *.scenario
#     README       file      the package readme, configured (@PROJECT_VERSION@)
#     README_NAMES word...)  what the readme must say (controls, devices, ...)
#
# It makes the OBJECT library <panel>_panel (the name in lower case, for
# tests that link the panel directly) and the plug-in <Panel> (a .so, or the
# DLL with its version resource and one export), puts the layouts and the
# studio table beside the plug-in, and in a 32-bit Windows build packs
# <Panel>-<version>-win32.zip (tools/pack-zip). The panel's name goes on the
# global list VESK_PANELS; tests/ and the test stages read that list, and
# panels.txt in the build folder, to check and run every panel alike.
function(vesk_add_panel name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "DESCRIPTION;STUDIO;SCENARIOS;README"
                        "SOURCES;LAYOUTS;README_NAMES")
  foreach(required SOURCES DESCRIPTION LAYOUTS STUDIO SCENARIOS README)
    if(NOT arg_${required})
      message(FATAL_ERROR "vesk_add_panel(${name}): ${required} is missing")
    endif()
  endforeach()
  set(here ${CMAKE_CURRENT_SOURCE_DIR})
  set(panel_files ${PROJECT_SOURCE_DIR}/cmake/panel)
  string(TOLOWER ${name} lower)

  add_library(${lower}_panel OBJECT ${arg_SOURCES})
  target_link_libraries(${lower}_panel PUBLIC vesk_framework)

  add_library(${name} SHARED $<TARGET_OBJECTS:${lower}_panel>)
  target_link_libraries(${name} PRIVATE vesk_framework)
  set_target_properties(${name} PROPERTIES PREFIX "")
  if(NOT WIN32)
    # Exactly one exported symbol.
    target_link_options(${name} PRIVATE "LINKER:--version-script=${panel_files}/exports.map")
    set_target_properties(${name} PROPERTIES LINK_DEPENDS "${panel_files}/exports.map")
    # No undefined symbols left for the host to supply; sanitizer builds leave
    # their runtime's symbols to the executable, so they cannot ask for this.
    if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize")
      target_link_options(${name} PRIVATE "LINKER:-z,defs")
    endif()
  else()
    # The DLL: its one export listed in exports.def, its version resource, and
    # the compiler's runtime linked in, because a studio machine has none of
    # MinGW's runtime DLLs (libstdc++, libgcc, winpthread) to load beside it.
    set(PANEL_NAME ${name})
    set(PANEL_DESCRIPTION "${arg_DESCRIPTION}")
    configure_file(${panel_files}/panel.rc.in ${name}.rc @ONLY)
    target_sources(${name} PRIVATE ${panel_files}/exports.def ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
    target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()

  # The layouts and the studio table live beside the plug-in: the host is
  # told to look there for layouts, and panelhost takes the table there
  # (studio.json) when it is given none.
  set(copies "")
  foreach(layout IN LISTS arg_LAYOUTS)
    get_filename_component(file ${layout} NAME)
    list(APPEND copies
         COMMAND ${CMAKE_COMMAND} -E copy_if_different ${here}/${layout} $<TARGET_FILE_DIR:${name}>/${file})
  endforeach()
  add_custom_command(TARGET ${name} POST_BUILD ${copies}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${here}/${arg_STUDIO} $<TARGET_FILE_DIR:${name}>/studio.json)

  # The package readme, with Windows line endings.
  configure_file(${arg_README} ${name}-readme.txt @ONLY NEWLINE_STYLE WIN32)
  if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4 AND VESK_PACKAGE STREQUAL "panels")
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    set(zip ${CMAKE_BINARY_DIR}/${name}-${PROJECT_VERSION}-win32.zip)
    add_custom_command(OUTPUT ${zip}
      COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/pack-zip ${zip}
              ${name}-readme.txt=${CMAKE_CURRENT_BINARY_DIR}/${name}-readme.txt ${name}.dll=$<TARGET_FILE:${name}>
      DEPENDS ${name} ${CMAKE_CURRENT_BINARY_DIR}/${name}-readme.txt ${PROJECT_SOURCE_DIR}/tools/pack-zip
      COMMENT "Packing ${name}-${PROJECT_VERSION}-win32.zip")
    add_custom_target(${name}_zip ALL DEPENDS ${zip})
  endif()

  file(GLOB scenarios ${here}/${arg_SCENARIOS}/*.scenario)
  list(SORT scenarios)
  set_target_properties(${name} PROPERTIES
    VESK_PANEL_FOLDER ${here}
    VESK_PANEL_DESCRIPTION "${arg_DESCRIPTION}"
    VESK_PANEL_LAYOUTS "${arg_LAYOUTS}"
    VESK_PANEL_STUDIO ${here}/${arg_STUDIO}
    VESK_PANEL_SCENARIOS "${scenarios}"
    VESK_PANEL_README_NAMES "${arg_README_NAMES}")
  set_property(GLOBAL APPEND PROPERTY VESK_PANELS ${name})
endfunction()

# Writes panels.txt in the build folder: one line per panel, in the list's
# order (the first is the example), with its name, its source folder
# relative to the project, its plug-in relative to the build folder and its
# description, separated by tabs. The test stages loop over it.
function(vesk_write_panel_list)
  get_property(panels GLOBAL PROPERTY VESK_PANELS)
  set(lines "")
  foreach(panel IN LISTS panels)
    get_target_property(folder ${panel} VESK_PANEL_FOLDER)
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${folder})
    get_target_property(description ${panel} VESK_PANEL_DESCRIPTION)
    string(APPEND lines
           "${panel}\t${folder}\t$<PATH:RELATIVE_PATH,$<TARGET_FILE:${panel}>,${CMAKE_BINARY_DIR}>\t${description}\n")
  endforeach()
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/panels.txt CONTENT "${lines}")
endfunction()
