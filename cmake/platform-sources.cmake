# Files that belong to one operating system. A unit with one implementation
# per system has a common header and a source per system named
# <unit>_linux.cpp and <unit>_win.cpp; the Linux platform's own units (the
# freedesktop and X11 calls) are Linux-only as a whole.
set(WIZARD_LINUX_ONLY_PATTERN "(_linux\\.cpp|/platform/linuxplatform\\.(h|cpp)|/platform/x11windows\\.(h|cpp))$")
set(WIZARD_WINDOWS_ONLY_PATTERN "(_win\\.cpp|/platform/windowsplatform\\.(h|cpp))$")

# Drops from the list variable `var` the files of the other systems.
function(wizard_keep_this_system var)
  if(WIN32)
    list(FILTER ${var} EXCLUDE REGEX "${WIZARD_LINUX_ONLY_PATTERN}")
  else()
    list(FILTER ${var} EXCLUDE REGEX "${WIZARD_WINDOWS_ONLY_PATTERN}")
  endif()
  set(${var} ${${var}} PARENT_SCOPE)
endfunction()
