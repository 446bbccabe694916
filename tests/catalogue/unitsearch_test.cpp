// The window's unit search finds units by the beginning of any of their words, in every script:
// Chinese and Japanese words are found without spaces, kana keep their voicing marks, half-width
// kana and Turkish capitals find what the usual forms do.
#include "catalogue/lexicon.h"
#include "catalogue/rubric.h"
#include "catalogue/unitrecord.h"
#include "catalogue/unitsearch.h"

#include <gtest/gtest.h>

using namespace quantaro;

namespace {

TEST(UnitSearchTest, FindsWordsOfEveryScriptByTheirBeginning)
{
    Rubric rubric;
    rubric.setCode(QStringLiteral("LEN"));
    const QStringList names = {"kilometre (km)", "mile (mi)", "gallon (gal)",
                               "calorie (cal)",  "inch (in)", "metre (m)"};
    for (const QString& name : names) {
        UnitRecord unit;
        unit.setName(name);
        rubric.addUnit(unit);
    }
    const Lexicon lexicon = Lexicon::fromText("LEN\tkilometre (km)\t\t公里|キロメートル|километр\n"
                                              "LEN\tmile (mi)\t\t英里|マイル\n"
                                              "LEN\tgallon (gal)\t\tガロン\n"
                                              "LEN\tcalorie (cal)\t\tカロリー\n"
                                              "LEN\tinch (in)\t\tinç|дюйм\n"
                                              "LEN\tmetre (m)\t\t米|メートル\n");
    UnitSearchIndex index(rubric);
    index.addWords(rubric, lexicon);
    const struct
    {
        const char* typed;
        QStringList found;
    } cases[] = {
        {"公", {"kilometre (km)"}},   {"キロ", {"kilometre (km)"}},
        {"ｷﾛ", {"kilometre (km)"}}, // half-width kana
        {"ガ", {"gallon (gal)"}},   // the voicing mark tells "ガ" from "カ"
        {"カ", {"calorie (cal)"}},    {"メートル", {"kilometre (km)", "metre (m)"}},
        {"КИЛО", {"kilometre (km)"}}, {"İNÇ", {"inch (in)"}},
    };
    for (const auto& c : cases) {
        const QString key = searchKey(QString::fromUtf8(c.typed));
        QStringList found;
        for (int u = 0; u < rubric.unitCount(); ++u) {
            if (index.matches(u, key)) {
                found.append(rubric.unit(u).name());
            }
        }
        EXPECT_EQ(found, c.found) << c.typed;
    }
}

} // namespace
