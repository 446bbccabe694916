# Writes one language's unit file from the shared factor table and that language's unit names.
#
#   cmake -DFACTORS=<factors.tsv> -DNAMES=<unitnames.tsv> -DOUTPUT=<quantaro_xx.dat> -P generate_unit_file.cmake
#
# factors.tsv: one row per unit, tab-separated: key, category code, fromBase, toBase[, tag[, GNU units reference]].
#   Lines beginning with "*" are copied into the unit file as they stand (the unit file's comments);
#   lines beginning with "#" and blank lines are the table's own and are dropped.
# unitnames.tsv: key, tab, the unit's display name; "#" lines and blank lines are dropped.
#
# Every key of the factor table needs a name, and every name a key: a language whose table has
# fallen behind the factors fails the build instead of shipping a file with holes in it.
cmake_minimum_required(VERSION 3.25)

foreach(input IN ITEMS FACTORS NAMES OUTPUT)
    if(NOT DEFINED ${input})
        message(FATAL_ERROR "generate_unit_file.cmake: -D${input}=... is required")
    endif()
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/tables.cmake)

# The names: name_<key> for each key.
read_table("${NAMES}" name_lines)
set(line_number 0)
set(named_keys "")
foreach(line IN LISTS name_lines)
    math(EXPR line_number "${line_number} + 1")
    if(line STREQUAL "" OR line MATCHES "^#")
        continue()
    endif()
    if(NOT line MATCHES "^([a-z0-9_.]+)\t([^\t]+)$")
        fail_at("${NAMES}" ${line_number} "expected a key, a tab and a name")
    endif()
    set(key "${CMAKE_MATCH_1}")
    set(name "${CMAKE_MATCH_2}")
    if(DEFINED name_${key})
        fail_at("${NAMES}" ${line_number} "key ${key} is named twice")
    endif()
    if(name MATCHES "${semicolon_stand_in}")
        fail_at("${NAMES}" ${line_number} "the name of ${key} holds a \";\", the unit file's field separator")
    endif()
    set(name_${key} "${name}")
    list(APPEND named_keys "${key}")
endforeach()

# The factors, in the order of the unit file.
read_table("${FACTORS}" factor_lines)
set(line_number 0)
set(content "")
set(missing "")
foreach(line IN LISTS factor_lines)
    math(EXPR line_number "${line_number} + 1")
    if(line STREQUAL "" OR line MATCHES "^#")
        continue()
    endif()
    if(line MATCHES "^\\*")
        string(APPEND content "${line}\n")
        continue()
    endif()
    # The GNU units reference after the tag is the cross-check's, not the unit file's.
    if(NOT line MATCHES "^([a-z0-9_.]+)\t([A-Z]+)\t([^\t]+)\t([^\t]+)(\t([^\t]+)|\t([^\t]*)\t[^\t]+)?$")
        fail_at("${FACTORS}" ${line_number} "expected key, code, fromBase, toBase, an optional tag and an optional reference, tab-separated")
    endif()
    set(key "${CMAKE_MATCH_1}")
    set(fields "${CMAKE_MATCH_2}${semicolon_stand_in}")
    set(formulas "${CMAKE_MATCH_3}${semicolon_stand_in}${CMAKE_MATCH_4}")
    set(tag "${CMAKE_MATCH_6}${CMAKE_MATCH_7}")
    # A person edits the currency rates in a field of digits and points, which would mangle an
    # exponent: rates are written in plain decimal notation.
    if(CMAKE_MATCH_2 STREQUAL "CNY" AND NOT formulas MATCHES "^\\$([*/][0-9.]+)?${semicolon_stand_in}\\$([*/][0-9.]+)?$")
        fail_at("${FACTORS}" ${line_number} "the rate of ${key} is not in plain decimal notation")
    endif()
    if(DEFINED seen_${key})
        fail_at("${FACTORS}" ${line_number} "key ${key} is used twice")
    endif()
    set(seen_${key} TRUE)
    if(NOT DEFINED name_${key})
        list(APPEND missing "${key}")
        continue()
    endif()
    string(APPEND content "${fields}${name_${key}}${semicolon_stand_in}${formulas}")
    if(NOT tag STREQUAL "")
        string(APPEND content "${semicolon_stand_in}${tag}")
    endif()
    string(APPEND content "\n")
endforeach()

if(missing)
    list(LENGTH missing count)
    list(JOIN missing ", " missing_text)
    message(FATAL_ERROR "${NAMES} has no name for ${count} unit(s) of ${FACTORS}: ${missing_text}")
endif()
set(unknown "")
foreach(key IN LISTS named_keys)
    if(NOT DEFINED seen_${key})
        list(APPEND unknown "${key}")
    endif()
endforeach()
if(unknown)
    list(JOIN unknown ", " unknown_text)
    message(FATAL_ERROR "${NAMES} names unit(s) that ${FACTORS} does not have: ${unknown_text}")
endif()

string(REPLACE "${semicolon_stand_in}" ";" content "${content}")
string(REPLACE "${open_bracket_stand_in}" "[" content "${content}")
string(REPLACE "${close_bracket_stand_in}" "]" content "${content}")
# Written beside and renamed, so that a build stopped half-way never leaves a cut file behind.
file(WRITE "${OUTPUT}.part" "${content}")
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
