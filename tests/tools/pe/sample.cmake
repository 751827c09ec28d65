# ombral_pe_sample(): builds the sample DLL with each cross compiler found:
# pe-sample/sample.dll with i686-w64-mingw32 (alone in its folder: the fuzz
# target's seed) and pe-sample64/sample.dll with x86_64-w64-mingw32, under the
# target ombral_pe_sample. OMBRAL_PE_SAMPLE and OMBRAL_PE_SAMPLE64 name them,
# or stay empty where the compiler is missing.
function(_ombral_pe_sample variable triplet folder entry)
  find_program(OMBRAL_${variable}_CXX ${triplet}-g++)
  find_program(OMBRAL_${variable}_WINDRES ${triplet}-windres)
  set(${variable} "" PARENT_SCOPE)
  if(NOT OMBRAL_${variable}_CXX OR NOT OMBRAL_${variable}_WINDRES)
    return()
  endif()
  set(source ${CMAKE_SOURCE_DIR}/tests/tools/pe)
  set(out ${CMAKE_BINARY_DIR}/${folder})
  set(res ${CMAKE_CURRENT_BINARY_DIR}/${folder}.res)
  add_custom_command(OUTPUT ${out}/sample.dll
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
    COMMAND ${OMBRAL_${variable}_WINDRES} -c 65001 ${source}/sample.rc -O coff -o ${res}
    # No C runtime and stripped: the file ends where its last section does.
    COMMAND ${OMBRAL_${variable}_CXX} -O1 -shared -nostdlib -s -Wl,-e,${entry} -o ${out}/sample.dll
            ${source}/sample.cpp ${source}/sample.def ${res} -lkernel32 -luser32
    DEPENDS ${source}/sample.cpp ${source}/sample.def ${source}/sample.rc
    VERBATIM)
  set(${variable} ${out}/sample.dll PARENT_SCOPE)
endfunction()

function(ombral_pe_sample)
  if(TARGET ombral_pe_sample)
    return()
  endif()
  # The entry point's symbol: i686 decorates a stdcall routine, x86-64 does not.
  _ombral_pe_sample(OMBRAL_PE_SAMPLE i686-w64-mingw32 pe-sample _SampleEntry@12)
  _ombral_pe_sample(OMBRAL_PE_SAMPLE64 x86_64-w64-mingw32 pe-sample64 SampleEntry)
  add_custom_target(ombral_pe_sample DEPENDS ${OMBRAL_PE_SAMPLE} ${OMBRAL_PE_SAMPLE64})
  set(OMBRAL_PE_SAMPLE ${OMBRAL_PE_SAMPLE} PARENT_SCOPE)
  set(OMBRAL_PE_SAMPLE64 ${OMBRAL_PE_SAMPLE64} PARENT_SCOPE)
endfunction()
