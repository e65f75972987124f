# velmora_source_lines(<file> <out>): the file's lines as a list, one element a line (empty
# lines kept), with the characters that a CMake list would read as its own (";", "[", "]",
# "\") replaced by ",", "<", ">" and "/".
function(velmora_source_lines file out)
    file(READ ${file} text)
    string(REPLACE ";" "," text "${text}")
    string(REPLACE "[" "<" text "${text}")
    string(REPLACE "]" ">" text "${text}")
    string(REPLACE "\\" "/" text "${text}")
    string(REPLACE "\n" ";" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()
