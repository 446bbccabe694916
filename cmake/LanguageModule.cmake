# quantaro_add_language_module(<target>
#     OUTPUT_NAME <file name without suffix>
#     LANGUAGE <the language's own name>
#     RESOURCES <folder with strings.json, dialogs/, menus/, bitmaps/, icons/>
#     [UNIT_FILE <unit file copied beside the module>]
#     [LEXICON <compiled lexicon, bundled as lexicon.txt>]
#     [FIRST_PAIRS <table of the pairs categories open with, bundled as firstpairs.txt>]
#     [KEY <identity string>]            default: the program's identity string
#     [OUTPUT_DIRECTORY <folder>]        default: the program folder
#     [NO_KEY_EXPORT] [NO_LANGUAGE_EXPORT] [NO_INSTALL])
#
# Builds a language module: a shared library without Qt that exports GetModuleKey, GetLanguage
# and GetResourceBundle. The resources are compiled by rcc into a binary bundle with a root that
# is unique to the module and embedded into the library.
# The identity text the modules and the program compare: it names the program's version.
set(QUANTARO_MODULE_IDENTITY "Quantaro Language DLL #${PROJECT_VERSION}")
set(QUANTARO_LANGUAGE_MODULE_DIR ${CMAKE_CURRENT_LIST_DIR})

function(quantaro_add_language_module target)
    cmake_parse_arguments(ARG "NO_KEY_EXPORT;NO_LANGUAGE_EXPORT;NO_INSTALL"
        "OUTPUT_NAME;LANGUAGE;RESOURCES;UNIT_FILE;LEXICON;FIRST_PAIRS;KEY;OUTPUT_DIRECTORY" "" ${ARGN})
    if(NOT ARG_OUTPUT_NAME)
        set(ARG_OUTPUT_NAME ${target})
    endif()
    if(NOT DEFINED ARG_KEY)
        set(ARG_KEY "${QUANTARO_MODULE_IDENTITY}")
    endif()
    if(NOT ARG_OUTPUT_DIRECTORY)
        set(ARG_OUTPUT_DIRECTORY ${QUANTARO_PROGRAM_DIR})
    endif()
    get_filename_component(resources "${ARG_RESOURCES}" ABSOLUTE)

    set(work ${CMAKE_CURRENT_BINARY_DIR}/${target}_module)
    string(MAKE_C_IDENTIFIER "qlm_${target}" root)

    file(GLOB_RECURSE files CONFIGURE_DEPENDS LIST_DIRECTORIES false "${resources}/*")
    set(entries "")
    foreach(file IN LISTS files)
        file(RELATIVE_PATH alias "${resources}" "${file}")
        string(APPEND entries "        <file alias=\"${alias}\">${file}</file>\n")
    endforeach()
    if(ARG_LEXICON)
        string(APPEND entries "        <file alias=\"lexicon.txt\">${ARG_LEXICON}</file>\n")
        list(APPEND files ${ARG_LEXICON})
    endif()
    if(ARG_FIRST_PAIRS)
        string(APPEND entries "        <file alias=\"firstpairs.txt\">${ARG_FIRST_PAIRS}</file>\n")
        list(APPEND files ${ARG_FIRST_PAIRS})
    endif()
    file(CONFIGURE OUTPUT ${work}/bundle.qrc CONTENT
        "<!DOCTYPE RCC><RCC version=\"1.0\">\n    <qresource>\n${entries}    </qresource>\n</RCC>\n")

    # Stored uncompressed: the program reads its templates and pictures straight from the mapped
    # library instead of inflating each into a heap copy at every start (a bigger module on disk for
    # less time and memory at start-up).
    add_custom_command(OUTPUT ${work}/bundle.rcc
        COMMAND Qt6::rcc --binary --no-compress --root /${root} --output ${work}/bundle.rcc ${work}/bundle.qrc
        DEPENDS ${files} ${work}/bundle.qrc
        COMMENT "Bundling resources of language module ${ARG_OUTPUT_NAME}")

    set(MODULE_KEY "${ARG_KEY}")
    set(MODULE_LANGUAGE "${ARG_LANGUAGE}")
    set(MODULE_ROOT "${root}")
    set(MODULE_EXPORT_KEY 1)
    set(MODULE_EXPORT_LANGUAGE 1)
    if(ARG_NO_KEY_EXPORT)
        set(MODULE_EXPORT_KEY 0)
    endif()
    if(ARG_NO_LANGUAGE_EXPORT)
        set(MODULE_EXPORT_LANGUAGE 0)
    endif()
    set(MODULE_BUNDLE "${work}/bundle.rcc")
    configure_file(${QUANTARO_LANGUAGE_MODULE_DIR}/module_config.h.in ${work}/module_config.h @ONLY)
    configure_file(${QUANTARO_LANGUAGE_MODULE_DIR}/module_bundle.S.in ${work}/module_bundle.S @ONLY)
    set_source_files_properties(${work}/module_bundle.S PROPERTIES OBJECT_DEPENDS ${work}/bundle.rcc)

    add_library(${target} MODULE
        ${QUANTARO_LANGUAGE_MODULE_DIR}/language_module.cpp
        ${work}/module_bundle.S
        ${work}/bundle.rcc)
    target_include_directories(${target} PRIVATE ${work})
    set_target_properties(${target} PROPERTIES
        PREFIX ""
        OUTPUT_NAME ${ARG_OUTPUT_NAME}
        LIBRARY_OUTPUT_DIRECTORY ${ARG_OUTPUT_DIRECTORY}
        CXX_VISIBILITY_PRESET hidden)

    if(ARG_UNIT_FILE)
        get_filename_component(unit_file "${ARG_UNIT_FILE}" ABSOLUTE)
        get_filename_component(unit_name "${unit_file}" NAME)
        add_custom_command(OUTPUT ${ARG_OUTPUT_DIRECTORY}/${unit_name}
            COMMAND ${CMAKE_COMMAND} -E copy_if_different ${unit_file} ${ARG_OUTPUT_DIRECTORY}/${unit_name}
            DEPENDS ${unit_file}
            COMMENT "Placing unit file ${unit_name}")
        add_custom_target(${target}_units ALL DEPENDS ${ARG_OUTPUT_DIRECTORY}/${unit_name})
        add_dependencies(${target} ${target}_units)
        if(NOT ARG_NO_INSTALL)
            install(FILES ${unit_file} DESTINATION ${QUANTARO_INSTALL_DIR})
        endif()
    endif()
    if(NOT ARG_NO_INSTALL)
        install(TARGETS ${target} LIBRARY DESTINATION ${QUANTARO_INSTALL_DIR})
    endif()
endfunction()
