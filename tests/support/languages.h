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
    {"es", "quantaro_es.so", 0x0C0A, "Español"},
    {"pt", "quantaro_pt.so", 0x0416, "Português (Brasil)"},
    {"it", "quantaro_it.so", 0x0410, "Italiano"},
    {"nl", "quantaro_nl.so", 0x0413, "Nederlands"},
    {"ru", "quantaro_ru.so", 0x0419, "Русский"},
    {"uk", "quantaro_uk.so", 0x0422, "Українська"},
    {"pl", "quantaro_pl.so", 0x0415, "Polski"},
    {"tr", "quantaro_tr.so", 0x041F, "Türkçe"},
    {"zh", "quantaro_zh.so", 0x0804, "简体中文"},
    {"ja", "quantaro_ja.so", 0x0411, "日本語"},
};

} // namespace quantaro::test
