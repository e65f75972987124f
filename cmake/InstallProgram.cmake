# velmora_install_program(TARGET)
#
# Installs the program TARGET into the binary folder and its manual page, TARGET.1 beside
# the CMakeLists.txt that calls this, gzipped into section 1 of the manual. Every program
# that the package carries is installed this way, with one line after its add_executable().
function(velmora_install_program target)
    set(page ${CMAKE_CURRENT_SOURCE_DIR}/${target}.1)
    if(NOT EXISTS ${page})
        message(FATAL_ERROR "${target} is installed, so it needs its manual page ${page}")
    endif()
    set(gz ${CMAKE_BINARY_DIR}/man/${target}.1.gz)
    # -n leaves out the name and time stamp, so the same page gives the same file.
    add_custom_command(
        OUTPUT ${gz}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
        COMMAND sh -c "gzip -9 -n -c \"$1\" > \"$2\"" sh ${page} ${gz}
        DEPENDS ${page}
        COMMENT "Compressing the manual page of ${target}"
        VERBATIM)
    add_custom_target(${target}-manpage ALL DEPENDS ${gz})
    install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
