# What a host developer gets from `cmake --install` and from the Debian
# package: liblegend.so with its headers, the two programs, the sample file,
# the docs, a CMake package (Legend::legend) and a pkg-config file.
#
# Kept out of the directories that define the targets so that packaging can
# change without touching the build of the library itself.

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(LEGEND_INSTALL_CMAKEDIR "${CMAKE_INSTALL_LIBDIR}/cmake/Legend")
# Named after the package, not the CMake project, as Debian wants it.
set(LEGEND_INSTALL_DOCDIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/legend")
# legendhost looks for its default file in ../share/legend/samples beside its
# own directory, so the sample goes exactly there.
set(LEGEND_INSTALL_SAMPLESDIR "${CMAKE_INSTALL_DATADIR}/legend/samples")

# Installed programs find liblegend.so relative to themselves, so a prefix
# can be moved or unpacked anywhere. Where the library lands in a directory
# the loader searches anyway (/usr/lib/<multiarch> for the Debian package)
# no RPATH is written at all.
file(RELATIVE_PATH _legend_bin_to_lib
     "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_LIBDIR}")
set(_legend_system_libdirs ${CMAKE_PLATFORM_IMPLICIT_LINK_DIRECTORIES} ${CMAKE_CXX_IMPLICIT_LINK_DIRECTORIES})
list(FIND _legend_system_libdirs "${CMAKE_INSTALL_FULL_LIBDIR}" _legend_libdir_is_system)
if(_legend_libdir_is_system EQUAL -1)
  set(_legend_install_rpath "$ORIGIN/${_legend_bin_to_lib}")
else()
  set(_legend_install_rpath "")
endif()

# The build tree reaches the headers through the source directory; an
# installed Legend::legend must point into the prefix instead, and an
# absolute source path must never leak into the exported target.
get_target_property(_legend_includes legend INTERFACE_INCLUDE_DIRECTORIES)
set(_legend_interface_includes "")
foreach(_dir IN LISTS _legend_includes)
  if(_dir MATCHES "^\\$<")
    list(APPEND _legend_interface_includes "${_dir}")
  else()
    list(APPEND _legend_interface_includes "$<BUILD_INTERFACE:${_dir}>")
  endif()
endforeach()
list(APPEND _legend_interface_includes "$<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>")
set_property(TARGET legend PROPERTY INTERFACE_INCLUDE_DIRECTORIES "${_legend_interface_includes}")

# legend_events.h derives from QEvent, so a C++ host that includes it needs
# Qt's headers; the library's own Qt libraries come in through its DT_NEEDED
# entries either way. Inside the build tree every user links Qt itself.
target_link_libraries(legend INTERFACE $<INSTALL_INTERFACE:Qt6::Widgets>)

install(TARGETS legend EXPORT LegendTargets
  LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}" COMPONENT legend NAMELINK_COMPONENT legend)

foreach(_program clntool legendhost)
  if(TARGET ${_program})
    set_target_properties(${_program} PROPERTIES INSTALL_RPATH "${_legend_install_rpath}")
    install(TARGETS ${_program} RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT legend)
  endif()
endforeach()

install(DIRECTORY "${PROJECT_SOURCE_DIR}/include/legend"
  DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}" COMPONENT legend
  FILES_MATCHING PATTERN "*.h")
install(FILES "${PROJECT_SOURCE_DIR}/samples/demo.CLN"
  DESTINATION "${LEGEND_INSTALL_SAMPLESDIR}" COMPONENT legend)
install(DIRECTORY "${PROJECT_SOURCE_DIR}/docs/"
  DESTINATION "${LEGEND_INSTALL_DOCDIR}" COMPONENT legend
  FILES_MATCHING PATTERN "*.md")
# Sources only: a host developer may have built the examples in place.
install(DIRECTORY "${PROJECT_SOURCE_DIR}/examples"
  DESTINATION "${LEGEND_INSTALL_DOCDIR}" COMPONENT legend
  FILES_MATCHING PATTERN "*.c" PATTERN "*.cpp" PATTERN "CMakeLists.txt")

# CMake package
install(EXPORT LegendTargets NAMESPACE Legend::
  DESTINATION "${LEGEND_INSTALL_CMAKEDIR}" COMPONENT legend)
configure_package_config_file(
  "${CMAKE_CURRENT_LIST_DIR}/LegendConfig.cmake.in"
  "${PROJECT_BINARY_DIR}/LegendConfig.cmake"
  INSTALL_DESTINATION "${LEGEND_INSTALL_CMAKEDIR}"
  PATH_VARS LEGEND_INSTALL_SAMPLESDIR)
# The SONAME carries only the major version, so only it promises
# compatibility.
write_basic_package_version_file(
  "${PROJECT_BINARY_DIR}/LegendConfigVersion.cmake"
  VERSION "${PROJECT_VERSION}"
  COMPATIBILITY SameMajorVersion)
install(FILES
  "${PROJECT_BINARY_DIR}/LegendConfig.cmake"
  "${PROJECT_BINARY_DIR}/LegendConfigVersion.cmake"
  DESTINATION "${LEGEND_INSTALL_CMAKEDIR}" COMPONENT legend)

# pkg-config. The prefix is only known when installing (`cmake --install
# --prefix`, CPack staging /usr), so the file is written then, with the
# prefix the files really go to.
foreach(_kind LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${_kind}}")
    set(PC_${_kind} "${CMAKE_INSTALL_${_kind}}")
  else()
    set(PC_${_kind} "\${prefix}/${CMAKE_INSTALL_${_kind}}")
  endif()
endforeach()
set(PC_PREFIX "@PC_PREFIX@")
configure_file("${CMAKE_CURRENT_LIST_DIR}/legend.pc.in" "${PROJECT_BINARY_DIR}/legend.pc.in" @ONLY)
install(CODE "
  file(READ \"${PROJECT_BINARY_DIR}/legend.pc.in\" _pc)
  string(REPLACE \"@PC_PREFIX@\" \"\${CMAKE_INSTALL_PREFIX}\" _pc \"\${_pc}\")
  set(_pc_file \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig/legend.pc\")
  message(STATUS \"Installing: \${_pc_file}\")
  file(WRITE \"\${_pc_file}\" \"\${_pc}\")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${_pc_file}\")
" COMPONENT legend)

# API reference, for those who want it next to the build; CI runs the same
# Doxyfile and refuses any warning.
find_program(LEGEND_DOXYGEN doxygen)
if(LEGEND_DOXYGEN)
  add_custom_target(apidoc
    COMMAND "${LEGEND_DOXYGEN}" docs/Doxyfile
    WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
    COMMENT "Generating the API reference in build/apidoc"
    VERBATIM)
endif()

include("${CMAKE_CURRENT_LIST_DIR}/LegendPackage.cmake")
