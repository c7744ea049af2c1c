# Tab completion for ziprepair in bash and zsh, in the folders where those
# shells look for completions of installed programs.
install(FILES ${PROJECT_SOURCE_DIR}/resources/completion/ziprepair.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME ziprepair COMPONENT cli)
install(FILES ${PROJECT_SOURCE_DIR}/resources/completion/_ziprepair
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions COMPONENT cli)
