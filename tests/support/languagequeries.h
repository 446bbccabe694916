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
    {"quantaro_zh.so", "10公里等于多少英里", "6.2137119 mi"},
    {"quantaro_ja.so", "10キロは何マイルですか", "6.2137119 mi"},
    {"quantaro_es.so", "10 kilómetros a millas", "6.2137119 mi"},
    {"quantaro_pt.so", "10 quilômetros em milhas", "6.2137119 mi"},
    {"quantaro_it.so", "10 chilometri in miglia", "6.2137119 mi"},
    {"quantaro_nl.so", "10 kilometer naar mijl", "6.2137119 mi"},
    {"quantaro_ru.so", "10 километров в мили", "6.2137119 mi"},
    {"quantaro_uk.so", "10 кілометрів у милі", "6.2137119 mi"},
};

} // namespace quantaro::test
