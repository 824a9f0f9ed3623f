# cmake -DTREE=<src/ui> -DSTAMP=<file> -P check-ui-layers.cmake
#
# The UI tree is layered too: the application shell (shell/) builds the
# pages (pages/), which stand on the wizard framework (framework/), which
# stands on the controls and the skin. A folder may include from its own
# layer and the layers below, never from one above. Writes STAMP when every
# file passes.

set(above_skin "framework|pages|shell")
set(above_controls "framework|pages|shell")
set(above_framework "pages|shell")
set(above_pages "shell")

include(${CMAKE_CURRENT_LIST_DIR}/include-names.cmake)

set(faults "")
foreach(folder skin controls framework pages)
  file(GLOB_RECURSE files ${TREE}/${folder}/*.cpp ${TREE}/${folder}/*.h)
  foreach(file ${files})
    wizard_included_names(${file} names)
    foreach(name ${names})
      if(name MATCHES "^(${above_${folder}})/")
        file(RELATIVE_PATH shown ${TREE} ${file})
        string(APPEND faults "\n  src/ui/${shown}: #include ${name}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "A UI folder includes from a layer above it:${faults}")
endif()
file(WRITE ${STAMP} "ok\n")
