# What a desktop needs to list the wizard: its desktop entry, the AppStream
# metainfo for software centres, and the program icon in the hicolor theme.
set(VRZ_APPSTREAM_ID io.github.vant.RepairZip)
# Screenshots are fetched by software centres from the project's repository.
set(VRZ_SCREENSHOT_URL "https://raw.githubusercontent.com/vant/repair-zip/v${PROJECT_VERSION}/docs/screenshots")
set(VRZ_METAINFO ${PROJECT_BINARY_DIR}/${VRZ_APPSTREAM_ID}.metainfo.xml)
configure_file(${PROJECT_SOURCE_DIR}/packaging/${VRZ_APPSTREAM_ID}.metainfo.xml.in ${VRZ_METAINFO} @ONLY)

install(FILES ${PROJECT_SOURCE_DIR}/app/vant-repair-zip.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT wizard)
install(FILES ${VRZ_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT wizard)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/icons/hicolor
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons COMPONENT wizard)
install(FILES ${PROJECT_SOURCE_DIR}/resources/art/program-icon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME vant-repair-zip.svg COMPONENT wizard)
