# cmake -DTREE=<src/core or src/sim> -DSTAMP=<file> -P check-core-includes.cmake
#
# Fails when a file of the tree (the core, or the simulator on top of it)
# includes a header of the UI tree, a header outside the tree by a relative
# path, or a GUI module of the toolkit by its folder. Writes STAMP when
# every file passes.

set(ui_folders "skin|controls|framework|pages|shell")
set(gui_modules "QtGui|QtWidgets|QtPrintSupport|QtOpenGL|QtOpenGLWidgets|QtSvg")

file(GLOB_RECURSE files ${TREE}/*.cpp ${TREE}/*.h)
get_filename_component(tree_name ${TREE} NAME)
if(tree_name STREQUAL "core")
  set(tree_label "The core")
else()
  set(tree_label "The simulator")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/include-names.cmake)

set(faults "")
foreach(file ${files})
  wizard_included_names(${file} names)
  foreach(name ${names})
    if(name MATCHES "^(${ui_folders})/" OR name MATCHES "(^|/)\\.\\./" OR name MATCHES "^(${gui_modules})(/|$)")
      file(RELATIVE_PATH shown ${TREE} ${file})
      string(APPEND faults "\n  src/${tree_name}/${shown}: #include ${name}")
    endif()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "${tree_label} must not include the UI or the toolkit's GUI modules:${faults}")
endif()
file(WRITE ${STAMP} "ok\n")
