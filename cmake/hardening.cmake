# The hardening a Debian package is built with: stack protector, fortified
# libc calls, position-independent executables and relocations that are
# read-only and bound at start, with stack clash and control-flow
# protection. The flags come from dpkg-buildflags where it
# exists, so they follow the distribution; elsewhere the same set is given
# by hand. Only Release builds get them: the sanitizer and fuzzing builds
# bring their own instrumentation, which these flags would disturb.

if(NOT WIZARD_HARDENING OR NOT CMAKE_BUILD_TYPE STREQUAL "Release" OR WIZARD_SANITIZE OR WIZARD_FUZZ)
  return()
endif()

if(WIN32)
  # Windows executables: address-space randomisation (with 64-bit
  # addresses) and no execution of data pages.
  add_link_options(-Wl,--dynamicbase -Wl,--nxcompat -Wl,--high-entropy-va)
  return()
endif()

set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)

find_program(WIZARD_DPKG_BUILDFLAGS dpkg-buildflags)
set(_hardening_compile "")
set(_hardening_link "")
if(WIZARD_DPKG_BUILDFLAGS)
  # bindnow (-z now) is not in Debian's default set; +all asks for every
  # hardening feature the architecture has.
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
              ${WIZARD_DPKG_BUILDFLAGS} --get ${kind}
      OUTPUT_VARIABLE _flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE _rc)
    if(NOT _rc EQUAL 0)
      message(FATAL_ERROR "dpkg-buildflags --get ${kind} failed")
    endif()
    separate_arguments(_flags UNIX_COMMAND "${_flags}")
    foreach(flag ${_flags})
      # Optimisation and debug information stay with the build type; the
      # prefix map names the folder dpkg-buildflags ran in, not the sources.
      if(flag MATCHES "^-g" OR flag MATCHES "^-O" OR flag MATCHES "^-f(file|debug|macro)-prefix-map=")
        continue()
      endif()
      if(kind STREQUAL "LDFLAGS")
        list(APPEND _hardening_link ${flag})
      else()
        list(APPEND _hardening_compile ${flag})
      endif()
    endforeach()
  endforeach()
  set(_source "dpkg-buildflags")
else()
  set(_hardening_compile -fstack-protector-strong -D_FORTIFY_SOURCE=2 -Wformat -Werror=format-security)
  set(_hardening_link -Wl,-z,relro -Wl,-z,now)
  set(_source "built-in list")
endif()
# Stack clash protection and control-flow protection (x86's CET) are in
# the default set of later Debian releases but not yet in Debian 12's, and
# hardening-check asks for both.
include(CheckCXXCompilerFlag)
foreach(flag -fstack-clash-protection -fcf-protection)
  string(MAKE_C_IDENTIFIER "WIZARD_HAS${flag}" _has)
  check_cxx_compiler_flag(${flag} ${_has})
  if(${_has})
    list(APPEND _hardening_compile ${flag})
  endif()
endforeach()
list(REMOVE_DUPLICATES _hardening_compile)
list(JOIN _hardening_compile " " _shown_compile)
list(JOIN _hardening_link " " _shown_link)
message(STATUS "Hardening (${_source}): ${_shown_compile}; link: ${_shown_link}; PIE")
add_compile_options(${_hardening_compile})
add_link_options(${_hardening_link})
