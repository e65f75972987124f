cmake_minimum_required(VERSION 3.20)
# cmake -DROOT=<folder> [-DFOLDERS="src;tools"] -P SplicedValues.cmake
# Values reach SQL bound to markers (?1, ?2, ...). A value is written into the text with
# quoteJetLiteral only where the text itself is fixed word for word and the screens, reports
# and stored files rely on it; those functions are listed here, each with its reason. Fails,
# naming file and function, on any other use outside the engine (src/data, whose translator
# writes the literals of the statements it reads).
if(NOT FOLDERS)
    set(FOLDERS src tools)
endif()

set(allowed
    # The sample list the oil screen reads: its text is the grid's record source.
    "src/oil/OilSamples.cpp:sampleListQuery"
    # The components of an aircraft kept for oil analysis, the second chooser's list.
    "src/oil/OilSamples.cpp:oilComponentsQuery"
    # The remaining-life query: stored in the file under its name and read by the reports.
    "src/remaining/RemainingLifeQuery.cpp:remainingLifeSql"
    # The selection formula handed to the report files ({Remaining.Aircraft.RegNum} = '...').
    "src/reports/ReportSelection.cpp:selectionFormulaFor"
    # The criterion the aircraft choosers find a registration with.
    "src/screens/common/AircraftChooser.cpp:registrationCriterion"
    # The template library's read of one model, the same text for reading and saving.
    "src/aircraft/TemplateLibrary.cpp:templateReadSql"
    # The component grid's record source on the aircraft screen.
    "src/aircraft/ComponentListQuery.cpp:componentListSql"
    # The probe that shows this check finds a use (tests/layers/probes).
    "probes/SplicedValue.cpp:allowedQuery")

include(${CMAKE_CURRENT_LIST_DIR}/SourceLines.cmake)

set(found "")
foreach(folder IN LISTS FOLDERS)
    file(GLOB_RECURSE sources ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
    foreach(source IN LISTS sources)
        file(RELATIVE_PATH name ${ROOT} ${source})
        if(name MATCHES "^src/data/")
            continue()
        endif()
        velmora_source_lines(${source} lines)
        set(function "")
        set(number 0)
        foreach(line IN LISTS lines)
            math(EXPR number "${number} + 1")
            # A definition begins at the left margin: "QString name(...".
            if(line MATCHES "^[A-Za-z_][^=(]*[ *&]([A-Za-z_][A-Za-z0-9_:]*)\\(")
                set(function ${CMAKE_MATCH_1})
            endif()
            if(line MATCHES "quoteJetLiteral\\(" AND NOT line MATCHES "^[ \t]*//")
                if(NOT "${name}:${function}" IN_LIST allowed)
                    string(APPEND found "\n  ${name}:${number} (in ${function})")
                endif()
            endif()
        endforeach()
    endforeach()
endforeach()
if(found)
    message(FATAL_ERROR "Values written into SQL text instead of bound (bind them to ?1, ?2, "
                        "...; or list the fixed text in tests/layers/SplicedValues.cmake):"
                        "${found}")
endif()
