# What the generators of lang/units share: reading a tab-separated table into a CMake list of its
# lines, and failing the build at a line of it.

# Unit files separate fields with ";", which is also CMake's list separator, and brackets group
# list items: stand-ins keep every table line one list item until the file is written.
string(ASCII 1 semicolon_stand_in)
string(ASCII 2 open_bracket_stand_in)
string(ASCII 3 close_bracket_stand_in)

# Reads a table into a list of its lines (stand-ins in place, carriage returns removed).
function(read_table path out_var)
    if(NOT EXISTS "${path}")
        message(FATAL_ERROR "Table ${path} does not exist")
    endif()
    file(READ "${path}" text)
    if(text MATCHES "${semicolon_stand_in}|${open_bracket_stand_in}|${close_bracket_stand_in}")
        message(FATAL_ERROR "${path} holds control characters")
    endif()
    string(REPLACE ";" "${semicolon_stand_in}" text "${text}")
    string(REPLACE "[" "${open_bracket_stand_in}" text "${text}")
    string(REPLACE "]" "${close_bracket_stand_in}" text "${text}")
    string(REPLACE "\r" "" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(${out_var} "${lines}" PARENT_SCOPE)
endfunction()

function(fail_at path line_number what)
    message(FATAL_ERROR "${path}:${line_number}: ${what}")
endfunction()
