// quantaro-convert: the conversions of the program from the command line, without a display.
//
//   quantaro-convert [--module FILE] [--notation g|e|f] [--precision N] CODE VALUE FROM TO
//   quantaro-convert [--module FILE] --list [CODE]
//   quantaro-convert --eval TEXT
//
// Options are long options only, so a VALUE such as -5 is a value; "--" ends the options.
#include "app/languagemodule.h"
#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "catalogue/catalogueloader.h"
#include "catalogue/rubric.h"
#include "catalogue/unitlookup.h"
#include "currency/currencyunits.h"
#include "convert/conversion.h"
#include "convert/evaluate.h"
#include "platform/messageboxes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

using namespace quantaro;

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kConvertArgumentCount = 4;
constexpr int kDefaultPrecision = settings::kPrecisionResultDefault;

const QString kUsage =
    QStringLiteral("usage: quantaro-convert [--module FILE] [--notation g|e|f] [--precision N] CODE VALUE FROM TO\n"
                   "       quantaro-convert [--module FILE] --list [CODE]\n"
                   "       quantaro-convert --eval TEXT");

/** A failure to report: one line on standard error and the exit code. */
struct Failure
{
    QString message;
    int exitCode = kExitFailure;
};

struct Options
{
    QString module;
    int notation = settings::kViewResultDefault;
    int precision = kDefaultPrecision;
    bool list = false;
    std::optional<QString> eval;
    QStringList positional;
};

void printLine(FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fputc('\n', stream);
}

std::optional<int> notationOf(const QString& letter)
{
    static const QStringList letters = {QStringLiteral("g"), QStringLiteral("e"), QStringLiteral("f")};
    const qsizetype index = letters.indexOf(letter);
    return index < 0 ? std::nullopt : std::optional<int>(static_cast<int>(index));
}

std::optional<Failure> parseArguments(const QStringList& arguments, Options& options)
{
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith(QLatin1String("--"))) {
            options.positional << argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        QString name = argument;
        std::optional<QString> value;
        if (const qsizetype equals = argument.indexOf(QLatin1Char('=')); equals > 0) {
            name = argument.left(equals);
            value = argument.mid(equals + 1);
        }
        const auto takeValue = [&]() -> std::optional<QString> {
            if (value) {
                return value;
            }
            if (i + 1 < arguments.size()) {
                return arguments[++i];
            }
            return std::nullopt;
        };
        if (name == QLatin1String("--list") && !value) {
            options.list = true;
        } else if (name == QLatin1String("--module") || name == QLatin1String("--notation") ||
                   name == QLatin1String("--precision") || name == QLatin1String("--eval")) {
            const auto text = takeValue();
            if (!text) {
                return Failure{QStringLiteral("option %1 needs a value").arg(name), kExitUsage};
            }
            if (name == QLatin1String("--module")) {
                options.module = *text;
            } else if (name == QLatin1String("--eval")) {
                options.eval = *text;
            } else if (name == QLatin1String("--notation")) {
                const auto notation = notationOf(*text);
                if (!notation) {
                    return Failure{QStringLiteral("notation must be g, e or f, not \"%1\"").arg(*text), kExitUsage};
                }
                options.notation = *notation;
            } else {
                bool ok = false;
                const int precision = text->toInt(&ok);
                if (!ok || precision < kPrecisionMin || precision > kPrecisionMax) {
                    return Failure{QStringLiteral("precision must be a whole number from %1 to %2, not \"%3\"")
                                       .arg(kPrecisionMin)
                                       .arg(kPrecisionMax)
                                       .arg(*text),
                                   kExitUsage};
                }
                options.precision = precision;
            }
        } else {
            return Failure{QStringLiteral("unknown option %1").arg(argument), kExitUsage};
        }
    }
    return std::nullopt;
}

/** Remembers the loader's message so that it can be printed as the error. */
class CapturedMessages final : public MessageBoxes
{
public:
    void show(const QString& text, MessageIcon) override { last = text; }
    QString last;
};

/** The module file: the one given, the one the settings name, or the program folder's only module. */
std::optional<Failure> findModule(const Options& options, const SettingsStore& settings, QString& path)
{
    const QDir programFolder(QCoreApplication::applicationDirPath());
    if (!options.module.isEmpty()) {
        path = options.module;
        if (!QFileInfo::exists(path) && !path.contains(QLatin1Char('/'))) {
            path = programFolder.filePath(path);
        }
        // A bare relative name would make the loader search the library path instead of this folder.
        path = QFileInfo(path).absoluteFilePath();
        return std::nullopt;
    }
    const QString chosen = settings.getString(settings::kSettings, settings::kLanguageDllName);
    if (!chosen.isEmpty()) {
        if (chosen.contains(QLatin1Char('/'))) {
            return Failure{
                QStringLiteral("the language module named in the settings is not a file name: %1").arg(chosen)};
        }
        path = programFolder.filePath(chosen);
        return std::nullopt;
    }
    const QStringList modules = programFolder.entryList({languageModulePattern()}, QDir::Files, QDir::Name);
    if (modules.size() != 1) {
        return Failure{
            modules.isEmpty()
                ? QStringLiteral("no language module in %1").arg(programFolder.path())
                : QStringLiteral("several language modules in %1: choose one with --module").arg(programFolder.path())};
    }
    path = programFolder.filePath(modules.front());
    return std::nullopt;
}

/** A catalogue loaded through a language module; the module stays loaded while it lives. */
struct LoadedCatalogue
{
    std::unique_ptr<LanguageModule> module;
    Catalogue catalogue;
};

std::optional<Failure> loadCatalogue(const Options& options, LoadedCatalogue& loaded)
{
    const SettingsStore settings;
    QString modulePath;
    if (auto failure = findModule(options, settings, modulePath)) {
        return failure;
    }
    loaded.module = LanguageModule::load(modulePath);
    if (!loaded.module || !loaded.module->isValid() || !loaded.module->registerResources()) {
        return Failure{QStringLiteral("not a valid language module: %1").arg(modulePath)};
    }
    const ResourceSource resources(loaded.module->resourceRoot());
    CapturedMessages messages;
    // The unit file lies beside its module: in the program folder, or wherever --module points.
    const CatalogueLoader loader(resources, QFileInfo(modulePath).absolutePath(), settings, messages);
    if (!loader.load(loaded.catalogue)) {
        const QString file = loader.unitFilePath();
        return Failure{QStringLiteral("cannot open the unit file %1%2")
                           .arg(file.isEmpty() ? QStringLiteral("(the module names none)") : file,
                                messages.last.isEmpty() ? QString() : QStringLiteral(": ") + messages.last)};
    }
    // The stored exchange rates take over the currency formulas, as in the conversion window.
    UpdateCurrencyUnits(loaded.catalogue[0], settings);
    return std::nullopt;
}

std::optional<Failure> rubricIndex(const QString& code, int& index)
{
    index = rubricIndexOf(code);
    if (index < 0) {
        return Failure{QStringLiteral("unknown category code %1").arg(code)};
    }
    return std::nullopt;
}

/** The unit a word names, or the failure: an unknown word, or an ambiguous one with its candidates,
 *  one a line, so the person can say which one was meant instead of getting a silent guess. */
std::optional<Failure> findUnit(const Rubric& rubric, const QString& word, const UnitRecord*& unit)
{
    const UnitLookup lookup = lookupUnit(rubric, word);
    unit = lookup.unit;
    if (lookup.ambiguous()) {
        QString message = QStringLiteral("ambiguous unit %1 in category %2; it may be:").arg(word, rubric.code());
        for (const UnitRecord* candidate : lookup.candidates) {
            message += QStringLiteral("\n  ") + candidate->name();
        }
        return Failure{message, kExitUsage};
    }
    if (unit == nullptr) {
        return Failure{QStringLiteral("unknown unit %1 in category %2").arg(word, rubric.code())};
    }
    return std::nullopt;
}

/** The sub-category a unit is listed under, or -1 in a category without sub-categories. */
int sousRubricOf(const Rubric& rubric, const UnitRecord& unit)
{
    for (int i = 0; i < rubric.sousRubricCount(); ++i) {
        if (unit.belongsToSousRubric(i)) {
            return i;
        }
    }
    return -1;
}

/** The window only ever offers two units of one sub-category: a pair across two quantities (curie
 *  and gray) has no meaningful result, so it is refused instead of printing a number. */
std::optional<Failure> sameQuantity(const Rubric& rubric, const UnitRecord& from, const UnitRecord& to)
{
    if (!rubric.hasSousRubrics()) {
        return std::nullopt;
    }
    const int fromQuantity = sousRubricOf(rubric, from);
    const int toQuantity = sousRubricOf(rubric, to);
    if (fromQuantity == toQuantity) {
        return std::nullopt;
    }
    auto quantity = [&rubric](int index) {
        return index >= 0 ? rubric.sousRubric(index) : QStringLiteral("no listed quantity");
    };
    return Failure{QStringLiteral("%1 measures %2 and %3 measures %4: they cannot be converted")
                       .arg(from.name(), quantity(fromQuantity), to.name(), quantity(toQuantity)),
                   kExitUsage};
}

int runList(const Options& options)
{
    if (options.positional.size() > 1) {
        printLine(stderr, kUsage);
        return kExitUsage;
    }
    int only = -1;
    if (!options.positional.isEmpty()) {
        if (auto failure = rubricIndex(options.positional.front(), only)) {
            printLine(stderr, failure->message);
            return failure->exitCode;
        }
    }
    LoadedCatalogue loaded;
    if (auto failure = loadCatalogue(options, loaded)) {
        printLine(stderr, failure->message);
        return failure->exitCode;
    }
    const QChar tab(QLatin1Char('\t'));
    for (int r = 0; r < kRubricCount; ++r) {
        if (only >= 0 && r != only) {
            continue;
        }
        const Rubric& rubric = loaded.catalogue[static_cast<size_t>(r)];
        for (int u = 0; u < rubric.unitCount(); ++u) {
            const UnitRecord& unit = rubric.unit(u);
            printLine(stdout, rubric.code() + tab + unit.name() + tab + unit.fromBase() + tab + unit.toBase() + tab +
                                  unit.tag());
        }
    }
    return kExitOk;
}

int runConversion(const Options& options)
{
    if (options.positional.size() != kConvertArgumentCount) {
        printLine(stderr, kUsage);
        return kExitUsage;
    }
    const QString& code = options.positional[0];
    const QString& value = options.positional[1];
    const QString& fromName = options.positional[2];
    const QString& toName = options.positional[3];
    // A value without a single digit ("abc", "") would silently convert 0.
    if (!std::any_of(value.cbegin(), value.cend(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); })) {
        printLine(stderr, QStringLiteral("the value %1 holds no number").arg(value));
        return kExitUsage;
    }
    int index = -1;
    if (auto failure = rubricIndex(code, index)) {
        printLine(stderr, failure->message);
        return failure->exitCode;
    }
    LoadedCatalogue loaded;
    if (auto failure = loadCatalogue(options, loaded)) {
        printLine(stderr, failure->message);
        return failure->exitCode;
    }
    const Rubric& rubric = loaded.catalogue[static_cast<size_t>(index)];
    const UnitRecord* from = nullptr;
    const UnitRecord* to = nullptr;
    for (auto failure : {findUnit(rubric, fromName, from), findUnit(rubric, toName, to)}) {
        if (failure) {
            printLine(stderr, failure->message);
            return failure->exitCode;
        }
    }
    if (auto failure = sameQuantity(rubric, *from, *to)) {
        printLine(stderr, failure->message);
        return failure->exitCode;
    }
    printLine(stdout, convertValue(value, *from, *to, options.notation, options.precision));
    return kExitOk;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(settings::kCompany);
    QCoreApplication::setApplicationName(settings::kApplication);

    Options options;
    if (auto failure = parseArguments(QCoreApplication::arguments(), options)) {
        printLine(stderr, failure->message);
        return failure->exitCode;
    }
    if (options.eval) {
        if (options.list || !options.positional.isEmpty()) {
            printLine(stderr, kUsage);
            return kExitUsage;
        }
        printLine(stdout, formatNumber(evaluate(*options.eval), 'g', kIntermediateDigits));
        return kExitOk;
    }
    return options.list ? runList(options) : runConversion(options);
}
