# The Exec values that start an installed program by its absolute path. Desktops refuse an entry
# whose program they cannot find, and a bare name is looked up on PATH only: a prefix whose bin is
# not on PATH would otherwise lose the launcher, and the search provider with it.

# A path as one word of the shell-like Exec lines of desktop entries and D-Bus service files:
# as it is when it holds only letters, digits and "/._+-", else in double quotes, inside which
# '"', '`', '$' and '\' take a backslash.
function(quantaro_exec_word path out_var)
    set(word "${path}")
    if(NOT word MATCHES "^[A-Za-z0-9/._+-]+$")
        string(REPLACE "\\" "\\\\" word "${word}")
        string(REPLACE "\"" "\\\"" word "${word}")
        string(REPLACE "`" "\\`" word "${word}")
        string(REPLACE "$" "\\$" word "${word}")
        set(word "\"${word}\"")
    endif()
    set(${out_var} "${word}" PARENT_SCOPE)
endfunction()

# The same word as a desktop entry's Exec value, whose own escapes double every backslash and whose
# field codes make every '%' a '%%'.
function(quantaro_desktop_exec path out_var)
    quantaro_exec_word("${path}" word)
    string(REPLACE "\\" "\\\\" word "${word}")
    string(REPLACE "%" "%%" word "${word}")
    set(${out_var} "${word}" PARENT_SCOPE)
endfunction()
