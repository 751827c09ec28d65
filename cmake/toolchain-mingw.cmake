# Windows with mingw-w64 (posix thread model) for the target OMBRAL_MINGW_TARGET,
# statically linked so the programs import only the DLLs the code names and
# msvcrt. No emulator is named: the build runs no Windows program, and the
# tests run theirs through cmake/wine-run.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${OMBRAL_MINGW_TARGET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${OMBRAL_MINGW_TARGET}-g++-posix)
set(CMAKE_RC_COMPILER ${OMBRAL_MINGW_TARGET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${OMBRAL_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
