// Outside input of absurd size: each load must finish promptly with a defined result. The big
// inputs are made here at run time, never kept in the repository.

#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "catalogue/catalogueloader.h"
#include "catalogue/unitdefinition.h"
#include "support/fakes.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

using namespace quantaro;
using quantaro::test::RecordingMessageBoxes;

namespace {

const QString kUnitFile = QStringLiteral("units.dat");
constexpr qint64 kHugeFileBytes = 50LL * 1024 * 1024;
constexpr qsizetype kHugeRubricLength = 100000;

class BoundedWorkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        writeStrings(QStringLiteral("Length;Short;Long"));
    }

    void writeStrings(const QString& lengthDefinition)
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("res"));
        QFile file(m_dir.filePath(QStringLiteral("res/strings.json")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QJsonDocument(QJsonObject{{QStringLiteral("100"), kUnitFile},
                                             {QStringLiteral("1100"), QStringLiteral("Money")},
                                             {QStringLiteral("1101"), lengthDefinition}})
                       .toJson());
        m_resources.setRoot(m_dir.filePath(QStringLiteral("res")));
    }

    void writeUnits(const QByteArray& bytes)
    {
        QFile file(m_dir.filePath(kUnitFile));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    bool load()
    {
        CatalogueLoader loader(m_resources, m_dir.path(), m_settings, m_messages);
        return loader.load(m_catalogue);
    }

    QTemporaryDir m_dir;
    ResourceSource m_resources;
    SettingsStore m_settings{m_dir.filePath(QStringLiteral("q.ini"))};
    RecordingMessageBoxes m_messages;
    Catalogue m_catalogue;
};

TEST_F(BoundedWorkTest, TheLargestHiddenCountReadsAtMostTheBoundedNumberOfNames)
{
    writeUnits("LEN;metre;$;$\nLEN;inch;$;$\nLEN;foot;$;$\n");
    const QString section = settings::hiddenUnitsSection(QStringLiteral("LEN"));
    m_settings.putInt(section, settings::kHiddenCount, std::numeric_limits<int32_t>::max());
    m_settings.putString(section, settings::hiddenItemName(0), QStringLiteral("metre"));
    m_settings.putString(section, settings::hiddenItemName(kHiddenNamesMax - 1), QStringLiteral("inch"));
    m_settings.putString(section, settings::hiddenItemName(kHiddenNamesMax), QStringLiteral("foot"));

    ASSERT_TRUE(load());
    const Rubric& length = m_catalogue[1];
    ASSERT_EQ(length.unitCount(), 3);
    EXPECT_TRUE(length.unit(0).hidden());
    EXPECT_TRUE(length.unit(1).hidden());
    EXPECT_FALSE(length.unit(2).hidden()) << "names past the bound are not read";
}

TEST_F(BoundedWorkTest, AFiftyMegabyteUnitFileFillsEachCategoryUpToItsBound)
{
    // Mostly lines of one category, a long line without a line feed in the middle, and a last line
    // of another category that must still be read.
    const QByteArray line = "LEN;unit;$*2;$/2;0\n";
    QByteArray bytes;
    bytes.reserve(kHugeFileBytes + 64);
    bytes += "LEN;first;$;$\n";
    bytes += QByteArray(1024 * 1024, 'x');
    bytes += '\n';
    while (bytes.size() < kHugeFileBytes) {
        bytes += line;
    }
    bytes += "VOL;litre;$;$\n";
    writeUnits(bytes);
    bytes.clear();

    ASSERT_TRUE(load());
    const Rubric& length = m_catalogue[1];
    ASSERT_EQ(length.unitCount(), kUnitsPerRubricMax);
    EXPECT_EQ(length.unit(0).name(), QStringLiteral("first"));
    EXPECT_EQ(length.unit(kUnitsPerRubricMax - 1).name(), QStringLiteral("unit"));
    const int volume = rubricIndexOf(u"VOL");
    ASSERT_GE(volume, 0);
    ASSERT_EQ(m_catalogue[static_cast<size_t>(volume)].unitCount(), 1);
    EXPECT_EQ(m_catalogue[static_cast<size_t>(volume)].unit(0).name(), QStringLiteral("litre"));
}

TEST_F(BoundedWorkTest, ARubricStringOfAHundredThousandCharactersCountsOnlyItsBoundedHead)
{
    // "Length;" then "s;" pairs: the 1023 characters that count hold (1023 - 7) / 2 sub-categories.
    QString definition = QStringLiteral("Length;");
    while (definition.size() < kHugeRubricLength) {
        definition += QStringLiteral("s;");
    }
    writeStrings(definition);
    writeUnits("LEN;metre;$;$\n");

    ASSERT_TRUE(load());
    const Rubric& length = m_catalogue[1];
    EXPECT_EQ(length.name(), QStringLiteral("Length"));
    EXPECT_EQ(length.sousRubricCount(), (kRubricDefinitionMaxLength - 7) / 2);

    Rubric direct;
    parseRubricDefinition(QString(kHugeRubricLength, QLatin1Char('n')), direct);
    EXPECT_EQ(direct.name().size(), kRubricDefinitionMaxLength);
    EXPECT_EQ(direct.sousRubricCount(), 0);
}

} // namespace
