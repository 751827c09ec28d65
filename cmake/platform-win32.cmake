# The Win32 binding: the real registry (advapi32), ODBC installer (odbccp32),
# user interface (user32, gdi32, comdlg32) and shell (shell32).
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601)

# The same sources make the 32-bit tree (win32) and the 64-bit one (win64).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(OMBRAL_WINDOWS_ARCH win64)
  set(OMBRAL_WINDOWS_SUITES "the 64-bit Windows suites")
  # x86-64 has one calling convention, and its symbols carry no decoration.
  set(OMBRAL_SYMBOL_PREFIX "")
  set(OMBRAL_PACKAGE_ENTRY DllMainCRTStartup)
  # Exceptions unwind by the system's tables of each module; the personality
  # routine and the unwinder come from the runtime package.
  set(OMBRAL_FRAME_REGISTRATION)
  set(OMBRAL_UNWIND_IMPORTS __gxx_personality_seh0 _Unwind_Resume)
else()
  set(OMBRAL_WINDOWS_ARCH win32)
  set(OMBRAL_WINDOWS_SUITES "the 32-bit Win32 suites")
  set(OMBRAL_SYMBOL_PREFIX "_")
  set(OMBRAL_PACKAGE_ENTRY DllMainCRTStartup@12)
  # Each module registers its DWARF unwind tables with the one unwinder, in
  # the runtime package, and takes its personality routine from there.
  set(OMBRAL_FRAME_REGISTRATION __register_frame_info __deregister_frame_info)
  set(OMBRAL_UNWIND_IMPORTS __gxx_personality_v0 ${OMBRAL_FRAME_REGISTRATION})
endif()

# Split as the framework's run-time packages split: the run-time basics
# (registry, resources) and the user interface.
set(OMBRAL_PLATFORM_RTL_SOURCES
  ${CMAKE_SOURCE_DIR}/platform/win32/Win32Registry.cpp
  ${CMAKE_SOURCE_DIR}/platform/win32/Win32Resources.cpp
  ${CMAKE_SOURCE_DIR}/platform/win32/PackageModulesWin32.cpp
  ${CMAKE_SOURCE_DIR}/platform/win32/LibraryFileWin32.cpp)
set(OMBRAL_PLATFORM_UI_SOURCES
  ${CMAKE_SOURCE_DIR}/platform/win32/Win32Ui.cpp
  ${CMAKE_SOURCE_DIR}/platform/win32/Win32UiBackend.cpp
  ${CMAKE_SOURCE_DIR}/platform/win32/FormWindow.cpp
  ${CMAKE_SOURCE_DIR}/platform/win32/Win32Gdi.cpp
  ${CMAKE_SOURCE_DIR}/platform/win32/Win32Dialogs.cpp
  ${CMAKE_SOURCE_DIR}/platform/win32/PngWriter.cpp)
set(OMBRAL_PLATFORM_INCLUDE ${CMAKE_SOURCE_DIR}/platform/win32/include)
# Linked into each module that calls them, as the host's import units are.
set(OMBRAL_IMPORT_UNIT_SOURCES ${CMAKE_SOURCE_DIR}/platform/win32/ShellApiWin32.cpp)
# A package's own start-up code; OMBRAL_PACKAGE_ENTRY above is the routine
# Windows enters it by.
set(OMBRAL_PACKAGE_STARTUP_SOURCES ${CMAKE_SOURCE_DIR}/platform/win32/PackageStartup.cpp)
# The PE reader checks a package DLL before the loader is given it.
set(OMBRAL_PLATFORM_LIBRARIES ombral_pe advapi32 user32 gdi32 comdlg32 shell32)
set(OMBRAL_INSTALLER_LIBRARY odbccp32)
include(${CMAKE_CURRENT_LIST_DIR}/runtime-package.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/import-names.cmake)

set(OMBRAL_SETUP_STORE_SOURCES ${CMAKE_SOURCE_DIR}/platform/win32/RegistryDataSourceStore.cpp)
set(OMBRAL_SETUP_LIBRARIES advapi32 odbccp32)
set(OMBRAL_SETUP_PREFIX "")
# Exported by its plain name, from the .def file alone.
set(OMBRAL_SETUP_LINK_OPTIONS ${CMAKE_SOURCE_DIR}/platform/win32/ombralsetup.def)
set(OMBRAL_DRIVERREG_SOURCES ${CMAKE_SOURCE_DIR}/platform/win32/DriverRegistrationWin32.cpp)
set(OMBRAL_TOOL_ACCESS_SOURCES ${CMAKE_SOURCE_DIR}/platform/win32/ToolAccessWin32.cpp
  ${CMAKE_SOURCE_DIR}/platform/win32/Console.cpp)
set(OMBRAL_DRIVERREG_LIBRARIES advapi32 shell32)

# Embeds files in a target as language-neutral RCDATA resources, found again
# with FindResourceExA: ombral_embed_resources(target NAME file [NAME file...]).
function(ombral_embed_resources target)
  set(rc "LANGUAGE 0, 0\n")
  set(files)
  while(ARGN)
    list(POP_FRONT ARGN name file)
    string(APPEND rc "${name} RCDATA \"${file}\"\n")
    list(APPEND files ${file})
  endwhile()
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}-resources.rc)
  file(GENERATE OUTPUT ${output} CONTENT "${rc}")
  set_source_files_properties(${output} PROPERTIES OBJECT_DEPENDS "${files}")
  target_sources(${target} PRIVATE ${output})
endfunction()

# The programs the build runs, built for the build machine.
ombral_import_build_tools()

include(${CMAKE_CURRENT_LIST_DIR}/windows-runner.cmake)
