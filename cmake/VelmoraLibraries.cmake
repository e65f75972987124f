# The libraries under src/, one per folder, and the rules that keep their layers apart.
#
# Each library is added with velmora_add_library() and names its layer. The layers, lowest
# first; a library may use the libraries of lower layers only:
#
#   start      start                          what a program needs of a server before it
#                                             loads its libraries (no Qt)
#   engine     data                           the database engine, and the failure type
#                                             (DbError, Failure) every layer reports with
#   io         cli, export                    programs' options and output; CSV and tables
#   files      legacy, backup, utilisation,   what is built on the engine, without widgets
#              reportfiles, oil/limits,       (headless: the main() of the programs that
#              headless                       paint PDFs without a display)
#   history    journal                        the entry journal read back, and the use per
#                                             day derived from it
#   fleet      due                            the fleet's figures, from the files' data
#   register   tasks                          directives and inspection tasks, their
#                                             compliance and next-due figures
#   toolkit    screens/common                 the bound-screen pattern every screen shares
#   parts      entry, reports, journal/screen pieces two screens or a screen and a tool share
#   screens    aircraft, remaining, oil,      one screen and its own logic each
#              due/screen
#   app        app                            start-up, main menu, company set-up
#
# A library's headers are reachable as "<folder>/Header.h" (e.g. "data/Database.h") only by
# the library itself and by what links it: its include root is a folder of the build tree,
# include/<target>/<folder>/, that holds a symbolic link to each header of the library's
# folder (not to the folder: a library in a subfolder, like due/screen, stays apart from the
# one above it). No target has src/ itself as an include folder, so a header of a library
# that is not linked is not found, and a lower layer that includes a higher one does not
# build. velmora_check_layers() makes that a check of its own.
set(VELMORA_LAYERS start engine io files history fleet register toolkit parts screens app)

# Warnings for every target of the project: -Wall -Wextra -Wpedantic, and with the option
# VELMORA_WERROR (scripts/test.sh turns it on) every warning fails the build.
add_library(velmora_warnings INTERFACE)
target_compile_options(velmora_warnings INTERFACE -Wall -Wextra -Wpedantic
                       $<$<BOOL:${VELMORA_WERROR}>:-Werror>)

# velmora_add_library(<target> LAYER <layer> [HEADER_FOLDERS <subfolder>...] SOURCES <file>...)
# A static library of the current folder under src/. HEADER_FOLDERS names subfolders whose
# sources belong to the same library (data/pg): their headers are reachable as
# "<folder>/<subfolder>/Header.h".
function(velmora_add_library target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "LAYER" "SOURCES;HEADER_FOLDERS")
    list(FIND VELMORA_LAYERS "${arg_LAYER}" rank)
    if(rank LESS 0)
        message(FATAL_ERROR "${target}: LAYER must be one of ${VELMORA_LAYERS}, not '${arg_LAYER}'")
    endif()
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
    if(folder MATCHES "^\\.\\." OR folder STREQUAL "")
        message(FATAL_ERROR "${target}: a library lives in a folder under src/")
    endif()

    add_library(${target} STATIC ${arg_SOURCES})
    set(root ${PROJECT_BINARY_DIR}/include/${target})
    file(REMOVE_RECURSE ${root})
    file(MAKE_DIRECTORY ${root}/${folder})
    # A header added later makes the build configure again, which links it.
    file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
         ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    foreach(subfolder IN LISTS arg_HEADER_FOLDERS)
        file(MAKE_DIRECTORY ${root}/${folder}/${subfolder})
        file(GLOB subheaders CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
             ${CMAKE_CURRENT_SOURCE_DIR}/${subfolder}/*.h)
        list(APPEND headers ${subheaders})
    endforeach()
    foreach(header IN LISTS headers)
        file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${root}/${folder}/${header}
             SYMBOLIC RESULT failed)
        if(failed)
            message(FATAL_ERROR "${target}: cannot link ${root}/${folder}/${header}: ${failed}")
        endif()
    endforeach()
    target_include_directories(${target} PUBLIC ${root})
    target_link_libraries(${target} PRIVATE velmora_warnings)
    set_target_properties(${target} PROPERTIES VELMORA_LAYER ${rank} VELMORA_FOLDER ${folder})
    set_property(GLOBAL APPEND PROPERTY VELMORA_LIBRARIES ${target})
endfunction()

# For every library, a source file that fails to compile when the library can reach the
# headers of another library of its own layer or a higher one, or cannot reach its own.
# Built with everything else: a dependency that goes the wrong way fails the build.
function(velmora_check_layers)
    get_property(libraries GLOBAL PROPERTY VELMORA_LIBRARIES)
    foreach(library IN LISTS libraries)
        get_target_property(folder ${library} VELMORA_FOLDER)
        get_target_property(dir ${library} SOURCE_DIR)
        file(GLOB headers RELATIVE ${dir} ${dir}/*.h)
        list(SORT headers)
        list(GET headers 0 header)
        set_property(GLOBAL PROPERTY VELMORA_SAMPLE_${library} "${folder}/${header}")
    endforeach()

    foreach(library IN LISTS libraries)
        get_target_property(rank ${library} VELMORA_LAYER)
        list(GET VELMORA_LAYERS ${rank} layer)
        get_property(own GLOBAL PROPERTY VELMORA_SAMPLE_${library})
        string(CONCAT code
            "// Generated by velmora_check_layers(): what ${library} (${layer}) can include.\n"
            "#if !__has_include(\"${own}\")\n"
            "#error \"${library} does not reach its own headers as ${own}\"\n"
            "#endif\n")
        foreach(other IN LISTS libraries)
            get_target_property(otherRank ${other} VELMORA_LAYER)
            if(other STREQUAL library OR otherRank LESS rank)
                continue()
            endif()
            list(GET VELMORA_LAYERS ${otherRank} otherLayer)
            get_property(sample GLOBAL PROPERTY VELMORA_SAMPLE_${other})
            string(CONCAT code "${code}"
                "#if __has_include(\"${sample}\")\n"
                "#error \"${library} (${layer}) reaches the headers of ${other} (${otherLayer}): "
                "a library uses lower layers only\"\n"
                "#endif\n")
        endforeach()
        set(probe ${PROJECT_BINARY_DIR}/layers/${library}.cpp)
        file(CONFIGURE OUTPUT ${probe} CONTENT "${code}")
        add_library(${library}_layers OBJECT ${probe})
        set_target_properties(${library}_layers PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
        target_link_libraries(${library}_layers PRIVATE ${library} velmora_warnings)
    endforeach()
endfunction()

# Every target the project's folders define, of the types named (e.g. STATIC_LIBRARY).
function(velmora_project_targets out)
    set(found)
    set(pending ${PROJECT_SOURCE_DIR})
    while(pending)
        list(POP_FRONT pending dir)
        get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
        list(APPEND pending ${subdirs})
        get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
        foreach(target IN LISTS targets)
            get_target_property(type ${target} TYPE)
            if(type IN_LIST ARGN)
                list(APPEND found ${target})
            endif()
        endforeach()
    endwhile()
    set(${out} ${found} PARENT_SCOPE)
endfunction()

# Every target of the project compiles with the shared warnings, and none takes src/ (or a
# folder of it) as an include folder: that would let it reach every library's headers.
function(velmora_check_targets)
    velmora_project_targets(targets STATIC_LIBRARY OBJECT_LIBRARY EXECUTABLE)
    foreach(target IN LISTS targets)
        get_target_property(dir ${target} SOURCE_DIR)
        get_target_property(links ${target} LINK_LIBRARIES)
        if(NOT "velmora_warnings" IN_LIST links)
            message(FATAL_ERROR "${target} (in ${dir}) does not link velmora_warnings: add it "
                                "with velmora_add_library(), velmora_test() or link it")
        endif()
        foreach(property INCLUDE_DIRECTORIES INTERFACE_INCLUDE_DIRECTORIES)
            get_target_property(includes ${target} ${property})
            foreach(include IN LISTS includes)
                if(NOT IS_ABSOLUTE "${include}")
                    continue()  # a generator expression or NOTFOUND
                endif()
                file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR}/src "${include}")
                if(NOT relative MATCHES "^\\.\\.")
                    message(FATAL_ERROR "${target} (in ${dir}) includes from ${include}: a "
                                        "library exposes its headers through "
                                        "velmora_add_library() only")
                endif()
            endforeach()
        endforeach()
    endforeach()
endfunction()
