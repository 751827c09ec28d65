# How the tests of a Windows tree run its programs: under Wine (OMBRAL_RUN
# PROGRAM ARGUMENTS), in the tree's own prefix, by the loader of the tree's
# architecture OMBRAL_WINDOWS_ARCH (win32 or win64), whose suites
# OMBRAL_WINDOWS_SUITES names. Whether this machine can is decided here, once
# for the tree, by trying; where it cannot, every test that would run a
# Windows program is reported as skipped, with the reason, and the build tree
# keeps the reason in skipped-tests for scripts/test to name.
set(OMBRAL_RUN ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${OMBRAL_WINDOWS_ARCH} ${CMAKE_BINARY_DIR}/wineprefix)
execute_process(COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-check ${OMBRAL_WINDOWS_ARCH}
  OUTPUT_VARIABLE OMBRAL_CANNOT_RUN OUTPUT_STRIP_TRAILING_WHITESPACE)
if(OMBRAL_CANNOT_RUN)
  message(STATUS "Skipping ${OMBRAL_WINDOWS_SUITES}: ${OMBRAL_CANNOT_RUN}")
  file(WRITE ${CMAKE_BINARY_DIR}/skipped-tests "${OMBRAL_WINDOWS_SUITES} (${OMBRAL_CANNOT_RUN})\n")
else()
  file(REMOVE ${CMAKE_BINARY_DIR}/skipped-tests)
endif()

# ombral_add_program_test(NAME COMMAND...): a test that runs a Windows program
# (COMMAND starts with OMBRAL_RUN or hands it to a script); skipped, saying
# why, where this machine runs none of the tree's programs.
function(ombral_add_program_test name)
  if(OMBRAL_CANNOT_RUN)
    add_test(NAME ${name} COMMAND sh -c "echo \"skipped: $0\"; exit 77" "${OMBRAL_CANNOT_RUN}")
  else()
    add_test(NAME ${name} COMMAND ${ARGN})
  endif()
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
endfunction()
