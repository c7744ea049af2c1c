# Installed as a program folder, as in the build tree: the executables with
# Lang/, help/ and Tips.Txt beside them, and launcher links in bin/.
include(GNUInstallDirs)
set(VRZ_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/vant-repair-zip)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/Lang ${PROJECT_SOURCE_DIR}/resources/help
        DESTINATION ${VRZ_PROGRAM_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/Tips.Txt DESTINATION ${VRZ_PROGRAM_DIR})

# Installs an executable into the program folder with a link to it in bin/.
function(vrz_install_program target)
  install(TARGETS ${target} RUNTIME DESTINATION ${VRZ_PROGRAM_DIR})
  install(CODE "
    set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(MAKE_DIRECTORY \"\${bin}\")
    file(CREATE_LINK \"../${VRZ_PROGRAM_DIR}/${target}\" \"\${bin}/${target}\" SYMBOLIC)
    message(STATUS \"Installing: \${bin}/${target} -> ../${VRZ_PROGRAM_DIR}/${target}\")")
endfunction()
