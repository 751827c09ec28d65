# cmake --install: the package library with its headers, the tool, the setup
# library, and a CMake package (find_package(ombral CONFIG) -> ombral::ombral5).
include(CMakePackageConfigHelpers)

install(TARGETS ${OMBRAL_PACKAGE_LIBRARY} ${OMBRAL_FRAMEWORK_PACKAGES} EXPORT ombralTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS ombral RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Loaded from beside the framework library.
if(OMBRAL_UI_MODULES)
  install(TARGETS ${OMBRAL_UI_MODULES} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()
install(TARGETS ombralsetup LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/ombral)

foreach(dir OmbralCodeUnit OmbralCreateUnit platform/host)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/${dir}/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${dir}
    FILES_MATCHING PATTERN "*.h")
endforeach()
install(FILES ${OMBRAL_PLATFORM_INCLUDE}/PlatformOdbc.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${CMAKE_SOURCE_DIR}/platform/odbc/RegistryPaths.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/platform/odbc)

install(EXPORT ombralTargets NAMESPACE ombral:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/ombral)
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/ombralConfig.cmake.in
  ${CMAKE_BINARY_DIR}/ombralConfig.cmake INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/ombral)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/ombralConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/ombralConfig.cmake ${CMAKE_BINARY_DIR}/ombralConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/ombral)
