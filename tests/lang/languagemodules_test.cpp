// The English, French and German modules side by side: a window addresses strings, menu items,
// controls and pictures by number or name, and a unit by its position, so every module must hold
// the same ones. A module that falls behind the others (a string added to one language only, a
// unit missing from one table) is caught here rather than by a user of that language.
#include "app/languagemodule.h"
#include "app/resourcesource.h"
#include "app/savefailurenotice.h"
#include "app/settingsstore.h"
#include "catalogue/catalogueloader.h"
#include "catalogue/rubric.h"
#include "support/fakes.h"
#include "support/languages.h"
#include "testpaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <cerrno>
#include <iterator>
#include <map>
#include <memory>

using namespace quantaro;
using namespace quantaro::test;

namespace {

using ModuleSpec = Language;
constexpr int kUnitFileString = 100;
constexpr int kLanguageIdString = 92;

/** Every module, loaded and registered once for the whole test program (unloading is not tested here). */
const std::map<QString, std::unique_ptr<LanguageModule>>& modules()
{
    static const auto loaded = [] {
        std::map<QString, std::unique_ptr<LanguageModule>> all;
        for (const ModuleSpec& spec : kLanguages) {
            auto module =
                LanguageModule::load(QStringLiteral(QUANTARO_PROGRAM_DIR "/") + QString::fromUtf8(spec.module));
            if (module && module->registerResources()) {
                all.emplace(QString::fromUtf8(spec.module), std::move(module));
            }
        }
        return all;
    }();
    return loaded;
}

/** The unit file the module names (string 100) and the build puts beside it. */
QString unitFileOf(const ModuleSpec& spec)
{
    return QStringLiteral("quantaro_%1.dat").arg(QLatin1String(spec.code));
}

QString rootOf(const ModuleSpec& spec)
{
    const auto found = modules().find(QString::fromUtf8(spec.module));
    return found == modules().end() ? QString() : found->second->resourceRoot();
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonObject strings(const QString& root)
{
    return QJsonDocument::fromJson(readAll(root + QStringLiteral("/strings.json"))).object();
}

/** Base names of the files in one resource folder, sorted: "128", "LENU", ... */
QStringList baseNames(const QString& root, const QString& folder)
{
    QStringList names;
    for (const QFileInfo& info : QDir(root + QLatin1Char('/') + folder).entryInfoList(QDir::Files, QDir::Name))
        names.append(info.completeBaseName());
    return names;
}

/** A menu's shape: entries, sub-menus, separators, command ids and flags in order, texts left out. */
QString menuShape(const QJsonArray& entries, QStringList& emptyTexts)
{
    QStringList parts;
    for (const QJsonValue& value : entries) {
        const QJsonObject entry = value.toObject();
        if (entry.value(QStringLiteral("separator")).toBool()) {
            parts.append(QStringLiteral("-"));
            continue;
        }
        if (entry.value(QStringLiteral("text")).toString().trimmed().isEmpty())
            emptyTexts.append(QString::number(entry.value(QStringLiteral("id")).toInt()));
        QString part = entry.contains(QStringLiteral("id")) ? QString::number(entry.value(QStringLiteral("id")).toInt())
                                                            : QStringLiteral("sub");
        if (entry.value(QStringLiteral("checkable")).toBool())
            part += QStringLiteral("/check");
        if (entry.value(QStringLiteral("columnBreak")).toBool())
            part += QStringLiteral("/break");
        if (entry.contains(QStringLiteral("items")))
            part += QStringLiteral("[") + menuShape(entry.value(QStringLiteral("items")).toArray(), emptyTexts) +
                    QStringLiteral("]");
        parts.append(part);
    }
    return parts.join(QLatin1Char(' '));
}

/** Control id -> widget class of every addressed control of a template; the window caption too. */
struct TemplateControls
{
    QMap<int, QString> classes;
    QString caption;
    bool wellFormed = true;
};

TemplateControls templateControls(const QByteArray& ui)
{
    TemplateControls result;
    QXmlStreamReader xml(ui);
    QStringList widgetClasses;
    QString property;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            if (name == QLatin1String("widget")) {
                widgetClasses.append(xml.attributes().value(QStringLiteral("class")).toString());
            } else if (name == QLatin1String("property")) {
                property = xml.attributes().value(QStringLiteral("name")).toString();
            } else if (name == QLatin1String("number") && property == QLatin1String("controlId")) {
                result.classes.insert(xml.readElementText().toInt(), widgetClasses.value(widgetClasses.size() - 1));
            } else if (name == QLatin1String("string") && property == QLatin1String("windowTitle") &&
                       widgetClasses.size() == 1) {
                result.caption = xml.readElementText();
            }
        } else if (xml.isEndElement()) {
            if (xml.name() == QLatin1String("widget"))
                widgetClasses.removeLast();
            else if (xml.name() == QLatin1String("property"))
                property.clear();
        }
    }
    result.wellFormed = !xml.hasError();
    return result;
}

/** Fields of a message ("%D%", "%s"), which the program fills in and every translation must keep. */
QStringList fields(const QString& text)
{
    static const QRegularExpression field(QStringLiteral("%[A-Z]%|%[sd]"));
    QStringList found;
    for (auto it = field.globalMatch(text); it.hasNext();)
        found.append(it.next().captured());
    found.sort();
    return found;
}

class LanguageModulesTest : public ::testing::TestWithParam<ModuleSpec>
{
protected:
    static const ModuleSpec& english() { return kLanguages[0]; }
};

TEST_P(LanguageModulesTest, ModulePassesTheIdentityTestAndNamesItsLanguage)
{
    const ModuleSpec& spec = GetParam();
    const auto found = modules().find(QString::fromUtf8(spec.module));
    ASSERT_NE(found, modules().end()) << spec.module << " is missing or has no resources";
    EXPECT_TRUE(found->second->isValid());
    EXPECT_EQ(found->second->language(), QString::fromUtf8(spec.name));
    const ResourceSource resources(found->second->resourceRoot());
    EXPECT_EQ(resources.string(kUnitFileString), unitFileOf(spec));
    EXPECT_EQ(resources.string(kLanguageIdString), QString::number(spec.deviceLanguage));
    EXPECT_TRUE(QFileInfo::exists(QStringLiteral(QUANTARO_PROGRAM_DIR "/") + unitFileOf(spec)));
}

TEST_P(LanguageModulesTest, HoldsTheEnglishStringNumbersWithTheirFields)
{
    const QJsonObject ours = strings(rootOf(GetParam()));
    const QJsonObject theirs = strings(rootOf(english()));
    ASSERT_FALSE(theirs.isEmpty());
    QStringList ourKeys = ours.keys(), theirKeys = theirs.keys();
    EXPECT_EQ(ourKeys, theirKeys);
    for (const QString& key : theirKeys) {
        const QString text = ours.value(key).toString();
        EXPECT_FALSE(text.trimmed().isEmpty()) << "string " << key.toStdString();
        EXPECT_EQ(fields(text), fields(theirs.value(key).toString())) << "string " << key.toStdString();
    }
}

TEST_P(LanguageModulesTest, MenusHaveTheEnglishNumbersCommandsAndShape)
{
    const QString ours = rootOf(GetParam()), theirs = rootOf(english());
    const QStringList numbers = baseNames(theirs, QStringLiteral("menus"));
    ASSERT_FALSE(numbers.isEmpty());
    EXPECT_EQ(baseNames(ours, QStringLiteral("menus")), numbers);
    for (const QString& number : numbers) {
        const QString file = QStringLiteral("/menus/") + number + QStringLiteral(".json");
        QJsonParseError error{};
        const QJsonDocument menu = QJsonDocument::fromJson(readAll(ours + file), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << "menu " << number.toStdString();
        QStringList emptyTexts, ignored;
        EXPECT_EQ(
            menuShape(menu.object().value(QStringLiteral("popups")).toArray(), emptyTexts),
            menuShape(
                QJsonDocument::fromJson(readAll(theirs + file)).object().value(QStringLiteral("popups")).toArray(),
                ignored))
            << "menu " << number.toStdString();
        EXPECT_TRUE(emptyTexts.isEmpty()) << "menu " << number.toStdString() << " has items without text";
    }
}

TEST_P(LanguageModulesTest, TemplatesHaveTheEnglishNumbersAndControls)
{
    const QString ours = rootOf(GetParam()), theirs = rootOf(english());
    const QStringList numbers = baseNames(theirs, QStringLiteral("dialogs"));
    ASSERT_FALSE(numbers.isEmpty());
    EXPECT_EQ(baseNames(ours, QStringLiteral("dialogs")), numbers);
    for (const QString& number : numbers) {
        const QString file = QStringLiteral("/dialogs/") + number + QStringLiteral(".ui");
        const TemplateControls mine = templateControls(readAll(ours + file));
        const TemplateControls reference = templateControls(readAll(theirs + file));
        EXPECT_TRUE(mine.wellFormed) << "template " << number.toStdString();
        EXPECT_FALSE(mine.classes.isEmpty()) << "template " << number.toStdString();
        EXPECT_EQ(mine.classes, reference.classes) << "template " << number.toStdString();
        EXPECT_FALSE(mine.caption.isEmpty()) << "template " << number.toStdString();
    }
}

TEST_P(LanguageModulesTest, HoldsTheEnglishPicturesAndIcons)
{
    const QString ours = rootOf(GetParam()), theirs = rootOf(english());
    ASSERT_FALSE(baseNames(theirs, QStringLiteral("bitmaps")).isEmpty());
    EXPECT_EQ(baseNames(ours, QStringLiteral("bitmaps")), baseNames(theirs, QStringLiteral("bitmaps")));
    EXPECT_EQ(baseNames(ours, QStringLiteral("icons")), baseNames(theirs, QStringLiteral("icons")));
}

TEST_P(LanguageModulesTest, CatalogueMatchesTheEnglishUnitByUnit)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SettingsStore settings(dir.filePath(QStringLiteral("q.ini")));
    RecordingMessageBoxes messages;
    const ResourceSource ourResources(rootOf(GetParam())), englishResources(rootOf(english()));
    Catalogue ours, theirs;
    ASSERT_TRUE(CatalogueLoader(ourResources, QStringLiteral(QUANTARO_PROGRAM_DIR), settings, messages).load(ours));
    ASSERT_TRUE(
        CatalogueLoader(englishResources, QStringLiteral(QUANTARO_PROGRAM_DIR), settings, messages).load(theirs));

    for (std::size_t r = 0; r < ours.size(); ++r) {
        const Rubric& mine = ours[r];
        const Rubric& reference = theirs[r];
        const std::string code = reference.code().toStdString();
        EXPECT_FALSE(mine.name().isEmpty()) << code;
        // Unit tags pick sub-categories by position, so the count must agree too.
        EXPECT_EQ(mine.sousRubricCount(), reference.sousRubricCount()) << code;
        ASSERT_EQ(mine.unitCount(), reference.unitCount()) << code;
        ASSERT_GT(mine.unitCount(), 0) << code;
        QSet<QString> names;
        for (int u = 0; u < mine.unitCount(); ++u) {
            const UnitRecord& unit = mine.unit(u);
            const UnitRecord& english = reference.unit(u);
            EXPECT_EQ(unit.fromBase(), english.fromBase()) << code << " unit " << u;
            EXPECT_EQ(unit.toBase(), english.toBase()) << code << " unit " << u;
            EXPECT_EQ(unit.tag(), english.tag()) << code << " unit " << u;
            EXPECT_FALSE(unit.name().trimmed().isEmpty()) << code << " unit " << u;
            // The lists and the remembered choices find a unit by its name.
            EXPECT_FALSE(names.contains(unit.name())) << code << ": " << unit.name().toStdString() << " twice";
            names.insert(unit.name());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllLanguages, LanguageModulesTest, ::testing::ValuesIn(kLanguages),
                         [](const ::testing::TestParamInfo<ModuleSpec>& param) {
                             return QString::fromUtf8(param.param.module).section(QLatin1Char('.'), 0, 0).toStdString();
                         });

} // namespace

// A failed save is told in the person's language, naming the folder and a reason for each kind of failure.
TEST(SaveFailureTextTest, EveryLanguageTellsAFailedSaveWithTheFolderAndTheReason)
{
    const QString folder = QStringLiteral("/home/someone/.config/Velmora");
    constexpr int kReasons = 5;
    QSet<QString> messages;
    for (const ModuleSpec& spec : kLanguages) {
        const ResourceSource source(rootOf(spec));
        QSet<QString> reasons;
        for (const int error : {ENOSPC, EDQUOT, EROFS, EACCES, EIO}) {
            const QString reason = source.string(saveFailureReason(error));
            const QString message = saveFailureMessage(source, folder, error);
            EXPECT_FALSE(reason.isEmpty()) << spec.module << " " << error;
            EXPECT_TRUE(message.contains(folder) && message.contains(reason)) << message.toStdString();
            EXPECT_FALSE(message.contains(QLatin1Char('%'))) << message.toStdString();
            reasons.insert(reason);
            messages.insert(message);
        }
        EXPECT_EQ(reasons.size(), kReasons) << spec.module;
    }
    EXPECT_EQ(messages.size(), static_cast<qsizetype>(std::size(kLanguages)) * kReasons)
        << "each language its own words";
}
