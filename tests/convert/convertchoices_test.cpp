#include "app/settingsstore.h"
#include "catalogue/rubric.h"
#include "convert/convertchoices.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quantaro;

namespace {

Rubric rubricWith(int sousRubrics)
{
    Rubric rubric;
    rubric.setCode(QStringLiteral("LEN"));
    for (int i = 0; i < sousRubrics; ++i) {
        rubric.addSousRubric(QStringLiteral("part %1").arg(i));
    }
    return rubric;
}

} // namespace

// What a window reads of a stored file: values a hand-edited file holds out of range fall back.
TEST(ConvertChoices, ReadsTheStoredChoicesAndMendsThoseOutOfRange)
{
    struct Case
    {
        const char* what;
        int sousRubrics;
        int storedNotation;
        int storedPrecision;
        int storedSousRubric;
        int notation;
        int precision;
        int sousRubric;
    };
    const Case cases[] = {
        {"as stored", 3, 2, 4, 2, 2, 4, 2},
        {"notation past the last", 3, 3, 4, 1, 0, 4, 1},
        {"negative notation", 3, -1, 4, 1, 0, 4, 1},
        {"precision past the last is the last", 3, 1, 99, 0, 1, 10, 0},
        {"negative precision is none", 3, 1, -5, 0, 1, 0, 0},
        {"a sub-category the category lacks", 3, 0, 8, 3, 0, 8, 0},
        {"a negative sub-category", 3, 0, 8, -1, 0, 8, 0},
        {"no sub-categories: the stored one is not read", 0, 1, 2, 2, 1, 2, 0},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        SettingsStore store(dir.filePath(QStringLiteral("q.ini")));
        SettingsChanges stored;
        stored.putInt(settings::kSettings, QStringLiteral("LEN.ViewResult"), c.storedNotation);
        stored.putInt(settings::kSettings, QStringLiteral("LEN.PrecisionResult"), c.storedPrecision);
        stored.putInt(settings::kSettings, QStringLiteral("LEN.CurrentSousRubric"), c.storedSousRubric);
        ASSERT_TRUE(store.write(stored));
        const Rubric rubric = rubricWith(c.sousRubrics);
        ConvertChoices choices(rubric);
        choices.read(store, nullptr);
        EXPECT_EQ(choices.notation(), c.notation) << c.what;
        EXPECT_EQ(choices.precision(), c.precision) << c.what;
        EXPECT_EQ(choices.sousRubric(), c.sousRubric) << c.what;
    }
}

// What a closing window leaves in the file, under the keys earlier versions wrote, and what the
// next opening reads of it.
TEST(ConvertChoices, WritesEveryChoiceUnderItsKeyAndReadsItBack)
{
    struct Case
    {
        const char* what;
        int sousRubrics;
        const char* fromKey;
        const char* toKey;
        const char* recentKey;
        bool storesSousRubric;
    };
    const Case cases[] = {
        {"with sub-categories", 3, "LEN.From.2", "LEN.To.2", "LEN.RecentFrom.2", true},
        {"without", 0, "LEN.From", "LEN.To", "LEN.RecentFrom", false},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        SettingsStore store(dir.filePath(QStringLiteral("q.ini")));
        const Rubric rubric = rubricWith(c.sousRubrics);
        ConvertChoices choices(rubric);
        choices.setNotation(2);
        choices.setPrecision(3);
        if (c.sousRubrics > 0) {
            choices.setSousRubric(2);
        }
        choices.recentPairs().use({QStringLiteral("inch"), QStringLiteral("metre")});
        SettingsChanges changes;
        choices.addAll(changes, QStringLiteral("inch"), QStringLiteral("metre"));
        ASSERT_TRUE(store.write(changes));

        const SettingsStore reread(dir.filePath(QStringLiteral("q.ini")));
        EXPECT_EQ(reread.getInt(settings::kSettings, QStringLiteral("LEN.ViewResult"), -1), 2) << c.what;
        EXPECT_EQ(reread.getInt(settings::kSettings, QStringLiteral("LEN.PrecisionResult"), -1), 3) << c.what;
        EXPECT_EQ(reread.getInt(settings::kSettings, QStringLiteral("LEN.CurrentSousRubric"), -1),
                  c.storesSousRubric ? 2 : -1)
            << c.what;
        EXPECT_EQ(reread.getString(settings::kSettings, QLatin1String(c.fromKey)), QStringLiteral("inch")) << c.what;
        EXPECT_EQ(reread.getString(settings::kSettings, QLatin1String(c.toKey)), QStringLiteral("metre")) << c.what;
        EXPECT_EQ(reread.getString(settings::kSettings, QLatin1String(c.recentKey)), QStringLiteral("inch")) << c.what;

        ConvertChoices next(rubric);
        next.read(reread, nullptr);
        EXPECT_EQ(next.notation(), 2) << c.what;
        EXPECT_EQ(next.precision(), 3) << c.what;
        EXPECT_EQ(next.rememberedFrom(reread), QStringLiteral("inch")) << c.what;
        EXPECT_EQ(next.rememberedTo(reread), QStringLiteral("metre")) << c.what;
        ASSERT_EQ(next.recentPairs().pairs().size(), 1) << c.what;
        EXPECT_EQ(next.recentPairs().pairs().front().to, QStringLiteral("metre")) << c.what;
    }
}
