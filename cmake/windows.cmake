# The Windows programs (cross-built with MinGW-w64 against a static Qt): a
# manifest, an icon and a version resource for each program, the wizard as
# a windowed program, and every program linked statically, so the
# executable needs no DLL beside it.

set(WIZARD_RC_VERSION_DOTS "${PROJECT_VERSION}.0")
string(REPLACE "." "," WIZARD_RC_VERSION_COMMAS "${WIZARD_RC_VERSION_DOTS}")

# Gives `target` its manifest and version resource; with `icon` also the icon.
function(wizard_windows_resources target description icon)
  set(WIZARD_RC_NAME ${target})
  set(WIZARD_RC_DESCRIPTION "${description}")
  set(WIZARD_RC_MANIFEST ${CMAKE_BINARY_DIR}/windows/${target}.manifest)
  if(icon)
    set(WIZARD_RC_ICON_LINE "1 ICON \"${icon}\"")
  else()
    set(WIZARD_RC_ICON_LINE "")
  endif()
  configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/program.manifest.in ${WIZARD_RC_MANIFEST} @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/program.rc.in ${CMAKE_BINARY_DIR}/windows/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/windows/${target}.rc)
endfunction()

function(wizard_windows_programs)
  if(TARGET setup-wizard)
    set_target_properties(setup-wizard PROPERTIES WIN32_EXECUTABLE TRUE)
    # The skin pictures are decoded by our own libjpeg-turbo; the toolkit's
    # JPEG plugin would bring a second libjpeg (another API version) under
    # the same symbol names.
    qt_import_plugins(setup-wizard EXCLUDE Qt6::QJpegPlugin)
    wizard_windows_resources(setup-wizard "Setup Wizard for the wireless access point and bridge"
                             ${CMAKE_SOURCE_DIR}/packaging/windows/setup-wizard.ico)
  endif()
  if(TARGET wizardctl)
    wizard_windows_resources(wizardctl "Setup Wizard command line" "")
  endif()
  if(TARGET devicesim)
    wizard_windows_resources(devicesim "Simulated device for the Setup Wizard's tests" "")
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL wizard_windows_programs)

# The floor of bench/run-bench --windows: a bare window of the same static
# toolkit, timed against the wizard under Wine.
add_executable(floor_window WIN32 ${CMAKE_SOURCE_DIR}/bench/floorwindow.cpp)
target_link_libraries(floor_window PRIVATE Qt6::Widgets)
