# The programs that a tree runs on the build machine: the form converter
# (formbin), the package resources' generator (pkgres), the PE reader
# (pecheck), and for the Win32 trees' tests the probe packages' PACKAGEINFO
# writer (ombral_probe_info), the check of a package DLL as a file
# (ombral_package_file_tests) and of damaged copies of it
# (ombral_damaged_package_tests). A native tree builds them as its own
# targets. A cross tree builds them natively, in a tree of their own under it, and
# imports them under the same names, as cross-compiling projects do: no
# Windows program runs while building, and the checks of a DLL's file need no
# Windows either.

set(OMBRAL_BUILD_TOOLS formbin pkgres pecheck ombral_probe_info ombral_package_file_tests
  ombral_damaged_package_tests)

# The tools' own targets; with ONLY, the programs of the cross trees' tests too.
macro(ombral_add_build_tools)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tools/formbin)
  add_subdirectory(${CMAKE_SOURCE_DIR}/package/resources)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tools/pkgres)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tools/pecheck)
  if(OMBRAL_BUILD_TOOLS_ONLY)
    add_subdirectory(${CMAKE_SOURCE_DIR}/tests/files)
  endif()
endmacro()

# The tools built for the build machine in CMAKE_BINARY_DIR/build-tools and
# imported, each a global executable target of the tool's name.
function(ombral_import_build_tools)
  include(ExternalProject)
  set(dir ${CMAKE_BINARY_DIR}/build-tools)
  set(files)
  foreach(tool IN LISTS OMBRAL_BUILD_TOOLS)
    list(APPEND files ${dir}/bin/${tool})
  endforeach()
  set(arguments -DOMBRAL_BUILD_TOOLS_ONLY=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOMBRAL_WERROR=${OMBRAL_WERROR})
  if(DEFINED CMAKE_CXX_COMPILER_LAUNCHER)
    list(APPEND arguments -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER})
  endif()
  ExternalProject_Add(ombral_build_tools
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${dir}
    CMAKE_ARGS ${arguments}
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${dir} --target ${OMBRAL_BUILD_TOOLS}
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${files}
    INSTALL_COMMAND "")
  foreach(tool IN LISTS OMBRAL_BUILD_TOOLS)
    add_executable(${tool} IMPORTED GLOBAL)
    set_target_properties(${tool} PROPERTIES IMPORTED_LOCATION ${dir}/bin/${tool})
    add_dependencies(${tool} ombral_build_tools)
  endforeach()
endfunction()
