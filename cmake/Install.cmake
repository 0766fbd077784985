# Installation: libtessivo with its SONAME, the public headers, the plug-ins in
# lib/tessivo/plugins (where an installed libtessivo looks for them), the `tessivo` tool, a CMake
# package (find_package(Tessivo CONFIG) -> Tessivo::tessivo), a pkg-config file, and a Debian
# package made with CPack from the same rules.
include(CMakePackageConfigHelpers)

set(TESSIVO_INSTALL_CMAKEDIR lib/cmake/Tessivo)
set(TESSIVO_INCLUDE_DIR include)

target_include_directories(tessivo PUBLIC $<INSTALL_INTERFACE:include>)
# The public headers use C++20; consumers of the imported target get it too.
target_compile_features(tessivo PUBLIC cxx_std_20)

install(TARGETS tessivo EXPORT TessivoTargets
  LIBRARY DESTINATION lib NAMELINK_COMPONENT Runtime)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/include/tessivo DESTINATION include
  FILES_MATCHING PATTERN "*.h")
foreach(plugin tvimgplug tvtwain tvbarcode tvocrplug)
  if(TARGET ${plugin})
    install(TARGETS ${plugin} LIBRARY DESTINATION lib/tessivo/plugins)
  endif()
endforeach()
# The DataMatrix reader name is a link to the barcode reader plug-in, as in the build tree.
if(TARGET tvbarcode)
  install(CODE "execute_process(COMMAND \${CMAKE_COMMAND} -E create_symlink tvbarcode.1dreader.so
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/tessivo/plugins/tvbarcode.dmreader.so\")")
endif()
# The tool finds the library beside its own folder, wherever the tree is installed.
set_target_properties(tessivo_cli PROPERTIES INSTALL_RPATH "$ORIGIN/../lib")

install(EXPORT TessivoTargets NAMESPACE Tessivo:: DESTINATION ${TESSIVO_INSTALL_CMAKEDIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/package/TessivoConfig.cmake.in
  ${CMAKE_BINARY_DIR}/package/TessivoConfig.cmake INSTALL_DESTINATION ${TESSIVO_INSTALL_CMAKEDIR}
  PATH_VARS TESSIVO_INCLUDE_DIR)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/TessivoConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/package/TessivoConfig.cmake
              ${CMAKE_BINARY_DIR}/package/TessivoConfigVersion.cmake
        DESTINATION ${TESSIVO_INSTALL_CMAKEDIR})

# The .pc file names its prefix relative to its own folder, so a tree installed with
# `cmake --install --prefix P` (or moved) stays usable.
configure_file(${CMAKE_SOURCE_DIR}/cmake/package/tessivo.pc.in ${CMAKE_BINARY_DIR}/package/tessivo.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/package/tessivo.pc DESTINATION lib/pkgconfig)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessivo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tessivo imaging toolkit: library, headers, plug-ins and the tessivo tool")
set(CPACK_PACKAGE_CONTACT "Tessivo developers <tessivo@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# The run-time dependencies are read from the binaries themselves.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/lib)
include(CPack)
