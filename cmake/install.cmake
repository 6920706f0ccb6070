# What `cmake --install` lays out. Linux: an FHS tree (bin/, the launcher module in lib/jolstrand/,
# the desktop entry, the icon in the hicolor theme, the manual page, the documents). macOS:
# Jolstrand.app and the licence.
#
# Components:
#   launcher       the program with its desktop integration (installed by default)
#   license        LICENSE among the documents (installed by default; the .deb carries it as
#                  its copyright file instead)
#   debian         what only the .deb carries: its copyright file and changelog
#   portable       the portable archive's top-level README.txt; share/jolstrand/Info.plist,
#                  a copy of the program's own, by which an update finds a portable
#                  installation and checks the build it is about to put in place; and
#                  share/jolstrand/portable-layout, the list of every file and folder the archive
#                  holds, by which an update tells the program's own folder from a prefix it was
#                  unpacked into, or from one the user keeps files in
#   release-tools  jolstrand-release, for whoever cuts releases
# The last three are installed only when asked for (`--component NAME`) or packaged.

include(GNUInstallDirs)

install(TARGETS jolstrand-release RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT release-tools EXCLUDE_FROM_ALL)

if(APPLE)
  install(TARGETS jolstrand BUNDLE DESTINATION . COMPONENT launcher)
  install(FILES LICENSE DESTINATION . COMPONENT license)
  return()
endif()

set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/jolstrand)
set(packaging_dir ${CMAKE_BINARY_DIR}/packaging)

# Every file the portable archive holds (its components launcher, license and portable), each
# recorded beside the rule that installs it; the layout list names them and every folder on
# their way.
set(portable_paths)
function(jolstrand_portable_path path)
  set(portable_paths ${portable_paths} ${path} PARENT_SCOPE)
endfunction()

install(TARGETS jolstrand RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT launcher)
jolstrand_portable_path(${CMAKE_INSTALL_BINDIR}/jolstrand)
# The program finds the launcher module at ../lib/jolstrand/modules from its own folder, in any
# prefix and wherever the programs' folder is. A folder below lib/jolstrand: packaged directly
# there, it would be taken for a shared library of the system's and the package would run
# ldconfig for it.
set(module_dir ${CMAKE_INSTALL_BINDIR}/../lib/jolstrand/modules)
cmake_path(NORMAL_PATH module_dir)
install(TARGETS jolstrand_launcher LIBRARY DESTINATION ${module_dir} COMPONENT launcher
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
jolstrand_portable_path(${module_dir}/jolstrand-launcher.so)
configure_file(packaging/jolstrand.desktop.in
               ${packaging_dir}/${JOLSTRAND_BUNDLE_IDENTIFIER}.desktop @ONLY)
install(FILES ${packaging_dir}/${JOLSTRAND_BUNDLE_IDENTIFIER}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT launcher)
jolstrand_portable_path(
  ${CMAKE_INSTALL_DATADIR}/applications/${JOLSTRAND_BUNDLE_IDENTIFIER}.desktop)
install(FILES app/resources/jolstrand.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${JOLSTRAND_BUNDLE_IDENTIFIER}.svg COMPONENT launcher)
jolstrand_portable_path(
  ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps/${JOLSTRAND_BUNDLE_IDENTIFIER}.svg)
install(FILES README.md DESTINATION ${doc_dir} COMPONENT launcher)
install(FILES LICENSE DESTINATION ${doc_dir} COMPONENT license)
jolstrand_portable_path(${doc_dir}/README.md)
jolstrand_portable_path(${doc_dir}/LICENSE)

# Manual page and Debian changelog are installed compressed, as Debian wants them; gzip -n keeps
# the bytes the same from build to build.
function(jolstrand_gzip source output)
  execute_process(COMMAND gzip -9 -n -c ${source} OUTPUT_FILE ${output}
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "could not compress ${source}")
  endif()
endfunction()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${CMAKE_SOURCE_DIR}/packaging/jolstrand.1 ${CMAKE_SOURCE_DIR}/LICENSE)
jolstrand_gzip(${CMAKE_SOURCE_DIR}/packaging/jolstrand.1 ${packaging_dir}/jolstrand.1.gz)
install(FILES ${packaging_dir}/jolstrand.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
        COMPONENT launcher)
jolstrand_portable_path(${CMAKE_INSTALL_MANDIR}/man1/jolstrand.1.gz)

# The .deb's machine-readable copyright file carries the licence text.
file(READ LICENSE license_text)
string(STRIP "${license_text}" license_text)
string(REGEX REPLACE "\n\n" "\n.\n" license_text "${license_text}")
string(REGEX REPLACE "\n" "\n " license_text "${license_text}")
configure_file(packaging/debian/copyright.in ${packaging_dir}/copyright @ONLY)
# Dated at configuration, or by SOURCE_DATE_EPOCH when set (for reproducible packages).
string(TIMESTAMP JOLSTRAND_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(packaging/debian/changelog.in ${packaging_dir}/changelog @ONLY)
jolstrand_gzip(${packaging_dir}/changelog ${packaging_dir}/changelog.gz)
install(FILES ${packaging_dir}/copyright ${packaging_dir}/changelog.gz DESTINATION ${doc_dir}
        COMPONENT debian EXCLUDE_FROM_ALL)

string(TOLOWER "${CMAKE_SYSTEM_PROCESSOR}" JOLSTRAND_ARCHIVE_ARCH)
configure_file(packaging/portable-README.txt.in ${packaging_dir}/README.txt @ONLY)
install(FILES ${packaging_dir}/README.txt DESTINATION . COMPONENT portable EXCLUDE_FROM_ALL)
jolstrand_portable_path(README.txt)
install(FILES ${JOLSTRAND_INFO_PLIST} DESTINATION ${CMAKE_INSTALL_DATADIR}/jolstrand
        COMPONENT portable EXCLUDE_FROM_ALL)
get_filename_component(info_plist_name ${JOLSTRAND_INFO_PLIST} NAME)
jolstrand_portable_path(${CMAKE_INSTALL_DATADIR}/jolstrand/${info_plist_name})
jolstrand_portable_path(${CMAKE_INSTALL_DATADIR}/jolstrand/portable-layout)

set(portable_layout)
foreach(path IN LISTS portable_paths)
  # The path and each folder above it.
  while(NOT path STREQUAL "" AND NOT path STREQUAL ".")
    list(APPEND portable_layout ${path})
    get_filename_component(path "${path}" DIRECTORY)
  endwhile()
endforeach()
list(REMOVE_DUPLICATES portable_layout)
list(SORT portable_layout)
list(JOIN portable_layout "\n" portable_layout)
file(CONFIGURE OUTPUT ${packaging_dir}/portable-layout CONTENT "${portable_layout}\n")
install(FILES ${packaging_dir}/portable-layout DESTINATION ${CMAKE_INSTALL_DATADIR}/jolstrand
        COMPONENT portable EXCLUDE_FROM_ALL)
