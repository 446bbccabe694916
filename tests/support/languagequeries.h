#pragma once

namespace quantaro::test {

/** A query as the people of a module's language type it, and the answer the terminal tool prints and
 *  the desktop search shows for it. */
struct LanguageQuery
{
    const char* module;
    const char* query;
    const char* answer;
};

inline constexpr LanguageQuery kLanguageQueries[] = {
    {"quantaro_en.so", "10 miles to km", "16.09344 km"},
    {"quantaro_fr.so", "10 kilomètres en miles", "6.2137119 mi"},
    {"quantaro_de.so", "10 Kilometer in Meilen", "6.2137119 mi"},
    {"quantaro_pl.so", "10 kilometrów na mile", "6.2137119 mi"},
    {"quantaro_tr.so", "10 kilometre kaç mil", "6.2137119 mi"},
    {"quantaro_zh.so", "10 公里 等于多少 英里", "6.2137119 mi"},
    {"quantaro_ja.so", "10 キロメートル は マイル", "6.2137119 mi"},
};

} // namespace quantaro::test
