# Installation and packages. The tree is relocatable: the program looks for its data in
# <its folder>/../share/joulemap, so the same layout works under /usr, /usr/local,
# ~/Applications/Joulemap.app and a staging folder.
include(GNUInstallDirs)

option(JOULEMAP_INSTALL_AUTOSTART "Also start Joulemap at login for every user (an XDG autostart entry)" OFF)

set(_jm_resources ${PROJECT_SOURCE_DIR}/resources)
set(_jm_data_dir ${CMAKE_INSTALL_DATADIR}/joulemap)

# The executable's target may be defined in any subdirectory; it only has to exist by now.
if(TARGET joulemap)
  install(TARGETS joulemap RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${_jm_resources}/AppNameMap.json ${_jm_resources}/logo.png DESTINATION ${_jm_data_dir})
install(DIRECTORY ${_jm_resources}/icons DESTINATION ${_jm_data_dir})
if(EXISTS ${PROJECT_SOURCE_DIR}/versions.json)
  install(FILES ${PROJECT_SOURCE_DIR}/versions.json DESTINATION ${_jm_data_dir})
endif()
# The settings window points here when the charge limit cannot be written.
install(FILES ${PROJECT_SOURCE_DIR}/docs/charge-limit.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Menus find the program by its desktop entry and the entry's icon by name in the icon theme.
install(FILES ${_jm_resources}/joulemap.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_jm_resources}/logo.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps
        RENAME joulemap.png)
if(JOULEMAP_INSTALL_AUTOSTART)
  install(FILES ${_jm_resources}/joulemap-autostart.desktop DESTINATION ${CMAKE_INSTALL_SYSCONFDIR}/xdg/autostart
          RENAME joulemap.desktop)
endif()

set(CPACK_PACKAGE_NAME joulemap)
set(CPACK_PACKAGE_VENDOR "Joulemap")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop power monitor: where the machine's power goes, live")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR "TGZ;DEB")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Joulemap developers <joulemap@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The Qt, SQLite and C++ runtime packages, as the linked libraries require them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/JoulemapCPackOptions.cmake)
include(CPack)
