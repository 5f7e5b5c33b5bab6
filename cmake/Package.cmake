# The Debian package, made by CPack from the install rules:
#   cpack --preset package        (scripts/package.sh does all of it)
# One package with every component there is; its version is the project's.
# The Windows archive is assembled from the two Windows builds by
# scripts/package.sh instead, as one CPack run sees one build.
if(WIN32)
  return()
endif()

set(CPACK_PACKAGE_NAME marrow-grit)
set(CPACK_PACKAGE_VENDOR "the Marrow-Grit developers")
set(CPACK_PACKAGE_CONTACT "${MG_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "guitar fuzz pedal as a VST 2.4, VST 3, LV2 and CLAP plug-in")
set(CPACK_PACKAGE_DESCRIPTION
"Marrow-Grit is a guitar fuzz pedal with a switchable speaker-cabinet
stage: Level and Attack knobs, a cabinet toggle and a footswitch, in an
editor that looks like the pedal. This package installs the Linux VST 2.4
plug-in into /usr/lib/vst, the VST 3 bundle into /usr/lib/vst3, the LV2
plug-in with its user interface into /usr/lib/lv2 and the CLAP plug-in
into /usr/lib/clap, where hosts look for them; mg-host, a command-line
host that describes a plug-in or plays an audio file through it; and
mg-live with the marrow-grit launcher, which play the pedal live through
JACK with its editor in a window.")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Dependencies from the shared libraries the programs and the plug-in use.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Files for the package alone, not for a plain install: lintian's notes on
# the warnings that are right here.
file(INSTALL ${CMAKE_CURRENT_LIST_DIR}/package/lintian-overrides
     DESTINATION ${CMAKE_BINARY_DIR}/package/deb/usr/share/lintian/overrides
     RENAME marrow-grit)
set(CPACK_INSTALLED_DIRECTORIES ${CMAKE_BINARY_DIR}/package/deb .)

include(CPack)
