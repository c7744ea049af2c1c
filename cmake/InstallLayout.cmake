# Installed as a program folder, as in the build tree: the executables with
# Lang/, help/ and Tips.Txt beside them, and launcher links in bin/.
# Two install components: "cli" (ziprepair and what it reads) and "wizard"
# (the window program, its updater and desktop files); the Debian packages
# are cut along them.
include(GNUInstallDirs)
set(VRZ_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/vant-repair-zip)

# ziprepair reads its messages from Lang/ too, so the language files go with it.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/Lang DESTINATION ${VRZ_PROGRAM_DIR} COMPONENT cli)
if(VRZ_BUILD_GUI)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/help DESTINATION ${VRZ_PROGRAM_DIR} COMPONENT wizard)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/Tips.Txt DESTINATION ${VRZ_PROGRAM_DIR} COMPONENT wizard)
endif()

# Installs an executable into the program folder with a link to it in bin/.
function(vrz_install_program target component)
  install(TARGETS ${target} RUNTIME DESTINATION ${VRZ_PROGRAM_DIR} COMPONENT ${component})
  install(CODE "
    set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(MAKE_DIRECTORY \"\${bin}\")
    file(CREATE_LINK \"../${VRZ_PROGRAM_DIR}/${target}\" \"\${bin}/${target}\" SYMBOLIC)
    message(STATUS \"Installing: \${bin}/${target} -> ../${VRZ_PROGRAM_DIR}/${target}\")"
    COMPONENT ${component})
endfunction()
