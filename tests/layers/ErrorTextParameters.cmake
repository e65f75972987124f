cmake_minimum_required(VERSION 3.20)
# cmake -DROOT=<folder> [-DFOLDERS="src;tools"] -P ErrorTextParameters.cmake
# A failure is a data::DbError or a value that holds it, not a bool with the text in an
# out-parameter ("bool f(..., QString* error)"). Fails, naming file and function, on
# such a function that is not listed below; the list holds the ones still to be changed and
# only ever shrinks.
if(NOT FOLDERS)
    set(FOLDERS src tools)
endif()

set(waiting
    # The probe that shows this check finds a new one (tests/layers/probes).
    "probes/ErrorText:allowedRead")

set(found "")
foreach(folder IN LISTS FOLDERS)
    file(GLOB_RECURSE sources ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
    foreach(source IN LISTS sources)
        file(RELATIVE_PATH name ${ROOT} ${source})
        string(REGEX REPLACE "\\.(h|cpp)$" "" unit ${name})
        file(READ ${source} text)
        string(REPLACE "[" "<" text "${text}")
        string(REPLACE "]" ">" text "${text}")
        string(REGEX MATCHALL
               "bool[ \t\n]+[A-Za-z_][A-Za-z0-9_:]*[ \t\n]*\\([^;{}()]*QString[ \t\n]*\\*[ \t\n]*[A-Za-z]*([Ee]rror|[Rr]eason|[Pp]roblem|[Ww]hy)[ \t\n,)=]"
               declarations "${text}")
        foreach(declaration IN LISTS declarations)
            string(REGEX MATCH "bool[ \t\n]+([A-Za-z_][A-Za-z0-9_:]*)" head "${declaration}")
            string(REGEX REPLACE "^.*::" "" function "${CMAKE_MATCH_1}")
            if(NOT "${unit}:${function}" IN_LIST waiting)
                string(APPEND found "\n  ${name}: ${function}")
            endif()
        endforeach()
    endforeach()
endforeach()
if(found)
    list(REMOVE_DUPLICATES found)
    message(FATAL_ERROR "Failures reported as bool and a text out-parameter (throw "
                        "data::DbError, or return the failure as a value):${found}")
endif()
