# One Debian package with the library, its headers and CMake/pkg-config
# files, the two programs and the sample: `cpack -G DEB` in a build tree
# configured with -DCMAKE_INSTALL_PREFIX=/usr (so the library lands in
# Debian's multiarch directory and needs no RPATH).
#
# It is called "legend" rather than liblegend0 because it is not split the
# Debian way into runtime and -dev packages; a host developer installs one
# package and builds.

set(CPACK_PACKAGE_NAME "legend")
set(CPACK_PACKAGE_VENDOR "Legend developers")
set(LEGEND_PACKAGE_MAINTAINER "Legend developers <legend@localhost>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${LEGEND_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "legend pads and legend editor for desktop GIS hosts")
set(CPACK_PACKAGE_DESCRIPTION
    "liblegend.so shows the legends of a legend file (.CLN) in a small pad window, tells the host which legend the user selected, and edits legend files. The package holds the library, its C and C++ headers, a CMake package (find_package(Legend)), a pkg-config file, the programs clntool and legendhost, and a sample legend file.")
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_GENERATOR "DEB")

set(CPACK_DEBIAN_PACKAGE_SECTION "libs")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
# Runtime dependencies come from the binaries themselves, so the list can
# never drift from what is really linked (libqt6widgets6, libqt6gui6, ...).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# legendhost needs liblegend.so.0 from this very package.
# dpkg-shlibdeps runs in the staging directory, hence the relative path.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ".${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}")
# The package is also the development package: LegendConfig.cmake finds
# Qt 6 Widgets and legend_events.h includes Qt headers, so without Qt's
# development files neither works. Installing this package and a compiler
# must be enough to build a host.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-base-dev")
# Pads draw GBK names, which want a CJK font.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cmake, pkg-config")

set(CPACK_LEGEND_CONFIGURED_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/LegendCPackOptions.cmake")

include(CPack)
