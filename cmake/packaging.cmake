# Packages, made by CPack from the install components (see cmake/install.cmake), never as part
# of a build: after building, `cpack -G DEB`, `cpack -G TGZ` or, on macOS, `cpack -G DragNDrop`
# in the build folder (or `cpack --preset release`).
#   .deb     jolstrand_<version>_<arch>.deb; Depends from the linked shared libraries
#   .tar.gz  Jolstrand-<version>-linux-<arch>.tar.gz, one folder that runs wherever it is unpacked
#   .dmg     Jolstrand-<version>.dmg: Jolstrand.app beside a link to /Applications
# The portable program needs no run-time search path: everything of this project is linked in
# statically, the program finds its launcher module by a path relative to its own folder, and the
# rest (Qt, ICU, libplist, xcb) comes from the system.

set(CPACK_PACKAGE_NAME jolstrand)
set(CPACK_PACKAGE_VENDOR "Jolstrand developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${JOLSTRAND_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keyboard launcher for applications")
set(CPACK_PACKAGE_DESCRIPTION
    "Press Super-Space, type part of an application's name, and a floating panel\n"
    "lists at most nine matching applications, ranked by how well a name matches\n"
    "and by how often and how recently they were launched. Return opens the\n"
    "selection, Ctrl-Return reveals it, Escape closes the panel. The catalogue is\n"
    "kept current by watching the application folders.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)

# Each generator takes its own components in one package (cmake/cpack_components.cmake).
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/cpack_components.cmake)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)

if(APPLE)
  set(CPACK_GENERATOR DragNDrop)
  set(CPACK_PACKAGE_FILE_NAME Jolstrand-${PROJECT_VERSION})
  set(CPACK_DMG_VOLUME_NAME Jolstrand)
  set(CPACK_DMG_FORMAT UDZO)
else()
  set(CPACK_GENERATOR "DEB;TGZ")
  set(CPACK_PACKAGE_FILE_NAME Jolstrand-${PROJECT_VERSION}-linux-${JOLSTRAND_ARCHIVE_ARCH})
  set(CPACK_ARCHIVE_FILE_NAME ${CPACK_PACKAGE_FILE_NAME})

  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_NAME jolstrand)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${JOLSTRAND_MAINTAINER}")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${JOLSTRAND_HOMEPAGE}")
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # Qt loads these as plugins, which the shared-library scan cannot see: the X11 and Wayland
  # platforms (the launcher cannot start without the session's) and the image formats that read
  # bundles' .icns icons.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-image-formats-plugins)
  set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
endif()

include(CPack)
