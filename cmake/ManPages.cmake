# Manual pages: written in scdoc (docs/man/*.scd), turned into roff and
# compressed at build time, installed with the program they describe.
find_program(VRZ_SCDOC scdoc)
if(NOT VRZ_SCDOC)
  message(STATUS "scdoc not found: the manual pages are not built (scripts/deps.sh installs it)")
  return()
endif()

# vrz_man_page(NAME SECTION COMPONENT): docs/man/NAME.SECTION.scd -> man/NAME.SECTION.gz
function(vrz_man_page name section component)
  set(source ${PROJECT_SOURCE_DIR}/docs/man/${name}.${section}.scd)
  set(roff ${PROJECT_BINARY_DIR}/man/${name}.${section})
  add_custom_command(
    OUTPUT ${roff}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    # -n keeps the time stamp out, so the same page compresses to the same bytes.
    COMMAND sh -c "\"$1\" < \"$2\" > \"$3\" && gzip -9nf < \"$3\" > \"$3.gz\"" sh ${VRZ_SCDOC} ${source} ${roff}
    DEPENDS ${source}
    COMMENT "Manual page ${name}(${section})"
    VERBATIM)
  add_custom_target(man_${name} ALL DEPENDS ${roff}.gz)
  install(FILES ${roff}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section} COMPONENT ${component})
endfunction()

vrz_man_page(ziprepair 1 cli)
if(VRZ_BUILD_GUI)
  vrz_man_page(vant-repair-zip 1 wizard)
endif()
