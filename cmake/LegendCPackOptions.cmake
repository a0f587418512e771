# Read by cpack for each generator it runs.
if(CPACK_GENERATOR STREQUAL "DEB" AND NOT CPACK_LEGEND_CONFIGURED_PREFIX STREQUAL "/usr")
  # The layout and the programs' RPATH follow the prefix the build was
  # configured with: a tree configured for /usr/local would put the library
  # in /usr/lib instead of Debian's multiarch directory and give the
  # programs an RPATH, which Debian refuses.
  message(FATAL_ERROR "This build was configured with CMAKE_INSTALL_PREFIX=${CPACK_LEGEND_CONFIGURED_PREFIX}; "
                      "the Debian packages need a tree configured with -DCMAKE_INSTALL_PREFIX=/usr.")
endif()
