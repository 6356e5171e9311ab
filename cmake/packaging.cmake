# Installation and the Debian packages: the viewer with its menu entry, icon, software-centre
# entry and example settings file, and the demo
# origin as a package of its own. `cpack --config build/default/CPackConfig.cmake` builds both.
include(GNUInstallDirs)

install(TARGETS planviewer RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT viewer)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/planviewer.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT viewer)
install(FILES ${PLANVIEWER_SETTINGS_EXAMPLE}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/planviewer COMPONENT viewer)

# The software centre's entry; its screenshots are those of docs/, published under the homepage.
set(PLANVIEWER_HOMEPAGE "https://planviewer.example" CACHE STRING
    "Homepage of the viewer; its docs/ folder holds the screenshots")
set(PLANVIEWER_METAINFO ${CMAKE_BINARY_DIR}/example.planviewer.planviewer.metainfo.xml)
configure_file(${PROJECT_SOURCE_DIR}/packaging/planviewer.metainfo.xml.in ${PLANVIEWER_METAINFO}
    @ONLY)
install(FILES ${PLANVIEWER_METAINFO}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT viewer)

# The icon is drawn in code; the desktop entry needs it as a file.
set(PLANVIEWER_ICON ${CMAKE_BINARY_DIR}/planviewer.png)
add_custom_command(OUTPUT ${PLANVIEWER_ICON}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
        $<TARGET_FILE:planviewer_screenshots> --icon ${PLANVIEWER_ICON}
    DEPENDS planviewer_screenshots
    COMMENT "Drawing the icon of the desktop entry")
# Sanitizer builds are for the tests; they draw no icon.
if(PLANVIEWER_SANITIZE OR PLANVIEWER_SANITIZE_THREAD)
    add_custom_target(planviewer_icon DEPENDS ${PLANVIEWER_ICON})
else()
    add_custom_target(planviewer_icon ALL DEPENDS ${PLANVIEWER_ICON})
endif()
install(FILES ${PLANVIEWER_ICON}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps COMPONENT viewer)

if(TARGET planviewer-origin)
    install(TARGETS planviewer-origin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT origin)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME planviewer)
set(CPACK_PACKAGE_VENDOR "planviewer developers")
set(CPACK_PACKAGE_CONTACT "planviewer developers <planviewer@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Viewer of lottery plan feeds")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL viewer origin)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_VIEWER_PACKAGE_NAME planviewer)
set(CPACK_DEBIAN_VIEWER_PACKAGE_RECOMMENDS "fonts-noto-cjk")
set(CPACK_COMPONENT_VIEWER_DESCRIPTION
    "Shows lottery plan feeds in one window, keeps them fresh and copies the numbers in progress.")
set(CPACK_DEBIAN_ORIGIN_PACKAGE_NAME planviewer-origin)
set(CPACK_COMPONENT_ORIGIN_DESCRIPTION
    "A local stand-in for every site the plan viewer reads, with generated data.")
include(CPack)
