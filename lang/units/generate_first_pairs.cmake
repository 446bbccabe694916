# Writes one language's table of first pairs (the module's firstpairs.txt) from the shared table of
# first pairs, the factor table, the language's unit names and the territories' currencies.
#
#   cmake -DFACTORS=<factors.tsv> -DNAMES=<unitnames.tsv> -DPAIRS=<firstpairs.tsv>
#         -DCURRENCIES=<territory_currencies.tsv> -DOUTPUT=<firstpairs.txt> -P generate_first_pairs.cmake
#
# Output, one row a line, tab-separated: category code, sub-category number (empty for a category
# without them), region, the source unit's name, the target unit's name; then "@", territory and
# currency code for each territory. A key the factors do not have, or one of another category or
# sub-category than its row names, fails the build.
cmake_minimum_required(VERSION 3.25)

foreach(input IN ITEMS FACTORS NAMES PAIRS CURRENCIES OUTPUT)
    if(NOT DEFINED ${input})
        message(FATAL_ERROR "generate_first_pairs.cmake: -D${input}=... is required")
    endif()
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/tables.cmake)

read_table("${NAMES}" name_lines)
foreach(line IN LISTS name_lines)
    if(line MATCHES "^([a-z0-9_.]+)\t([^\t]+)$")
        set(name_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
    endif()
endforeach()

# Each key's category and tag.
read_table("${FACTORS}" factor_lines)
foreach(line IN LISTS factor_lines)
    if(line MATCHES "^([a-z0-9_.]+)\t([A-Z]+)\t[^\t]+\t[^\t]+(\t([^\t]+)|\t([^\t]*)\t[^\t]+)?$")
        set(code_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
        set(tag_${CMAKE_MATCH_1} "${CMAKE_MATCH_4}${CMAKE_MATCH_5}")
    endif()
endforeach()

set(content "# Written by the build from lang/units/firstpairs.tsv; see there.\n")
read_table("${PAIRS}" pair_lines)
set(line_number 0)
foreach(line IN LISTS pair_lines)
    math(EXPR line_number "${line_number} + 1")
    if(line STREQUAL "" OR line MATCHES "^#")
        continue()
    endif()
    if(NOT line MATCHES "^([A-Z]+)(\\.([0-9]))?\t(\\*|[A-Z][A-Z])\t([a-z0-9_.]+)\t([a-z0-9_.]+)$")
        fail_at("${PAIRS}" ${line_number} "expected category[.sub-category], region (* or a territory), two unit keys")
    endif()
    set(code "${CMAKE_MATCH_1}")
    set(sub "${CMAKE_MATCH_3}")
    set(region "${CMAKE_MATCH_4}")
    set(keys "${CMAKE_MATCH_5}" "${CMAKE_MATCH_6}")
    if(DEFINED row_${code}_${sub}_${region})
        fail_at("${PAIRS}" ${line_number} "a second row for ${code}${CMAKE_MATCH_2} in region ${region}")
    endif()
    set(row_${code}_${sub}_${region} TRUE)
    set(names "")
    foreach(key IN LISTS keys)
        if(NOT DEFINED code_${key} OR NOT DEFINED name_${key})
            fail_at("${PAIRS}" ${line_number} "no unit has the key ${key}")
        endif()
        if(NOT code_${key} STREQUAL code)
            fail_at("${PAIRS}" ${line_number} "${key} is a unit of ${code_${key}}, not of ${code}")
        endif()
        # A category with sub-categories tags each unit with its sub-category's digit.
        if(tag_${key} MATCHES "^[0-9]$")
            set(unit_sub "${tag_${key}}")
        else()
            set(unit_sub "")
        endif()
        if(NOT unit_sub STREQUAL sub)
            fail_at("${PAIRS}" ${line_number} "${key} is not listed under sub-category \"${sub}\" of ${code}")
        endif()
        string(APPEND names "\t${name_${key}}")
    endforeach()
    string(APPEND content "${code}\t${sub}\t${region}${names}\n")
endforeach()

read_table("${CURRENCIES}" currency_lines)
set(line_number 0)
foreach(line IN LISTS currency_lines)
    math(EXPR line_number "${line_number} + 1")
    if(line STREQUAL "" OR line MATCHES "^#")
        continue()
    endif()
    # The territory's main currency; the others in tender there follow in a third column.
    if(NOT line MATCHES "^([A-Z][A-Z])\t([A-Z][A-Z][A-Z])(\t[A-Z][A-Z][A-Z]( [A-Z][A-Z][A-Z])*)?$")
        fail_at("${CURRENCIES}" ${line_number} "expected a territory and its currency codes")
    endif()
    string(APPEND content "@\t${CMAKE_MATCH_1}\t${CMAKE_MATCH_2}\n")
endforeach()

string(REPLACE "${semicolon_stand_in}" ";" content "${content}")
string(REPLACE "${open_bracket_stand_in}" "[" content "${content}")
string(REPLACE "${close_bracket_stand_in}" "]" content "${content}")
# Written beside and renamed, so that a build stopped half-way never leaves a cut file behind.
file(WRITE "${OUTPUT}.part" "${content}")
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
