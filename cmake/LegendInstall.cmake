# What `cmake --install` puts into a prefix, in three components that the
# Debian packages follow one to one:
#   Runtime      the shared library: all a machine that runs a host needs
#   Development  headers, the liblegend.so link, the CMake package
#                (Legend::legend), the pkg-config file, docs and examples
#   Tools        clntool, legendhost, their manual pages and the sample file
# `cmake --install` without --component installs all three.
#
# Kept out of the directories that define the targets so that packaging can
# change without touching the build of the library itself.

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# Debian names a library's package after its SONAME (liblegend.so.0 gives
# liblegend0), so a new SONAME renames the package by itself.
get_target_property(_legend_soversion legend SOVERSION)
set(LEGEND_RUNTIME_PACKAGE "liblegend${_legend_soversion}")
set(LEGEND_DEVELOPMENT_PACKAGE "liblegend-dev")
set(LEGEND_TOOLS_PACKAGE "legend-tools")

set(LEGEND_INSTALL_CMAKEDIR "${CMAKE_INSTALL_LIBDIR}/cmake/Legend")
# legendhost looks for its default file in ../share/legend/samples beside its
# own directory, so the sample goes exactly there.
set(LEGEND_INSTALL_SAMPLESDIR "${CMAKE_INSTALL_DATADIR}/legend/samples")

# Directories created while installing are 0755 whatever the umask of whoever
# installs or packages; files get 0644 and programs 0755 from install().
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Installed programs find liblegend.so relative to themselves, so a prefix
# can be moved or unpacked anywhere. Where the library lands in a directory
# the loader searches anyway (/usr/lib/<multiarch> for the Debian packages)
# no RPATH is written at all: there it could only shadow the system's copy.
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

# Runtime gets liblegend.so.<version> and the liblegend.so.0 link the loader
# follows; the unversioned link only serves the linker, so it is development.
install(TARGETS legend EXPORT LegendTargets
  LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}" COMPONENT Runtime NAMELINK_COMPONENT Development)

foreach(_program clntool legendhost)
  if(TARGET ${_program})
    set_target_properties(${_program} PROPERTIES INSTALL_RPATH "${_legend_install_rpath}")
    install(TARGETS ${_program} RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT Tools)
  endif()
endforeach()
install(FILES "${PROJECT_SOURCE_DIR}/samples/demo.CLN"
  DESTINATION "${LEGEND_INSTALL_SAMPLESDIR}" COMPONENT Tools)

install(DIRECTORY "${PROJECT_SOURCE_DIR}/include/legend"
  DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}" COMPONENT Development
  FILES_MATCHING PATTERN "*.h")

# Debian wants every package's own /usr/share/doc/<package> with the
# copyright and a compressed changelog; a plain prefix gets the same layout.
# Compressed with `gzip -9n` (no name, no time stamp in the header), so the
# same sources give the same bytes.
set(_legend_packaging_dir "${PROJECT_SOURCE_DIR}/packaging")
set(_legend_generated_dir "${PROJECT_BINARY_DIR}/packaging")
find_program(LEGEND_GZIP gzip REQUIRED)
function(legend_gzip source output)
  set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${source}")
  execute_process(COMMAND "${LEGEND_GZIP}" -9nc
    INPUT_FILE "${source}" OUTPUT_FILE "${output}" RESULT_VARIABLE _status)
  if(NOT _status EQUAL 0)
    message(FATAL_ERROR "gzip ${source}: ${_status}")
  endif()
endfunction()

set(LEGEND_PACKAGE_MAINTAINER "Legend maintainers <legend@example.org>"
    CACHE STRING "Maintainer of the Debian packages, as Name <address>")
set(LEGEND_DEBIAN_REVISION 1 CACHE STRING "Debian revision of the packages (the part after the upstream version)")
set(LEGEND_PACKAGE_VERSION "${PROJECT_VERSION}-${LEGEND_DEBIAN_REVISION}")
# SOURCE_DATE_EPOCH, when set, fixes the date, as for every other time stamp
# in the packages.
string(TIMESTAMP LEGEND_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file("${_legend_packaging_dir}/debian/changelog.in" "${_legend_generated_dir}/changelog.Debian" @ONLY)
legend_gzip("${_legend_generated_dir}/changelog.Debian" "${_legend_generated_dir}/changelog.Debian.gz")

foreach(_component Runtime Development Tools)
  string(TOUPPER "${_component}" _upper)
  install(FILES "${_legend_packaging_dir}/debian/copyright" "${_legend_generated_dir}/changelog.Debian.gz"
    DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/doc/${LEGEND_${_upper}_PACKAGE}" COMPONENT ${_component})
endforeach()
set(_legend_development_docdir "${CMAKE_INSTALL_DATAROOTDIR}/doc/${LEGEND_DEVELOPMENT_PACKAGE}")
install(FILES "${PROJECT_SOURCE_DIR}/docs/graphic-records.md"
  DESTINATION "${_legend_development_docdir}" COMPONENT Development)
# Sources only: a host developer may have built the examples in place.
install(DIRECTORY "${PROJECT_SOURCE_DIR}/examples"
  DESTINATION "${_legend_development_docdir}" COMPONENT Development
  FILES_MATCHING PATTERN "*.c" PATTERN "*.cpp" PATTERN "CMakeLists.txt")
# What clntool export writes and clntool import reads.
install(FILES "${PROJECT_SOURCE_DIR}/docs/legend-json.md"
  DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/doc/${LEGEND_TOOLS_PACKAGE}" COMPONENT Tools)

foreach(_program clntool legendhost)
  if(TARGET ${_program})
    legend_gzip("${_legend_packaging_dir}/man/${_program}.1" "${_legend_generated_dir}/${_program}.1.gz")
    install(FILES "${_legend_generated_dir}/${_program}.1.gz"
      DESTINATION "${CMAKE_INSTALL_MANDIR}/man1" COMPONENT Tools)
  endif()
endforeach()

# CMake package
install(EXPORT LegendTargets NAMESPACE Legend::
  DESTINATION "${LEGEND_INSTALL_CMAKEDIR}" COMPONENT Development)
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
  DESTINATION "${LEGEND_INSTALL_CMAKEDIR}" COMPONENT Development)

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
  file(WRITE \"${PROJECT_BINARY_DIR}/pkgconfig/legend.pc\" \"\${_pc}\")
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig\" TYPE FILE
       FILES \"${PROJECT_BINARY_DIR}/pkgconfig/legend.pc\"
       DIR_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
" COMPONENT Development)

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
