# Read by cpack once per generator: which install components each package carries.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_COMPONENTS_ALL launcher debian)
elseif(CPACK_GENERATOR STREQUAL "TGZ")
  set(CPACK_COMPONENTS_ALL launcher license portable)
  # One folder, Jolstrand-<version>-linux-<arch>, holding everything.
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  set(CPACK_COMPONENTS_ALL launcher license)
endif()
