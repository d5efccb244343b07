# install.cmake -- what `cmake --install` puts where: the library (with its import libraries and
# .def on Windows), the headers, the VBA declarations, a CMake package (find_package(zknet
# CONFIG) giving zknet::zknet), a pkg-config file, the licence and the tool's manual page.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS zknet EXPORT zknetTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/include/zknet DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
        FILES_MATCHING PATTERN "*.h")
if(WIN32)
  # The .def that made the DLL, the list of its exports.
  install(FILES ${ZK_DEF_FILE} DESTINATION ${CMAKE_INSTALL_LIBDIR} RENAME zknet.def)
  # The import library for Visual Studio's linker.
  install(FILES ${CMAKE_BINARY_DIR}/zknet.lib DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
if(NOT WIN32)
  install(FILES ${CMAKE_SOURCE_DIR}/tools/zknet/zknet.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/bindings/vba/zknet.bas)
  install(FILES ${CMAKE_SOURCE_DIR}/bindings/vba/zknet.bas DESTINATION ${CMAKE_INSTALL_DATADIR}/zknet)
endif()
# The Python package's source (pip install share/zknet/python).
install(DIRECTORY ${CMAKE_SOURCE_DIR}/bindings/python/ DESTINATION ${CMAKE_INSTALL_DATADIR}/zknet/python
        FILES_MATCHING PATTERN "*.py" PATTERN "pyproject.toml" PATTERN "__pycache__" EXCLUDE PATTERN "build" EXCLUDE
        PATTERN "*.egg-info" EXCLUDE)
install(FILES ${CMAKE_SOURCE_DIR}/bindings/dotnet/Zknet.cs DESTINATION ${CMAKE_INSTALL_DATADIR}/zknet/dotnet)
# The Delphi / Free Pascal unit and its example.
install(FILES ${CMAKE_SOURCE_DIR}/bindings/pascal/zknet.pas ${CMAKE_SOURCE_DIR}/bindings/pascal/example.dpr
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zknet/pascal)

set(ZK_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/zknet)
install(EXPORT zknetTargets NAMESPACE zknet:: DESTINATION ${ZK_CMAKE_DIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/zknetConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/zknetConfig.cmake INSTALL_DESTINATION ${ZK_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/zknetConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/zknetConfig.cmake ${CMAKE_BINARY_DIR}/zknetConfigVersion.cmake
        DESTINATION ${ZK_CMAKE_DIR})

file(RELATIVE_PATH ZK_PC_UP /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
# The library's TLS comes from OpenSSL on Linux; Windows has it in its system DLLs.
if(WIN32)
  set(ZK_PC_REQUIRES_PRIVATE "")
else()
  set(ZK_PC_REQUIRES_PRIVATE "Requires.private: libssl >= 3.0 libcrypto >= 3.0")
endif()
configure_file(${CMAKE_SOURCE_DIR}/cmake/zknet.pc.in ${CMAKE_BINARY_DIR}/zknet.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/zknet.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
