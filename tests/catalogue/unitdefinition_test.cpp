#include "catalogue/rubric.h"
#include "catalogue/unitdefinition.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace quantaro;

namespace {

QStringList allTokens(const QString& text)
{
    QStringList tokens;
    QStringView rest = text;
    while (const auto token = nextToken(rest)) {
        tokens << token->toString();
    }
    return tokens;
}

struct TokenCase
{
    const char* text;
    QStringList tokens;
};

class NextTokenTest : public ::testing::TestWithParam<TokenCase>
{
};

TEST_P(NextTokenTest, RunsOfSeparatorsCountAsOneAndTokensKeepTheirSpaces)
{
    EXPECT_EQ(allTokens(QString::fromUtf8(GetParam().text)), GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(Texts, NextTokenTest,
                         ::testing::Values(TokenCase{"", {}}, TokenCase{";;\n;", {}}, TokenCase{"a", {"a"}},
                                           TokenCase{";a;;b\n\nc;", {"a", "b", "c"}},
                                           TokenCase{" a \t;\rb\r\n", {" a \t", "\rb\r"}}));

struct UnitLineCase
{
    const char* line;
    bool yields;
    const char* code;
    const char* name;
    const char* fromBase;
    const char* toBase;
    const char* tag;
};

class ParseUnitLineTest : public ::testing::TestWithParam<UnitLineCase>
{
};

TEST_P(ParseUnitLineTest, YieldsCodeAndFieldsOrNothing)
{
    const UnitLineCase& c = GetParam();
    const auto line = parseUnitLine(QString::fromUtf8(c.line));
    ASSERT_EQ(line.has_value(), c.yields);
    if (!c.yields) {
        return;
    }
    EXPECT_EQ(line->code, QString::fromUtf8(c.code));
    EXPECT_EQ(line->unit.name(), QString::fromUtf8(c.name));
    EXPECT_EQ(line->unit.fromBase(), QString::fromUtf8(c.fromBase));
    EXPECT_EQ(line->unit.toBase(), QString::fromUtf8(c.toBase));
    EXPECT_EQ(line->unit.tag(), QString::fromUtf8(c.tag));
    EXPECT_FALSE(line->unit.hidden());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseUnitLineTest,
    ::testing::Values(UnitLineCase{"LEN;metre;$;$;0\n", true, "LEN", "metre", "$", "$", "0"},
                      UnitLineCase{"LEN;;metre;$;$", true, "LEN", "metre", "$", "$", ""},
                      UnitLineCase{"len;metre;$;$", true, "len", "metre", "$", "$", ""},
                      UnitLineCase{" LEN;metre;$;$", true, " LEN", "metre", "$", "$", ""},
                      UnitLineCase{"LEN", true, "LEN", "", "", "", ""},
                      UnitLineCase{"LEN;metre\n", true, "LEN", "metre", "", "", ""},
                      UnitLineCase{"LEN;a;b;c;d;extra;more", true, "LEN", "a", "b", "c", "d"},
                      UnitLineCase{"LEN;a;$/1000;$*1000;123456789", true, "LEN", "a", "$/1000", "$*1000", "12345"},
                      UnitLineCase{"*LEN;metre;$;$", false, "", "", "", "", ""},
                      UnitLineCase{"\n", false, "", "", "", "", ""}, UnitLineCase{"\r\n", false, "", "", "", "", ""},
                      UnitLineCase{"", false, "", "", "", "", ""}, UnitLineCase{";;;\n", false, "", "", "", "", ""}));

TEST(ParseUnitLine, CutsLongTextsToTheirWidths)
{
    const QString longName(70, QLatin1Char('n'));
    const QString longFormula = QStringLiteral("$*1") + QString(80, QLatin1Char('0'));
    const auto line = parseUnitLine(QStringLiteral("LEN;%1;%2;%2;EURUSD").arg(longName, longFormula));
    ASSERT_TRUE(line);
    EXPECT_EQ(line->unit.name(), longName.left(63));
    EXPECT_EQ(line->unit.fromBase(), longFormula.left(63));
    EXPECT_EQ(line->unit.toBase(), longFormula.left(63));
    EXPECT_EQ(line->unit.tag(), QStringLiteral("EURUS"));
}

TEST(ParseUnitLine, NeverCutsASurrogatePairInHalf)
{
    // 62 letters and then a character outside the basic plane, which takes two UTF-16 units.
    const QString name = QString(62, QLatin1Char('a')) + QString::fromUcs4(U"\U0001F600");
    const auto line = parseUnitLine(QStringLiteral("LEN;") + name);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->unit.name(), QString(62, QLatin1Char('a')));
}

TEST(ParseUnitLine, ANulEndsTheLine)
{
    const QString text = QStringLiteral("LEN;metre") + QChar(0) + QStringLiteral(";$;$");
    const auto line = parseUnitLine(text);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->unit.name(), QStringLiteral("metre"));
    EXPECT_TRUE(line->unit.fromBase().isEmpty());
    EXPECT_FALSE(parseUnitLine(QChar(0) + QStringLiteral("LEN;metre")));
}

struct RubricCase
{
    const char* text;
    const char* name;
    QStringList sousRubrics;
};

class ParseRubricDefinitionTest : public ::testing::TestWithParam<RubricCase>
{
};

TEST_P(ParseRubricDefinitionTest, FirstTokenNamesTheRubricTheRestItsSousRubrics)
{
    Rubric rubric;
    parseRubricDefinition(QString::fromUtf8(GetParam().text), rubric);
    EXPECT_EQ(rubric.name(), QString::fromUtf8(GetParam().name));
    QStringList names;
    for (int i = 0; i < rubric.sousRubricCount(); ++i) {
        names << rubric.sousRubric(i);
    }
    EXPECT_EQ(names, GetParam().sousRubrics);
    EXPECT_EQ(rubric.hasSousRubrics(), !GetParam().sousRubrics.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Strings, ParseRubricDefinitionTest,
                         ::testing::Values(RubricCase{"Speed", "Speed", {}}, RubricCase{"", "", {}},
                                           RubricCase{";;", "", {}},
                                           RubricCase{"Volume;Liquid;;Dry;", "Volume", {"Liquid", "Dry"}}));

TEST(ParseRubricDefinition, OnlyTheFirst1023CharactersCount)
{
    const QString text = QStringLiteral("Name;") + QString(1018, QLatin1Char('x')) + QStringLiteral("yz");
    Rubric rubric;
    parseRubricDefinition(text, rubric);
    ASSERT_EQ(rubric.sousRubricCount(), 1);
    EXPECT_EQ(rubric.sousRubric(0), QString(1018, QLatin1Char('x')));
}

TEST(Rubric, ClearKeepsTheCodeAndCopyReplacesEverything)
{
    Rubric rubric;
    rubric.setCode(QStringLiteral("LEN"));
    rubric.setName(QStringLiteral("Length"));
    rubric.addSousRubric(QStringLiteral("Metric"));
    UnitRecord unit;
    unit.setName(QStringLiteral("metre"));
    rubric.addUnit(unit);

    Rubric copy;
    copy.setName(QStringLiteral("old"));
    copy = rubric;
    EXPECT_EQ(copy, rubric);
    copy = copy;
    EXPECT_EQ(copy, rubric);

    rubric.clear();
    EXPECT_EQ(rubric.code(), QStringLiteral("LEN"));
    EXPECT_TRUE(rubric.name().isEmpty());
    EXPECT_EQ(rubric.unitCount(), 0);
    EXPECT_FALSE(rubric.hasSousRubrics());
    EXPECT_EQ(copy.unitCount(), 1);
}

TEST(UnitRecord, OnlyTheTagsFirstCharacterPlacesItInASousRubric)
{
    UnitRecord unit;
    EXPECT_FALSE(unit.belongsToSousRubric(0));
    unit.setTag(QStringLiteral("3x"));
    EXPECT_TRUE(unit.belongsToSousRubric(3));
    EXPECT_FALSE(unit.belongsToSousRubric(0));
    unit.setTag(QStringLiteral(":"));
    EXPECT_TRUE(unit.belongsToSousRubric(10));
}

TEST(RubricCodes, AreMatchedWithoutRegardToCase)
{
    EXPECT_EQ(rubricIndexOf(u"CNY"), 0);
    EXPECT_EQ(rubricIndexOf(u"len"), 1);
    EXPECT_EQ(rubricIndexOf(u"tQe"), 19);
    EXPECT_EQ(rubricIndexOf(u"XYZ"), -1);
    EXPECT_EQ(rubricIndexOf(u" LEN"), -1);
    for (const QStringView whole : {u"LE", u"LENX", u"", u"L\u00c9N", u"LEN "}) {
        EXPECT_EQ(rubricIndexOf(whole), -1) << whole.toString().toStdString();
    }
    EXPECT_EQ(rubricCode(19), QStringLiteral("TQE"));
}

} // namespace
