# Read by cpack for each generator it runs.
if(CPACK_GENERATOR STREQUAL "DEB" AND NOT CPACK_LEGEND_CONFIGURED_PREFIX STREQUAL "/usr")
  # The layout follows the prefix the build was configured with, so a tree
  # configured for /usr/local gives /usr/lib instead of Debian's multiarch
  # directory, and programs with an RPATH.
  message(WARNING "This build was configured with CMAKE_INSTALL_PREFIX=${CPACK_LEGEND_CONFIGURED_PREFIX}; "
                  "for a Debian package configure it with -DCMAKE_INSTALL_PREFIX=/usr.")
endif()
