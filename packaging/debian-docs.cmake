# What a distribution asks of the package besides the programs: manual pages
# made from each program's --help, the copyright file, the package changelog
# (compressed as Debian keeps them) and the AppStream metadata.
# Included from the top-level CMakeLists.txt after the programs are defined;
# uses WIZARD_DOC_DIR and WIZARD_DEBIAN_VERSION.

# The changelog's newest entry must be this package's version: dpkg and
# lintian read the version from both places.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog _top LIMIT_COUNT 1)
if(NOT _top MATCHES "^setup-wizard \\(${WIZARD_DEBIAN_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog starts with '${_top}', not version ${WIZARD_DEBIAN_VERSION}")
endif()

find_program(WIZARD_GZIP gzip REQUIRED)
set(_out ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${_out})

# -n: no name or time stamp in the gzip header, so the same sources give the
# same package.
add_custom_command(
  OUTPUT ${_out}/changelog.Debian.gz
  COMMAND ${WIZARD_GZIP} -9n -c ${CMAKE_CURRENT_LIST_DIR}/changelog > ${_out}/changelog.Debian.gz
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog
  VERBATIM)
set(_generated ${_out}/changelog.Debian.gz)

# Manual pages: help2man runs each installed program with --help and
# --version (they need no display and send nothing).
find_program(WIZARD_HELP2MAN help2man)
set(_man_setup-wizard "set up a wireless access point or bridge on the local network")
set(_man_wizardctl "set up the wireless device from the command line")
set(_man_pages "")
if(WIZARD_HELP2MAN)
  foreach(program setup-wizard wizardctl)
    if(NOT TARGET ${program})
      continue()
    endif()
    set(_page ${_out}/${program}.1)
    add_custom_command(
      OUTPUT ${_page}.gz
      COMMAND ${WIZARD_HELP2MAN} --no-info --section=1 "--name=${_man_${program}}"
              --output=${_page} $<TARGET_FILE:${program}>
      COMMAND ${WIZARD_GZIP} -9nf ${_page}
      DEPENDS ${program}
      VERBATIM)
    list(APPEND _man_pages ${_page}.gz)
  endforeach()
  install(FILES ${_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man not found: no manual pages (scripts/install-deps installs it)")
endif()
list(APPEND _generated ${_man_pages})
add_custom_target(package_documents ALL DEPENDS ${_generated})

install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${_out}/changelog.Debian.gz DESTINATION ${WIZARD_DOC_DIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/org.example.setupwizard.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
