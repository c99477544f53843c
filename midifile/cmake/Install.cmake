# Install rules of the model. Components: "midifile" is the shared library
# a program needs to run, "dev" everything needed to build against it.
include(CMakePackageConfigHelpers)

set(MIDIFILE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/VennorMidifile)

install(TARGETS midifile_shared EXPORT VennorMidifileTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT midifile NAMELINK_COMPONENT dev)
install(TARGETS midifile EXPORT VennorMidifileTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
install(FILES ${MIDIFILE_HEADERS}
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${MIDIFILE_INCLUDE_SUBDIR} COMPONENT dev)

install(EXPORT VennorMidifileTargets NAMESPACE VennorMidifile::
  DESTINATION ${MIDIFILE_CMAKE_DIR} COMPONENT dev)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/VennorMidifileConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/VennorMidifileConfig.cmake
  INSTALL_DESTINATION ${MIDIFILE_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/VennorMidifileConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/VennorMidifileConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/VennorMidifileConfigVersion.cmake
  DESTINATION ${MIDIFILE_CMAKE_DIR} COMPONENT dev)

# The .pc file finds its prefix from where it lies, so that a tree installed
# with --prefix elsewhere (or unpacked from a package) works as it is.
file(RELATIVE_PATH MIDIFILE_PC_TO_PREFIX
  ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" MIDIFILE_PC_TO_PREFIX "${MIDIFILE_PC_TO_PREFIX}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/vennormidifile.pc.in
  ${CMAKE_CURRENT_BINARY_DIR}/vennormidifile.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vennormidifile.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)
