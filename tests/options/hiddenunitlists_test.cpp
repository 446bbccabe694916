#include "options/hiddenunitlists.h"
#include "optionstestsupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quantaro;
using namespace quantaro::test;

namespace {

constexpr int kLen = 1;
constexpr int kAre = 2;
constexpr int kVol = 3;
constexpr int kMas = 4;

class HiddenUnitLists : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    SettingsStore settings{dir.filePath(QStringLiteral("q.ini"))};
};

TEST_F(HiddenUnitLists, EveryCategoryIsRewrittenFromItsFlagsInUnitOrder)
{
    // Lists of an earlier run, longer than the new ones, and one for a category that has no units now.
    storeList(settings, QStringLiteral("LEN"), {"a", "b", "c", "d", "e"});
    storeList(settings, QStringLiteral("ARE"), {"acre"});
    storeList(settings, QStringLiteral("VOL"), {"litre"});
    const Catalogue catalogue = makeCatalogue({
        {kLen, {{"yard", true}, {"foot"}, {"inch", true}, {"metre"}}},
        {kAre, {{"acre"}, {"hectare"}}},
        {kMas, {{"pound", true}, {"Pound", true}, {"pound", true}}},
    });

    writeHiddenUnitLists(catalogue, settings);

    struct Expected
    {
        const char* code;
        std::optional<QStringList> names;
    };
    for (const Expected& e : {
             Expected{"LEN", QStringList{"yard", "inch"}}, // unit order, not alphabetical
             Expected{"ARE", QStringList{}},               // units, none hidden: Count 0
             Expected{"VOL", std::nullopt},                // no units: no key at all
             Expected{"MAS", QStringList{"pound", "Pound", "pound"}},
             Expected{"CNY", std::nullopt},
         }) {
        EXPECT_EQ(storedList(settings, QString::fromLatin1(e.code)), e.names) << e.code;
    }
}

TEST_F(HiddenUnitLists, ACatalogueWithoutAnyUnitKeepsTheStoredLists)
{
    // What the window holds when the unit file was missing at start: nothing to decide from.
    storeList(settings, QStringLiteral("LEN"), {"yard"});
    Catalogue unloaded;
    writeHiddenUnitLists(unloaded, settings);
    writeHiddenUnitLists(makeCatalogue({}), settings);
    EXPECT_EQ(storedList(settings, QStringLiteral("LEN")), QStringList{"yard"});
}

TEST_F(HiddenUnitLists, ARecordWithoutItsCodeStillWritesOnlyItsOwnCategory)
{
    storeList(settings, QStringLiteral("LEN"), {"yard"});
    Catalogue catalogue = makeCatalogue({{kAre, {{"acre", true}}}});
    catalogue[kVol].setCode(QString());
    writeHiddenUnitLists(catalogue, settings);
    EXPECT_EQ(storedList(settings, QStringLiteral("ARE")), QStringList{"acre"});
    // LEN has no units here, so its list goes; the point is that the empty code deleted nothing else.
    EXPECT_EQ(storedList(settings, QStringLiteral("LEN")), std::nullopt);
    EXPECT_EQ(storedList(settings, QStringLiteral("VOL")), std::nullopt);
}

} // namespace
