# Debian packages cut along the install components (scripts/package.sh):
#   vant-repair-zip-cli  ziprepair, its language files, manual page and completion
#   vant-repair-zip      the wizard, its updater and desktop files; needs -cli
# Runtime dependencies come from dpkg-shlibdeps, never from a hand-kept list.

# Each package carries its copyright, changelog and lintian notes under
# share/doc and share/lintian, as Debian wants them.
set(VRZ_CHANGELOG_GZ ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(
  OUTPUT ${VRZ_CHANGELOG_GZ}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
  COMMAND sh -c "gzip -9n < \"$1\" > \"$2\"" sh ${PROJECT_SOURCE_DIR}/packaging/changelog ${VRZ_CHANGELOG_GZ}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
  COMMENT "Compressing the package changelog"
  VERBATIM)
add_custom_target(vrz_package_changelog ALL DEPENDS ${VRZ_CHANGELOG_GZ})

function(vrz_package_docs package component)
  set(doc ${CMAKE_INSTALL_DATADIR}/doc/${package})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${VRZ_CHANGELOG_GZ} DESTINATION ${doc} COMPONENT ${component})
  set(overrides ${PROJECT_SOURCE_DIR}/packaging/lintian/${package})
  if(EXISTS ${overrides})
    install(FILES ${overrides} DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides COMPONENT ${component})
  endif()
endfunction()

vrz_package_docs(vant-repair-zip-cli cli)
# The damaged example, so an installed system can try a repair at once.
install(FILES ${PROJECT_SOURCE_DIR}/examples/damaged.zip
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vant-repair-zip-cli/examples COMPONENT cli)
if(VRZ_BUILD_GUI)
  vrz_package_docs(vant-repair-zip wizard)
  set(CPACK_COMPONENTS_ALL cli wizard)
else()
  set(CPACK_COMPONENTS_ALL cli)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vant-repair-zip)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vant Repair Zip developers")
set(CPACK_PACKAGE_CONTACT "The Vant Repair Zip developers <vant-repair-zip@users.noreply.github.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
# The build tree is RelWithDebInfo; the packages get the same programs, stripped.
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE vant-repair-zip)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VRZ_PROJECT_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_CLI_PACKAGE_NAME vant-repair-zip-cli)
set(CPACK_DEBIAN_CLI_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_CLI_DESCRIPTION
    "recover the files of a damaged ZIP or ZIPX archive (command line)
ziprepair finds the files stored in a damaged ZIP or ZIPX archive, single or
split into parts, by searching its bytes for local file headers instead of
trusting the archive's central directory. It copies every entry it finds,
unchanged, into a new archive with a freshly built central directory, and
reports which entries are intact, damaged or could not be checked.
.
This package holds the command-line program alone; vant-repair-zip adds the
step-by-step window.")

set(CPACK_DEBIAN_WIZARD_PACKAGE_NAME vant-repair-zip)
set(CPACK_DEBIAN_WIZARD_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_WIZARD_DEPENDS cli)
# Help pages and the project page open in the desktop's browser; the toolkit
# falls back to sensible-browser, a program (not a library, so dpkg-shlibdeps
# cannot see it). The library dependencies are added to this by dpkg-shlibdeps.
set(CPACK_DEBIAN_WIZARD_PACKAGE_DEPENDS "sensible-utils")
set(CPACK_DEBIAN_WIZARD_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_COMPONENT_WIZARD_DESCRIPTION
    "recover the files of a damaged ZIP or ZIPX archive
Vant Repair Zip rescues the files of ZIP and ZIPX archives that no longer
open: downloads that were cut off, archives whose table of contents was
overwritten, split archives with a part that went bad. It searches the
damaged bytes for the stored files and copies every file it finds,
unchanged, into a new archive that ordinary archive tools can open again.
.
A window guides you through four steps: choose the archive, let it search,
look through the files found, save the repaired copy. The damaged archive
is only read, never changed.")

include(CPack)
