# The Debian package and the uninstall target.
#
# A package comes from a build of its own with the Debian layout and the
# bank's path to match:
#   cmake -S . -B build-deb -DCMAKE_INSTALL_PREFIX=/usr \
#         -DVENNOR_FONT=/usr/share/vennor/vennorbank-0.sf2
#   cmake --build build-deb && (cd build-deb && cpack -G DEB)

set(CPACK_PACKAGE_NAME vennoroll)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the vennoroll authors")
set(CPACK_PACKAGE_CONTACT "vennoroll maintainers <vennoroll@localhost>")
# No CPACK_PACKAGE_DESCRIPTION_SUMMARY: the DEB generator would put it before
# every package's description, and each package has a summary of its own (the
# first line of its description below).
set(CPACK_PACKAGE_DESCRIPTION
    "Player for Estey pipe-organ e-rolls
vennoroll reads an Estey e-roll (a scanned player-organ roll stored as a \
Standard MIDI File), interprets its holes as the organ would and plays it \
through FluidSynth with an organ SoundFont built from the GrandOrgue demo \
recordings. vennoroll-render saves, renders, draws a roll or makes it a web \
page; vennoroll-live plays it in real time on another organ over JACK MIDI \
or the ALSA sequencer. A demo roll and manual pages come with them.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# dpkg-shlibdeps names the FluidSynth runtime (libfluidsynth3) and the C and
# C++ runtimes, with the versions the binary was linked against.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)

# Three packages: the player (everything installed without a component of its
# own), the model's shared library, and what it takes to build against it.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Unspecified midifile dev)
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_NAME vennoroll)
set(CPACK_COMPONENT_UNSPECIFIED_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_MIDIFILE_PACKAGE_NAME libvennormidifile${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_MIDIFILE_PACKAGE_SECTION libs)
set(CPACK_COMPONENT_MIDIFILE_DESCRIPTION
    "Standard MIDI File model of the vennoroll player (shared library)
The Standard MIDI File model under the player, as a shared library: it reads, \
edits, sorts, restructures, times and writes files of format 0 and 1.")
set(CPACK_DEBIAN_DEV_PACKAGE_NAME libvennormidifile-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS
    "libvennormidifile${PROJECT_VERSION_MAJOR} (= ${PROJECT_VERSION})")
set(CPACK_COMPONENT_DEV_DESCRIPTION
    "Standard MIDI File model of the vennoroll player (development files)
What it takes to build against the player's Standard MIDI File model: headers \
under /usr/include/vennor/midifile, the static library, the CMake package \
VennorMidifile and the pkg-config file vennormidifile.")
# The shared library's package declares what it provides (shlibs): programs
# built against it need this version or a later one.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")

# cpack reads this when it runs: a package whose player looks for its bank
# anywhere but where the package puts it would play in silence.
set(VENNOR_PACKAGE_FONT "${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/vennor/vennorbank-0.sf2")
configure_file(${CMAKE_CURRENT_LIST_DIR}/CPackCheck.cmake.in
               ${CMAKE_BINARY_DIR}/CPackCheck.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackCheck.cmake)
include(CPack)

# Removes exactly what the last `cmake --install` of this build put down.
configure_file(${CMAKE_CURRENT_LIST_DIR}/Uninstall.cmake.in
               ${CMAKE_BINARY_DIR}/Uninstall.cmake @ONLY)
add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} -P ${CMAKE_BINARY_DIR}/Uninstall.cmake
  COMMENT "Removing the files listed in install_manifest.txt")
