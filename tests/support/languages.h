#pragma once

#include <cstdint>

namespace quantaro::test {

/** A language module of the program folder: its code, file, the device language that chooses it (its
 *  string 92) and the name the language window lists. */
struct Language
{
    const char* code;
    const char* module;
    uint16_t deviceLanguage;
    const char* name;
};

inline constexpr Language kLanguages[] = {
    {"en", "quantaro_en.so", 0x0409, "English"},
    {"fr", "quantaro_fr.so", 0x040C, "Français"},
    {"de", "quantaro_de.so", 0x0407, "Deutsch"},
    {"ja", "quantaro_ja.so", 0x0411, "日本語"},
};

} // namespace quantaro::test
