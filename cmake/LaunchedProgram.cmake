# velmora_launched_program(<target> [DATA_OPTION <option>] SOURCES <file>... LIBRARIES <lib>...)
# A command-line program as a launcher and a module: the module holds the program (its main
# and what it links), the launcher <target> starts connecting to the data set's server and
# then loads the module (src/start/launcher). DATA_OPTION names the option that gives the data
# path; without it, the data file is the first word that is no option. The module is
# lib/<triplet>/velmora/<target>.so beside the bin folder, as built and as installed.
set(VELMORA_PROGRAM_DIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/velmora)
if(NOT CMAKE_LIBRARY_ARCHITECTURE)
    set(VELMORA_PROGRAM_DIR lib/velmora)
endif()

function(velmora_launched_program target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "DATA_OPTION" "SOURCES;LIBRARIES")
    add_library(${target}-program MODULE ${arg_SOURCES})
    set_target_properties(${target}-program PROPERTIES PREFIX "" OUTPUT_NAME ${target}
        LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${VELMORA_PROGRAM_DIR})
    target_link_libraries(${target}-program PRIVATE velmora_warnings ${arg_LIBRARIES})
    target_link_options(${target}-program PRIVATE -Wl,--no-undefined)
    install(TARGETS ${target}-program LIBRARY DESTINATION ${VELMORA_PROGRAM_DIR})

    add_executable(${target} ${PROJECT_SOURCE_DIR}/src/start/launcher/Launcher.cpp)
    target_compile_definitions(${target} PRIVATE VELMORA_PROGRAM="${target}"
        VELMORA_PROGRAM_DIR="${VELMORA_PROGRAM_DIR}")
    if(arg_DATA_OPTION)
        target_compile_definitions(${target} PRIVATE VELMORA_DATA_OPTION="${arg_DATA_OPTION}")
    endif()
    target_link_libraries(${target} PRIVATE velmora_warnings velmora_start ${CMAKE_DL_LIBS})
    # The module finds velmora_take_early_connection in the launcher.
    target_link_options(${target} PRIVATE -Wl,--export-dynamic-symbol=velmora_take_early_connection)
    add_dependencies(${target} ${target}-program)
endfunction()
