# The Win32 binding: the real registry (advapi32), ODBC installer (odbccp32)
# and user interface (user32).
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601)

set(OMBRAL_PLATFORM_SOURCES
  ${CMAKE_SOURCE_DIR}/platform/win32/Win32Registry.cpp
  ${CMAKE_SOURCE_DIR}/platform/win32/Win32Ui.cpp
  ${CMAKE_SOURCE_DIR}/platform/win32/Win32UiBackend.cpp)
set(OMBRAL_PLATFORM_INCLUDE ${CMAKE_SOURCE_DIR}/platform/win32/include)
set(OMBRAL_PLATFORM_LIBRARIES advapi32 user32)
set(OMBRAL_INSTALLER_LIBRARY odbccp32)

set(OMBRAL_SETUP_STORE_SOURCES ${CMAKE_SOURCE_DIR}/platform/win32/RegistryDataSourceStore.cpp)
set(OMBRAL_SETUP_LIBRARIES advapi32 odbccp32)
set(OMBRAL_SETUP_PREFIX "")
# Exported by its plain name, from the .def file alone.
set(OMBRAL_SETUP_LINK_OPTIONS ${CMAKE_SOURCE_DIR}/platform/win32/ombralsetup.def)
set(OMBRAL_DRIVERREG_SOURCES ${CMAKE_SOURCE_DIR}/platform/win32/DriverRegistrationWin32.cpp)
set(OMBRAL_DRIVERREG_LIBRARIES advapi32)
