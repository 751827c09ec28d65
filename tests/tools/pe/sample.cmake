# ombral_pe_sample(): where the cross compiler is found, the target
# ombral_pe_sample builds pe-sample/sample.dll in the build tree (alone in its
# folder: the fuzz target's seed) and OMBRAL_PE_SAMPLE names it; elsewhere
# OMBRAL_PE_SAMPLE stays empty.
function(ombral_pe_sample)
  find_program(OMBRAL_MINGW_CXX i686-w64-mingw32-g++)
  find_program(OMBRAL_MINGW_WINDRES i686-w64-mingw32-windres)
  set(OMBRAL_PE_SAMPLE "" PARENT_SCOPE)
  if(NOT OMBRAL_MINGW_CXX OR NOT OMBRAL_MINGW_WINDRES OR TARGET ombral_pe_sample)
    return()
  endif()
  set(source ${CMAKE_SOURCE_DIR}/tests/tools/pe)
  set(out ${CMAKE_BINARY_DIR}/pe-sample)
  set(res ${CMAKE_CURRENT_BINARY_DIR}/sample.res)
  add_custom_command(OUTPUT ${out}/sample.dll
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
    COMMAND ${OMBRAL_MINGW_WINDRES} -c 65001 ${source}/sample.rc -O coff -o ${res}
    # No C runtime and stripped: the file ends where its last section does.
    COMMAND ${OMBRAL_MINGW_CXX} -O1 -shared -nostdlib -s -Wl,-e,_SampleEntry@12 -o ${out}/sample.dll
            ${source}/sample.cpp ${source}/sample.def ${res} -lkernel32 -luser32
    DEPENDS ${source}/sample.cpp ${source}/sample.def ${source}/sample.rc
    VERBATIM)
  add_custom_target(ombral_pe_sample DEPENDS ${out}/sample.dll)
  set(OMBRAL_PE_SAMPLE ${out}/sample.dll PARENT_SCOPE)
endfunction()
