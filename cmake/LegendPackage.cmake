# The Debian packages, one per install component, the way Debian splits a
# library:
#   liblegend0     (libs)      the shared library; depends on Qt's runtime
#                              libraries only
#   liblegend-dev  (libdevel)  what a host is built with; depends on
#                              liblegend0 of the same version and on Qt's
#                              development package
#   legend-tools   (utils)     clntool, legendhost, the sample legend file
# `cpack -G DEB` in a tree configured with -DCMAKE_INSTALL_PREFIX=/usr (see
# LegendCPackOptions.cmake) writes all three.

# The source package the three come from, as Debian's tools name it.
set(CPACK_PACKAGE_NAME "legend")
set(CPACK_PACKAGE_VENDOR "Legend developers")
set(CPACK_PACKAGE_CONTACT "${LEGEND_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_GENERATOR "DEB")
# No CPACK_PACKAGE_DESCRIPTION_SUMMARY: CPack would put it in front of every
# package's description, each of which starts with its own synopsis line.

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Runtime Development Tools)
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_SOURCE "${CPACK_PACKAGE_NAME}")
set(CPACK_DEBIAN_PACKAGE_RELEASE "${LEGEND_DEBIAN_REVISION}")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")

# Everything a package needs from other packages comes from its binaries
# (libqt6widgets6, libqt6gui6, ...), so the lists can never drift from what
# is really linked.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# liblegend0 tells dpkg-shlibdeps what later versions still serve a host
# built against this one: the symbols file names the version each export
# first appeared in; the shlibs file is the fallback of older tools. Both
# promise any later version of the same SONAME, which the symbol version
# and the unchanged SONAME guarantee.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
configure_file("${PROJECT_SOURCE_DIR}/packaging/debian/symbols.in"
               "${PROJECT_BINARY_DIR}/packaging/runtime/symbols" @ONLY)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME "${LEGEND_RUNTIME_PACKAGE}")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION "libs")
# dpkg runs ldconfig once for all packages through this trigger. CPack's
# own postinst and postrm still call it too, which is redundant but harmless.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA
    "${PROJECT_BINARY_DIR}/packaging/runtime/symbols" "${PROJECT_SOURCE_DIR}/packaging/debian/triggers")
# Pads draw GBK names, which want a CJK font; Qt's own texts (file dialogs,
# context menus) follow the interface's language only with Qt's translations.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk, qt6-translations-l10n")
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
    "legend pads and legend editor for desktop GIS hosts
liblegend.so shows the legends of a legend file (.CLN) in a small pad
window, tells the host which legend the user selected, answers the host's
queries about it, and runs the project legend editor over the file.
.
This package holds the shared library that hosts load at run time.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME "${LEGEND_DEVELOPMENT_PACKAGE}")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION "libdevel")
# Holds no binary: its needs are written out. LegendConfig.cmake finds Qt 6
# Widgets and legend_events.h includes Qt headers, so the headers alone do
# not build a C++ host.
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "${LEGEND_RUNTIME_PACKAGE} (= ${LEGEND_PACKAGE_VERSION}), qt6-base-dev")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SUGGESTS "cmake, pkg-config")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
    "legend pads and legend editor for desktop GIS hosts - development files
liblegend.so shows the legends of a legend file (.CLN) in a small pad
window, tells the host which legend the user selected, answers the host's
queries about it, and runs the project legend editor over the file.
.
This package holds what a host is built with: the C and C++ headers, the
CMake package (find_package(Legend) giving Legend::legend), the pkg-config
file, the description of the graphic records and two example hosts.")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME "${LEGEND_TOOLS_PACKAGE}")
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION "utils")
# legendhost is linked against liblegend.so.0 of this very build, which
# dpkg-shlibdeps finds in liblegend0's staging directory beside this one
# (it runs in the staging directory of the package it works on) and, being
# told it is private, asks no package for; the dependency is written out.
set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS "${LEGEND_RUNTIME_PACKAGE} (= ${LEGEND_PACKAGE_VERSION})")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "../Runtime${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}")
set(CPACK_COMPONENT_TOOLS_DESCRIPTION
    "legend file tools and demonstration host
clntool inspects and validates legend files (.CLN), dumps them, draws them
as printable sheets (PNG, SVG, PDF), turns them into JSON documents and
back, and compares two of them. legendhost is a demonstration host that
opens a legend file in a legend pad and shows what the pad tells it.
.
This package also holds a sample legend file.")

set(CPACK_LEGEND_CONFIGURED_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/LegendCPackOptions.cmake")

include(CPack)
