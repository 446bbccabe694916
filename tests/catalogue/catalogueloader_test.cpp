#include "app/programfolder.h"
#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "catalogue/catalogueloader.h"
#include "support/fakes.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quantaro;

namespace {

const QString kUnitFile = QStringLiteral("units.dat");
const QString kMissingText = QStringLiteral("The unit file is missing.");

/** A language module's strings and a program folder in a temporary folder. */
class CatalogueLoaderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QDir(m_dir.path()).mkdir(QStringLiteral("res"));
        writeStrings({{QStringLiteral("100"), kUnitFile},
                      {QStringLiteral("1000"), kMissingText},
                      {QStringLiteral("1100"), QStringLiteral("Money")},
                      {QStringLiteral("1101"), QStringLiteral("Reach;Short;Long")}});
    }

    void writeStrings(const QJsonObject& strings)
    {
        QFile file(m_dir.filePath(QStringLiteral("res/strings.json")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(strings).toJson());
        m_resources.setRoot(m_dir.filePath(QStringLiteral("res")));
    }

    void writeUnits(const QByteArray& bytes)
    {
        QFile file(m_dir.filePath(kUnitFile));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    void hide(const QString& code, int count, const QList<std::pair<int, QString>>& items)
    {
        const QString section = settings::hiddenUnitsSection(code);
        m_settings.putInt(section, settings::kHiddenCount, count);
        for (const auto& [index, name] : items) {
            m_settings.putString(section, settings::hiddenItemName(index), name);
        }
    }

    bool load()
    {
        CatalogueLoader loader(m_resources, m_dir.path(), m_settings, m_messages, [this] { ++m_rebuilds; });
        return loader.load(m_catalogue);
    }

    QStringList names(int rubric) const
    {
        QStringList list;
        const Rubric& r = m_catalogue[static_cast<size_t>(rubric)];
        for (int i = 0; i < r.unitCount(); ++i) {
            list << r.unit(i).name();
        }
        return list;
    }

    QList<bool> hiddenFlags(int rubric) const
    {
        QList<bool> list;
        const Rubric& r = m_catalogue[static_cast<size_t>(rubric)];
        for (int i = 0; i < r.unitCount(); ++i) {
            list << r.unit(i).hidden();
        }
        return list;
    }

    QTemporaryDir m_dir;
    ResourceSource m_resources;
    SettingsStore m_settings{m_dir.filePath(QStringLiteral("q.ini"))};
    test::RecordingMessageBoxes m_messages;
    Catalogue m_catalogue;
    int m_rebuilds = 0;
};

TEST_F(CatalogueLoaderTest, BuildsNamesCodesAndUnitsInFileOrderWhateverTheCategoryOrder)
{
    writeUnits("LEN;metre;$;$;0\r\n"
               "CNY;Euro;$;$;EUR\n"
               "len;inch;$/0.0254;$*0.0254;1\n"
               "XYZ;nothing;$;$\n"
               "LEN;foot;$/0.3048;$*0.3048;1");
    ASSERT_TRUE(load());
    EXPECT_TRUE(m_messages.messages.empty());
    EXPECT_EQ(m_rebuilds, 1);
    for (int i = 0; i < kRubricCount; ++i) {
        EXPECT_EQ(m_catalogue[static_cast<size_t>(i)].code(), rubricCode(i));
    }
    EXPECT_EQ(m_catalogue[0].name(), QStringLiteral("Money"));
    EXPECT_EQ(m_catalogue[1].name(), QStringLiteral("Reach"));
    EXPECT_EQ(m_catalogue[1].sousRubricCount(), 2);
    EXPECT_TRUE(m_catalogue[2].name().isEmpty());
    EXPECT_EQ(names(0), QStringList{QStringLiteral("Euro")});
    EXPECT_EQ(names(1), (QStringList{QStringLiteral("metre"), QStringLiteral("inch"), QStringLiteral("foot")}));
    EXPECT_EQ(m_catalogue[1].unit(0).tag(), QStringLiteral("0"));
    EXPECT_EQ(m_catalogue[1].unit(1).toBase(), QStringLiteral("$*0.0254"));
}

TEST_F(CatalogueLoaderTest, AnAllCommentFileGivesNamedCategoriesWithoutUnits)
{
    writeUnits("* units\n*LEN;metre;$;$\n\n");
    ASSERT_TRUE(load());
    EXPECT_EQ(m_catalogue[1].name(), QStringLiteral("Reach"));
    for (const Rubric& rubric : m_catalogue) {
        EXPECT_EQ(rubric.unitCount(), 0);
    }
}

TEST_F(CatalogueLoaderTest, AMissingFileTellsTheUserAndKeepsThePreviousCatalogue)
{
    EXPECT_FALSE(load());
    ASSERT_EQ(m_messages.messages.size(), 1u);
    EXPECT_EQ(m_messages.messages[0].text, kMissingText);
    EXPECT_EQ(m_messages.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(m_rebuilds, 0);
    for (const Rubric& rubric : m_catalogue) {
        EXPECT_TRUE(rubric.name().isEmpty());
        EXPECT_EQ(rubric.unitCount(), 0);
    }

    writeUnits("LEN;metre;$;$\nLEN;inch;$;$\n");
    hide(QStringLiteral("LEN"), 1, {{0, QStringLiteral("inch")}});
    ASSERT_TRUE(load());
    const Catalogue before = m_catalogue;
    ASSERT_TRUE(QFile::remove(m_dir.filePath(kUnitFile)));
    hide(QStringLiteral("LEN"), 1, {{0, QStringLiteral("metre")}});
    EXPECT_FALSE(load());
    EXPECT_EQ(m_catalogue, before);
    EXPECT_EQ(hiddenFlags(1), (QList<bool>{false, true}));
    EXPECT_EQ(m_rebuilds, 1);
}

TEST_F(CatalogueLoaderTest, AUnitFileNameThatLeadsOutOfTheProgramFolderCountsAsMissing)
{
    for (const QString& name : {QString(), QStringLiteral("../units.dat"), QStringLiteral("..")}) {
        writeStrings({{QStringLiteral("100"), name}, {QStringLiteral("1000"), kMissingText}});
        EXPECT_FALSE(load()) << name.toStdString();
    }
    EXPECT_EQ(m_messages.messages.size(), 3u);
}

TEST_F(CatalogueLoaderTest, TheUnitFileIsFoundWithoutRegardToCaseAsTheFirstRunCleanUpKeepsIt)
{
    writeUnits("LEN;metre;$;$\n");
    for (const char* name : {"units.dat", "UNITS.DAT", "Units.Dat"}) {
        SCOPED_TRACE(name);
        writeStrings({{QStringLiteral("100"), QString::fromLatin1(name)}, {QStringLiteral("1000"), kMissingText}});
        EXPECT_TRUE(load());
        EXPECT_EQ(names(1), QStringList{QStringLiteral("metre")});
        EXPECT_TRUE(isSameProgramFileName(kUnitFile, QString::fromLatin1(name))) << "the clean-up keeps it";
    }
    EXPECT_TRUE(m_messages.messages.empty());
    for (const char* name : {"units.da", "units.dat ", "..\\units.dat"}) {
        writeStrings({{QStringLiteral("100"), QString::fromLatin1(name)}, {QStringLiteral("1000"), kMissingText}});
        EXPECT_FALSE(load()) << name;
    }
}

TEST_F(CatalogueLoaderTest, AHiddenNameHidesEveryUnitOfThatNameWithoutRegardToCase)
{
    writeUnits("LEN;Mile;$;$\nLEN;metre;$;$\nLEN;mile;$;$\nVOL;mile;$;$\n");
    hide(QStringLiteral("LEN"), 1, {{0, QStringLiteral("MILE")}});
    ASSERT_TRUE(load());
    EXPECT_EQ(hiddenFlags(1), (QList<bool>{true, false, true}));
    EXPECT_EQ(hiddenFlags(3), QList<bool>{false});
}

TEST_F(CatalogueLoaderTest, AMissingItemReadsAsAnEmptyNameAndHidesOnlyNamelessUnits)
{
    writeUnits("LEN;metre;$;$\nLEN\nLEN;inch;$;$\n");
    hide(QStringLiteral("LEN"), 3, {{0, QStringLiteral("metre")}, {2, QStringLiteral("yard")}});
    ASSERT_TRUE(load());
    EXPECT_EQ(hiddenFlags(1), (QList<bool>{true, true, false}));
}

TEST_F(CatalogueLoaderTest, AHugeOrNegativeHiddenCountIsBounded)
{
    writeUnits("LEN;metre;$;$\nLEN;inch;$;$\n");
    hide(QStringLiteral("LEN"), 2000000000, {{0, QStringLiteral("inch")}});
    hide(QStringLiteral("VOL"), -5, {{0, QStringLiteral("litre")}});
    ASSERT_TRUE(load()); // finishes: the count is bounded
    EXPECT_EQ(hiddenFlags(1), (QList<bool>{false, true}));
}

TEST_F(CatalogueLoaderTest, ALongLineIsReadInPiecesOf511Bytes)
{
    // The first piece holds the code and a name of 507 bytes; the rest of the line is read as a
    // line of its own and its code "LEN" (the first token) makes a second unit.
    const QByteArray head = "LEN;" + QByteArray(507, 'a');
    writeUnits(head + "LEN;tail;$;$\nLEN;next;$;$\n");
    ASSERT_TRUE(load());
    EXPECT_EQ(names(1), (QStringList{QString(63, QLatin1Char('a')), QStringLiteral("tail"), QStringLiteral("next")}));
}

TEST_F(CatalogueLoaderTest, ReadsUtf8AndANamedEncoding)
{
    writeUnits("LEN;m\xc3\xa8tre;$;$\n");
    ASSERT_TRUE(load());
    EXPECT_EQ(names(1), QStringList{QStringLiteral("m\u00e8tre")});

    writeStrings({{QStringLiteral("100"), kUnitFile}, {QStringLiteral("101"), QStringLiteral("ISO-8859-1")}});
    writeUnits("LEN;m\xe8tre;$;$\n");
    ASSERT_TRUE(load());
    EXPECT_EQ(names(1), QStringList{QStringLiteral("m\u00e8tre")});
}

TEST_F(CatalogueLoaderTest, AMultiByteCharacterSplitByAPieceBoundaryIsNotLost)
{
    // "LEN;" and 506 letters leave one byte of the piece for the two bytes of "è".
    writeUnits("LEN;" + QByteArray(506, 'a') + "\xc3\xa8;x\n");
    ASSERT_TRUE(load());
    ASSERT_EQ(m_catalogue[1].unitCount(), 1);
    // The rest of the line, "è;x", has no known code and is dropped; nothing is garbled.
    EXPECT_EQ(m_catalogue[1].unit(0).name(), QString(63, QLatin1Char('a')));
}

} // namespace
