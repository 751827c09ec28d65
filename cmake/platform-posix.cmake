# The POSIX binding: registry over unixODBC's configuration files, the real
# unixODBC installer, a headless user interface.
find_library(OMBRAL_ODBCINST odbcinst REQUIRED)
find_path(OMBRAL_ODBCINST_INCLUDE odbcinst.h REQUIRED)

# The file layer and unixODBC's configuration files over it: their text, where
# they are, the read cache and the locked update.
add_library(ombral_inifile STATIC
  ${CMAKE_SOURCE_DIR}/platform/posix/Files.cpp
  ${CMAKE_SOURCE_DIR}/platform/posix/IniDocument.cpp
  ${CMAKE_SOURCE_DIR}/platform/posix/OdbcFiles.cpp
  ${CMAKE_SOURCE_DIR}/platform/posix/IniCache.cpp
  ${CMAKE_SOURCE_DIR}/platform/posix/IniUpdate.cpp)
target_include_directories(ombral_inifile PUBLIC $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}>)
target_compile_definitions(ombral_inifile PRIVATE OMBRAL_LIB_FROM_BIN="${OMBRAL_LIB_FROM_BIN}")

# Split as on Win32; POSIX builds one framework library from both.
set(OMBRAL_PLATFORM_RTL_SOURCES
  ${CMAKE_SOURCE_DIR}/platform/posix/PosixRegistry.cpp
  ${CMAKE_SOURCE_DIR}/platform/posix/PackageModulesPosix.cpp
  ${CMAKE_SOURCE_DIR}/platform/posix/LibraryFile.cpp)
set(OMBRAL_PLATFORM_UI_SOURCES
  ${CMAKE_SOURCE_DIR}/platform/posix/HeadlessUi.cpp
  ${CMAKE_SOURCE_DIR}/platform/posix/HeadlessBackend.cpp
  ${CMAKE_SOURCE_DIR}/platform/posix/EmbeddedResources.cpp
  ${CMAKE_SOURCE_DIR}/platform/posix/FontMetrics.cpp
  ${CMAKE_SOURCE_DIR}/platform/posix/Snapshot.cpp
  ${CMAKE_SOURCE_DIR}/platform/posix/GraphicsLoader.cpp
  ${CMAKE_SOURCE_DIR}/platform/posix/ShellApiPosix.cpp)
set(OMBRAL_PLATFORM_INCLUDE ${CMAKE_SOURCE_DIR}/platform/posix/include)
# A package library's own start-up code, and the routine the loader enters it by.
set(OMBRAL_PACKAGE_STARTUP_SOURCES ${CMAKE_SOURCE_DIR}/platform/posix/PackageStartup.cpp)
set(OMBRAL_PACKAGE_ENTRY OmbralPackageAttach)
set(OMBRAL_PLATFORM_LIBRARIES ombral_inifile ${CMAKE_DL_LIBS})

# The picture and font code, with FreeType, fontconfig and cairo (and the X
# libraries cairo brings), is a module that the headless interface loads when
# it first measures or draws a form, so that no other command loads them.
find_package(Freetype REQUIRED)
find_package(Fontconfig REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo cairo-ft)
add_library(ombral_graphics MODULE ${CMAKE_SOURCE_DIR}/platform/posix/GraphicsModule.cpp)
target_include_directories(ombral_graphics PRIVATE ${CMAKE_SOURCE_DIR}/platform/posix/include)
target_link_libraries(ombral_graphics PRIVATE Freetype::Freetype Fontconfig::Fontconfig PkgConfig::CAIRO)
set_target_properties(ombral_graphics PROPERTIES OUTPUT_NAME ombralgraphics CXX_VISIBILITY_PRESET hidden)
set(OMBRAL_UI_MODULES ombral_graphics)

# The tool's own C++ runtime: the shared one costs more to load than all the
# tool's work. Not under the sanitizers, which must see every allocation.
option(OMBRAL_STATIC_TOOL_RUNTIME "Link the C++ runtime into the ombral tool" ON)
if(OMBRAL_STATIC_TOOL_RUNTIME AND NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize")
  set(OMBRAL_TOOL_LINK_OPTIONS -static-libstdc++ -static-libgcc -no-pie)
endif()
set(OMBRAL_INSTALLER_LIBRARY ${OMBRAL_ODBCINST})

set(OMBRAL_SETUP_STORE_SOURCES ${CMAKE_SOURCE_DIR}/platform/posix/IniDataSourceStore.cpp)
set(OMBRAL_SETUP_LIBRARIES ombral_inifile ${OMBRAL_ODBCINST})
set(OMBRAL_SETUP_PREFIX "lib")
set(OMBRAL_SETUP_LINK_OPTIONS
  "LINKER:--version-script=${CMAKE_SOURCE_DIR}/platform/posix/ombralsetup.map" "LINKER:--exclude-libs,ALL")
set(OMBRAL_DRIVERREG_SOURCES ${CMAKE_SOURCE_DIR}/platform/posix/DriverRegistrationPosix.cpp)
set(OMBRAL_TOOL_ACCESS_SOURCES ${CMAKE_SOURCE_DIR}/platform/posix/ToolAccessPosix.cpp)
set(OMBRAL_DRIVERREG_LIBRARIES ombral_inifile)

# The programs the build runs.
ombral_add_build_tools()

# Tests run the tree's programs directly.
set(OMBRAL_RUN)
function(ombral_add_program_test name)
  add_test(NAME ${name} COMMAND ${ARGN})
endfunction()
