# Turns a list of color names (six hexadecimal digits, a space, the name; "#" starts a comment)
# into a C++ table, so that the program reads no file and parses nothing to name a color.
# cmake -DINPUT=list.txt -DOUTPUT=table.inc -P ColorNamesTable.cmake
file(STRINGS ${INPUT} lines)
set(table "// Generated from ${INPUT}; do not edit.\n")
foreach(line IN LISTS lines)
    if(line MATCHES "^([0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F]) ([a-z0-9 '/-]+)$")
        string(APPEND table "{0x${CMAKE_MATCH_1}, \"${CMAKE_MATCH_2}\"},\n")
    elseif(NOT line MATCHES "^#")
        message(FATAL_ERROR "${INPUT}: not a color name: ${line}")
    endif()
endforeach()
file(WRITE ${OUTPUT} "${table}")
