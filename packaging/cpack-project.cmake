# Read by cpack for each package it makes. Without dpkg-shlibdeps (package
# dpkg-dev) CPack's Debian generator only prints a note and writes a package
# whose Depends line is empty; apt would then install the wizard without Qt
# and libjpeg. Stop instead.
if(CPACK_GENERATOR STREQUAL "DEB" AND CPACK_DEBIAN_PACKAGE_SHLIBDEPS)
  find_program(WIZARD_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(NOT WIZARD_DPKG_SHLIBDEPS)
    message(FATAL_ERROR "dpkg-shlibdeps not found: install dpkg-dev, it works out the package's Depends")
  endif()
endif()
