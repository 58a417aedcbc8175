# Read by CPack once per generator, so each package gets its own layout.
if(CPACK_GENERATOR STREQUAL "TGZ")
  # The release image the updater installs: one top folder "Joulemap.app", a relocatable tree with
  # bin/joulemap and its data beside it. The release script renames the file after the version.
  set(CPACK_PACKAGE_FILE_NAME "Joulemap.app")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
elseif(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
endif()
