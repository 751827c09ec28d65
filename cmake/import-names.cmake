# ombral_import_names(TARGET DLL...): TARGET imports each DLL under the name
# as spelled here (kernel32.dll, ODBCCP32.DLL) rather than as the toolchain's
# import library spells it. A copy of that library in which only the DLL's
# name is changed, to one of the same length, comes first on TARGET's library
# path, so every -l of it, the compiler driver's own included, finds the copy.
function(ombral_import_names target)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}-imports)
  set(copies)
  foreach(dll IN LISTS ARGN)
    string(REGEX REPLACE "\\.[^.]*$" "" base "${dll}")
    string(TOLOWER "${base}" base)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=lib${base}.a
      OUTPUT_VARIABLE original OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${original}" OR NOT EXISTS "${original}")
      message(FATAL_ERROR "ombral_import_names: the toolchain has no lib${base}.a")
    endif()
    string(REPLACE "." "\\." pattern "${dll}")
    set(copy ${dir}/lib${base}.a)
    add_custom_command(OUTPUT ${copy}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
      COMMAND sh -c "LC_ALL=C sed 's/${pattern}/${dll}/I' \"$0\" > \"$1\" && LC_ALL=C grep -q -F '${dll}' \"$1\""
              ${original} ${copy}
      DEPENDS ${original}
      COMMENT "Import library of ${dll}"
      VERBATIM)
    list(APPEND copies ${copy})
  endforeach()
  add_custom_target(${target}_import_names DEPENDS ${copies})
  add_dependencies(${target} ${target}_import_names)
  target_link_options(${target} PRIVATE -L${dir})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${copies})
endfunction()
