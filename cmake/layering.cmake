# The libraries stay layered: nothing in src/core or src/sim reaches the
# widgets.
#
# - wizard_core puts only src/core on its include path, wizard_sim only
#   src/sim and the core's, so an include of a UI header ("controls/...",
#   "framework/...") by its folder does not compile.
# - wizard_core_layering scans every core and simulator file for what the
#   include path cannot stop: a path that climbs out of the tree, a UI
#   folder, or a GUI module of the toolkit named by its folder
#   (<QtWidgets/QWidget>).
# - wizard_core_headers compiles every core header in one unit with the
#   toolkit's core and network modules only, so a header that needs
#   widgets, or the GUI module, fails there.
# - After configuring, no core library, the simulator's or a core-only tool
#   may link the widget library or a GUI module of the toolkit.
# - wizard_ui_layering scans the UI tree for an include from a layer above
#   the including folder: the shell (shell/) builds the pages (pages/), which
#   stand on the wizard framework (framework/), which stands on the controls
#   and the skin.
# The core and simulator libraries wait for the first two, the UI library
# for its own scan, so no build gets past them.

set(WIZARD_LAYERING_STAMP ${CMAKE_BINARY_DIR}/layering/core-includes.stamp)
file(GLOB_RECURSE WIZARD_CORE_HEADERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/core/*.h)
wizard_keep_this_system(WIZARD_CORE_HEADERS)

# Scans `tree` (core or sim) into `stamp`.
function(wizard_scan_includes tree stamp sources)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DTREE=${CMAKE_SOURCE_DIR}/src/${tree} -DSTAMP=${stamp}
            -P ${CMAKE_SOURCE_DIR}/cmake/check-core-includes.cmake
    DEPENDS ${sources} ${CMAKE_SOURCE_DIR}/cmake/check-core-includes.cmake ${CMAKE_SOURCE_DIR}/cmake/include-names.cmake
    COMMENT "Checking that src/${tree} includes nothing from src/ui"
    VERBATIM)
endfunction()
wizard_scan_includes(core ${WIZARD_LAYERING_STAMP} "${WIZARD_CORE_SOURCES}")
set(WIZARD_SIM_LAYERING_STAMP ${CMAKE_BINARY_DIR}/layering/sim-includes.stamp)
wizard_scan_includes(sim ${WIZARD_SIM_LAYERING_STAMP} "${WIZARD_SIM_SOURCES}")
add_custom_target(wizard_core_layering ALL DEPENDS ${WIZARD_LAYERING_STAMP} ${WIZARD_SIM_LAYERING_STAMP})

set(WIZARD_HEADERS_UNIT ${CMAKE_BINARY_DIR}/layering/core_headers.cpp)
set(unit "// Generated: every header of src/core, without the widget modules.\n")
foreach(header ${WIZARD_CORE_HEADERS})
  file(RELATIVE_PATH name ${CMAKE_SOURCE_DIR}/src/core ${header})
  string(APPEND unit "#include \"${name}\"\n")
endforeach()
file(CONFIGURE OUTPUT ${WIZARD_HEADERS_UNIT} CONTENT "${unit}")
add_library(wizard_core_headers OBJECT ${WIZARD_HEADERS_UNIT})
set_target_properties(wizard_core_headers PROPERTIES AUTOMOC OFF)
target_include_directories(wizard_core_headers PRIVATE ${CMAKE_SOURCE_DIR}/src/core)
target_link_libraries(wizard_core_headers PRIVATE Qt6::Core Qt6::Network)

add_dependencies(wizard_core wizard_core_layering wizard_core_headers)
add_dependencies(wizard_sim wizard_core_layering)

set(WIZARD_UI_LAYERING_STAMP ${CMAKE_BINARY_DIR}/layering/ui-layers.stamp)
add_custom_command(
  OUTPUT ${WIZARD_UI_LAYERING_STAMP}
  COMMAND ${CMAKE_COMMAND} -DTREE=${CMAKE_SOURCE_DIR}/src/ui -DSTAMP=${WIZARD_UI_LAYERING_STAMP}
          -P ${CMAKE_SOURCE_DIR}/cmake/check-ui-layers.cmake
  DEPENDS ${WIZARD_UI_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/check-ui-layers.cmake ${CMAKE_SOURCE_DIR}/cmake/include-names.cmake
  COMMENT "Checking that each folder of src/ui includes nothing from a layer above it"
  VERBATIM)
add_custom_target(wizard_ui_layering ALL DEPENDS ${WIZARD_UI_LAYERING_STAMP})
add_dependencies(wizard_ui wizard_ui_layering)

# Walks the link libraries of `target` and fails when one is forbidden.
function(wizard_check_links_core_only target)
  set(pending ${target})
  set(seen "")
  while(pending)
    list(POP_FRONT pending current)
    if(current IN_LIST seen OR NOT TARGET ${current})
      continue()
    endif()
    list(APPEND seen ${current})
    if(current MATCHES "^(wizard_ui|Qt6::(Gui|Widgets|PrintSupport|OpenGL))$")
      message(FATAL_ERROR "${target} must link the core only, but it reaches ${current}")
    endif()
    get_target_property(type ${current} TYPE)
    get_target_property(links ${current} INTERFACE_LINK_LIBRARIES)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(direct ${current} LINK_LIBRARIES)
      list(APPEND links ${direct})
    endif()
    foreach(link ${links})
      # Generator expressions ($<LINK_ONLY:x>) name their target inside.
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
      if(link AND NOT link MATCHES "NOTFOUND$")
        list(APPEND pending ${link})
      endif()
    endforeach()
  endwhile()
endfunction()

function(wizard_check_core_only_targets)
  foreach(target wizard_core wizard_sim wizardctl wizardctl-test devicesim)
    if(TARGET ${target})
      wizard_check_links_core_only(${target})
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL wizard_check_core_only_targets)
