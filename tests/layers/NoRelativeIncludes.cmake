# cmake -DSOURCE_DIR=<src> -P NoRelativeIncludes.cmake
# Fails, naming the lines, when a source under SOURCE_DIR includes a file by a path that
# climbs out of its folder.
file(GLOB_RECURSE sources ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
set(found "")
foreach(source IN LISTS sources)
    file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^\">]*\\.\\./")
    foreach(line IN LISTS lines)
        file(RELATIVE_PATH name ${SOURCE_DIR} ${source})
        string(APPEND found "\n  ${name}: ${line}")
    endforeach()
endforeach()
if(found)
    message(FATAL_ERROR "Includes that leave their folder:${found}")
endif()
