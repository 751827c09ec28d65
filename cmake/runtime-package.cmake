# One C++ runtime for every Win32 module. A module linked statically against
# libstdc++ and libgcc_eh keeps its own unwinder, and an exception thrown in
# one DLL then ends in terminate() in the next. So one DLL, the runtime
# package, carries libstdc++, the unwinder and winpthread whole and exports
# all they define; every other module imports them from it.

# The toolchain's own archives, as its compiler links them.
function(_ombral_toolchain_archive variable file)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${file}
    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${file} is")
  endif()
  set(${variable} ${path} PARENT_SCOPE)
endfunction()

_ombral_toolchain_archive(_ombral_libstdcxx libstdc++.a)
_ombral_toolchain_archive(_ombral_libgcc_eh libgcc_eh.a)
_ombral_toolchain_archive(_ombral_libwinpthread libwinpthread.a)
set(OMBRAL_RUNTIME_ARCHIVES ${_ombral_libstdcxx} ${_ombral_libgcc_eh} ${_ombral_libwinpthread})
set(_ombral_runtime_dir ${CMAKE_SOURCE_DIR}/package/runtime)

# ombral_module_file_name(TARGET FILE_NAME): TARGET's file is FILE_NAME
# exactly (e.g. Vcl50.bpl), without the toolchain's prefix and suffix.
function(ombral_module_file_name target file_name)
  string(REGEX MATCH "^(.+)(\\.[^.]+)$" _ "${file_name}")
  if(NOT CMAKE_MATCH_2)
    message(FATAL_ERROR "ombral_module_file_name: ${file_name} has no extension")
  endif()
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${CMAKE_MATCH_1} SUFFIX ${CMAKE_MATCH_2})
endfunction()

# ombral_runtime_package(TARGET FILE_NAME): TARGET becomes the DLL FILE_NAME
# (e.g. Vcl50.bpl) that carries the C++ runtime, with a .def generated from the
# archives and the import library that ombral_use_runtime_package links.
# TARGET may already be a shared library with sources of its own.
function(ombral_runtime_package target file_name)
  if(NOT TARGET ${target})
    add_library(${target} SHARED)
  endif()
  ombral_module_file_name(${target} ${file_name})

  set(def ${CMAKE_CURRENT_BINARY_DIR}/${target}-runtime.def)
  add_custom_command(OUTPUT ${def}
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DLIBRARY=${file_name} -DOUTPUT=${def} -DPREFIX=${OMBRAL_SYMBOL_PREFIX}
            "-DARCHIVES=${OMBRAL_RUNTIME_ARCHIVES}" -P ${_ombral_runtime_dir}/export-archives.cmake
    DEPENDS ${OMBRAL_RUNTIME_ARCHIVES} ${_ombral_runtime_dir}/export-archives.cmake
    COMMENT "Exports of the C++ runtime in ${file_name}"
    VERBATIM)
  target_sources(${target} PRIVATE ${_ombral_runtime_dir}/ThreadImports.cpp ${def})
  target_link_libraries(${target} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${OMBRAL_RUNTIME_ARCHIVES}>")

  # The import library under the names of the archives it replaces, for the
  # compiler driver to find ahead of the toolchain's own.
  set(stand_ins ${CMAKE_CURRENT_BINARY_DIR}/${target}-link)
  set(copies)
  set(commands COMMAND ${CMAKE_COMMAND} -E make_directory ${stand_ins})
  foreach(name libstdc++.a libgcc_eh.a libpthread.a)
    list(APPEND copies ${stand_ins}/${name})
    list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_LINKER_FILE:${target}> ${stand_ins}/${name})
  endforeach()
  add_custom_command(TARGET ${target} POST_BUILD ${commands} BYPRODUCTS ${copies} VERBATIM)
  set_target_properties(${target} PROPERTIES OMBRAL_RUNTIME_STAND_INS ${stand_ins})
endfunction()

# ombral_use_runtime_package(TARGET RUNTIME): links the program or DLL TARGET
# against the runtime package RUNTIME instead of the toolchain's runtime.
# The driver's default libraries stay, at the end of the line where they
# belong whatever else is linked, but its -lstdc++, -lgcc_eh and -lpthread
# find RUNTIME's import library: no part of the runtime is linked in twice.
function(ombral_use_runtime_package target runtime)
  get_target_property(stand_ins ${runtime} OMBRAL_RUNTIME_STAND_INS)
  if(NOT stand_ins)
    message(FATAL_ERROR "ombral_use_runtime_package: ${runtime} is no runtime package")
  endif()
  # Where modules register their unwind tables, the start-up code does so only
  # with an unwinder it can see at link time: these bring the runtime's in.
  set(options -L${stand_ins})
  foreach(symbol IN LISTS OMBRAL_FRAME_REGISTRATION)
    list(APPEND options LINKER:-u,${OMBRAL_SYMBOL_PREFIX}${symbol})
  endforeach()
  target_link_options(${target} PRIVATE ${options})
  # Builds RUNTIME first and links TARGET again when it changes.
  target_link_libraries(${target} PRIVATE ${runtime})
endfunction()
