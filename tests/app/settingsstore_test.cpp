#include "app/initext.h"
#include "app/settingsstore.h"
#include "testpaths.h"

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QRect>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quantaro;

namespace {

class SettingsStoreTest : public ::testing::Test
{
protected:
    QString iniPath() const { return m_dir.filePath(QStringLiteral("Quantaro.ini")); }
    QTemporaryDir m_dir;
};

const QString kSection = settings::kSettings;

} // namespace

TEST_F(SettingsStoreTest, DeletingAValueGivesTheDefaultNotAnEmptyText)
{
    SettingsStore store(iniPath());
    store.putString(kSection, settings::kLanguageDllName, QStringLiteral("quantaro_en.so"));
    store.putString(kSection, settings::kLanguageDllName, std::nullopt);
    EXPECT_EQ(store.getString(kSection, settings::kLanguageDllName, QStringLiteral("fallback")), "fallback");
    EXPECT_FALSE(store.contains(kSection, settings::kLanguageDllName));
}

TEST_F(SettingsStoreTest, AnEmptyStoredTextIsNotTheDefault)
{
    SettingsStore store(iniPath());
    store.putString(kSection, QStringLiteral("LEN.From"), QString());
    EXPECT_EQ(store.getString(kSection, QStringLiteral("LEN.From"), QStringLiteral("fallback")), "");
}

TEST_F(SettingsStoreTest, DeletingASectionRemovesAllItsValuesAndNothingElse)
{
    SettingsStore store(iniPath());
    store.putString(settings::kCurrencies, QStringLiteral("USD"), QStringLiteral("0.9"));
    store.putString(settings::kCurrencies, QStringLiteral("GBP"), QStringLiteral("1.2"));
    store.putInt(kSection, settings::kNewInstall, 0);
    store.putString(settings::kCurrencies, std::nullopt, std::nullopt);
    EXPECT_FALSE(store.contains(settings::kCurrencies, QStringLiteral("USD")));
    EXPECT_FALSE(store.contains(settings::kCurrencies, QStringLiteral("GBP")));
    EXPECT_EQ(store.getInt(kSection, settings::kNewInstall, 1), 0);
}

TEST_F(SettingsStoreTest, HiddenListIsRewrittenWholeAfterDeletingItsKey)
{
    SettingsStore store(iniPath());
    const QString section = settings::hiddenUnitsSection(QStringLiteral("LEN"));
    EXPECT_EQ(section, "NonAffichage\\LEN");
    store.putInt(section, settings::kHiddenCount, 3);
    for (int i = 0; i < 3; ++i) {
        store.putString(section, settings::hiddenItemName(i), QStringLiteral("unit %1").arg(i));
    }
    store.deleteKey(section);
    store.putInt(section, settings::kHiddenCount, 1);
    store.putString(section, settings::hiddenItemName(0), QStringLiteral("inch"));

    SettingsStore reopened(iniPath());
    EXPECT_EQ(reopened.getInt(section, settings::kHiddenCount, 0), 1);
    EXPECT_EQ(reopened.getString(section, QStringLiteral("Item0")), "inch");
    EXPECT_FALSE(reopened.contains(section, QStringLiteral("Item1")));
    EXPECT_FALSE(reopened.contains(section, QStringLiteral("Item2")));
}

TEST_F(SettingsStoreTest, PerCategoryNamesFollowTheSubCategoryRule)
{
    EXPECT_EQ(settings::fromName(QStringLiteral("LEN"), std::nullopt), "LEN.From");
    EXPECT_EQ(settings::toName(QStringLiteral("LEN"), std::nullopt), "LEN.To");
    EXPECT_EQ(settings::fromName(QStringLiteral("XYZ"), 2), "XYZ.From.2");
    EXPECT_EQ(settings::toName(QStringLiteral("VOL"), 10), "VOL.To.10");
    EXPECT_EQ(settings::hiddenItemName(12), "Item12");
}

TEST_F(SettingsStoreTest, ValueNamesFromOutsideNeverCreateSubKeys)
{
    const QStringList names = {QStringLiteral("A/B"), QStringLiteral("C\\D"), QStringLiteral("50%"),
                               QStringLiteral("x\ny"), QStringLiteral("..")};
    {
        SettingsStore store(iniPath());
        for (const QString& name : names) {
            store.putString(settings::kCurrencies, name, name + QStringLiteral("-rate"));
        }
    }
    SettingsStore reopened(iniPath());
    for (const QString& name : names) {
        EXPECT_EQ(reopened.getString(settings::kCurrencies, name), name + QStringLiteral("-rate"))
            << name.toStdString();
    }
    QSettings raw(iniPath(), QSettings::IniFormat);
    raw.beginGroup(settings::kCurrencies);
    EXPECT_TRUE(raw.childGroups().isEmpty());
    EXPECT_EQ(raw.childKeys().size(), names.size());
}

TEST_F(SettingsStoreTest, EightRawBytesWithZerosRoundTripExactly)
{
    const QByteArray bytes("\x00\x01\x00\x80\xff\x00\x00\x00", 8);
    {
        SettingsStore store(iniPath());
        store.putBinary(kSection, settings::kLastCurrencyUpdate, bytes);
    }
    SettingsStore reopened(iniPath());
    const auto read = reopened.getBinary(kSection, settings::kLastCurrencyUpdate);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, bytes);
    EXPECT_FALSE(reopened.getBinary(kSection, QStringLiteral("Absent")).has_value());
}

TEST_F(SettingsStoreTest, HandEditedValuesAreReadOrFallBackToTheDefault)
{
    struct Case
    {
        const char* line;
        int32_t expected;
    };
    const Case cases[] = {
        {"Value=12", 12},
        {"Value=-5", -5},
        {"Value= 7 ", 7},
        {"Value=abc", 99},
        {"Value=12abc", 99},
        {"Value=99999999999", 99},
        {"Value=2147483647", 2147483647},
        {"Value=", 99},
    };
    int index = 0;
    for (const Case& c : cases) {
        // A file per case: QSettings caches what it read by path.
        const QString path = m_dir.filePath(QStringLiteral("case%1.ini").arg(index++));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray("[Settings]\n") + c.line + "\n");
        file.close();
        SettingsStore store(path);
        EXPECT_EQ(store.getInt(kSection, QStringLiteral("Value"), 99), c.expected) << c.line;
    }
}

TEST_F(SettingsStoreTest, HandEditedTextWithACommaReadsAsOneText)
{
    QFile file(iniPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Settings]\nLEN.From=metre,foot\nTruncated=@ByteArray(abc\n");
    file.close();
    SettingsStore store(iniPath());
    EXPECT_EQ(store.getString(kSection, QStringLiteral("LEN.From")), "metre,foot");
    EXPECT_FALSE(store.getBinary(kSection, QStringLiteral("Truncated")).has_value());
}

TEST_F(SettingsStoreTest, CorruptedFileKeepsWhatWasReadableThroughTheNextWrite)
{
    QFile file(iniPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Settings]\nNewInstall=0\nLanguageDLLName=quantaro_en.so\n");
    static const char garbage[] = "\x00\xff\xfe garbage [[[ = = \x01\x02\n";
    file.write(garbage, sizeof garbage - 1);
    file.write("[Currencies]\nUSD=0.9\n");
    file.close();
    {
        SettingsStore store(iniPath());
        EXPECT_EQ(store.getInt(kSection, settings::kNewInstall, 1), 0);
        store.putString(settings::kCurrencies, QStringLiteral("GBP"), QStringLiteral("1.17"));
    }
    SettingsStore reopened(iniPath());
    EXPECT_EQ(reopened.getInt(kSection, settings::kNewInstall, 1), 0);
    EXPECT_EQ(reopened.getString(kSection, settings::kLanguageDllName), "quantaro_en.so");
    EXPECT_EQ(reopened.getString(settings::kCurrencies, QStringLiteral("USD")), "0.9");
    EXPECT_EQ(reopened.getString(settings::kCurrencies, QStringLiteral("GBP")), "1.17");
}

TEST_F(SettingsStoreTest, ValuesWrittenByAnotherProcessKeepTheirKinds)
{
    SettingsStore store(iniPath());
    store.putString(kSection, settings::kLanguageDllName, QStringLiteral("mine.so"));

    QProcess writer;
    writer.start(QStringLiteral(QUANTARO_TEST_HELPER_DIR "/settings_writer"), {iniPath()});
    ASSERT_TRUE(writer.waitForFinished(30000));
    ASSERT_EQ(writer.exitCode(), 0);

    store.sync();
    EXPECT_EQ(store.getInt(kSection, QStringLiteral("FromOtherProcess"), 0), 42);
    EXPECT_EQ(store.getInt(kSection, QStringLiteral("Negative"), 0), -7);
    EXPECT_EQ(store.getBinary(kSection, QStringLiteral("Bytes")).value_or(QByteArray()),
              QByteArray("\x01\x00\x00\xff\x00\x7f\x00\x00", 8));
    EXPECT_EQ(store.getString(settings::kCurrencies, QStringLiteral("USD")), "-0.9");
    EXPECT_EQ(store.getString(kSection, settings::kLanguageDllName), "mine.so");
}

// The store writes its file itself, and Qt reads it: the text is the one Qt writes for the same
// values, byte for byte, whatever their kind, name or characters.
TEST_F(SettingsStoreTest, TheFileIsWrittenAsQtWritesIt)
{
    const std::pair<const char*, QVariant> values[] = {
        {"Settings/LEN.From", QString::fromUtf8("M\u00e8tre \u00fcn\u00ef \u20ac")},
        {"Settings/NewInstall", 0},
        {"Settings/Negative", -5},
        {"Settings/At", QStringLiteral("@foo")},
        {"Settings/Spaces", QStringLiteral(" lead and trail ")},
        {"Settings/Separators", QStringLiteral("a;b,c=d")},
        {"Settings/Escapes", QStringLiteral("a\"b\\c\td\ne\x01"
                                            "1f\x7f")},
        {"Settings/Nul", QString(QChar(0)) + QStringLiteral("12")},
        {"Settings/Astral", QString::fromUtf8("x\U0001F600y")},
        {"Settings/Empty", QString()},
        {"Settings/LastCurrencyUpdate", QByteArray("\x01\x00\xff\x7f\x80\"\\a(b)c", 13)},
        {"Settings/List", QStringList{QStringLiteral("a"), QStringLiteral("b c"), QStringLiteral("@d")}},
        {"Settings/Rect", QRect(1, 2, 3, 4)},
        {"Settings/Time", QDateTime::fromSecsSinceEpoch(0, Qt::UTC)},
        {"Currencies/\u00dc\u20ac x~!%2F", QStringLiteral("2")},
        {"NonAffichage/LEN/Count", 3},
        {"general/x", 1},
        {"TopLevel", 1},
    };
    IniValues ours;
    {
        QSettings qt(iniPath(), QSettings::IniFormat);
        for (const auto& [key, value] : values) {
            qt.setValue(QString::fromUtf8(key), value);
            ours.insert(QString::fromUtf8(key), value);
        }
    }
    QFile written(iniPath());
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(iniText(ours, {}), written.readAll());
}

TEST_F(SettingsStoreTest, AWriteKeepsTheOrderOfTheFileAndPutsNewValuesAfterIt)
{
    QFile file(iniPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Settings]\nZ=1\nA=2\n\n[Currencies]\nUSD=0.9\n");
    file.close();
    SettingsStore store(iniPath());
    SettingsChanges changes;
    changes.putString(settings::kCurrencies, QStringLiteral("GBP"), QStringLiteral("1.1"));
    changes.putInt(kSection, QStringLiteral("B"), 3);
    changes.putString(kSection, QStringLiteral("A"), std::nullopt);
    ASSERT_TRUE(store.write(changes));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "[Settings]\nZ=1\nB=3\n\n[Currencies]\nUSD=0.9\nGBP=1.1\n");
}
