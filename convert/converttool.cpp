#include "convert/converttool.h"

#include "app/settingsstore.h"
#include "catalogue/lexicon.h"
#include "catalogue/rubric.h"
#include "catalogue/unitlookup.h"
#include "convert/conversion.h"
#include "convert/evaluate.h"
#include "convert/loadedcatalogue.h"
#include "convert/plaintext.h"
#include "convert/queryreader.h"
#include "currency/ratedates.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>

namespace quantaro {

namespace {

constexpr int kExitOk = kConvertToolOk;
constexpr int kExitFailure = kConvertToolFailure;
constexpr int kExitUsage = kConvertToolUsage;
constexpr int kExitNotFinite = kConvertToolNotFinite;
constexpr int kConvertArgumentCount = 4;
constexpr int kDefaultPrecision = settings::kPrecisionResultDefault;
/** The VALUE that makes the tool read its values from standard input. */
const QString kValuesFromInput = QStringLiteral("-");
/** Bytes read from standard input at a time; the answers so far are written before each read. */
constexpr size_t kInputChunkSize = 64 * 1024;
/** A value line longer than this is no number a person meant: it gets an empty answer, and the
 *  tool keeps no more of it than this, however long the line runs. */
constexpr size_t kLongestValueLine = 4096;

const QString kUsage = QStringLiteral("usage: quantaro-convert [OPTION]... CODE VALUE FROM TO\n"
                                      "       quantaro-convert [OPTION]... CODE - FROM TO\n"
                                      "       quantaro-convert [OPTION]... QUERY\n"
                                      "       quantaro-convert [--module FILE] --list [CODE]\n"
                                      "       quantaro-convert --eval TEXT");

QString helpText()
{
    return kUsage + QStringLiteral(R"(

Converts VALUE, a number or a small expression such as 12*2.54, from the unit FROM to the unit TO
of the category CODE (LEN, TMP, CNY, ...: see --list). With - as VALUE the values are read from
standard input, one a line, and one result a line is written; a line that holds no number gives an
empty line, so that the lines stay paired.
A QUERY such as "5 mi in km", "100 usd eur" or "1,5 kg lb" names the value and the two units
itself, in any category, with or without a connecting word (to, in, as, ->, =, and those of the
module's language); hidden units are not offered, and a query that fits several pairs of units is
refused with them.
A unit is found by the words people use for it: its name and symbol, and the module's words for it
(plurals, spellings, abbreviations such as lbs or mph, ASCII forms such as m2 or um, composite
names such as "square feet" or "miles per hour"). The whole word as written is tried first, then
the same in any case (the first letter's case decides: ml is the millilitre, Ml the megalitre), then
a text in parentheses, then a beginning of three letters or more that only one unit has. Where a
word names several variants, the one of the territory of LC_ALL, LC_MEASUREMENT or LANG is taken
(US customary under en_US, imperial under en_GB and en_IE), else the international unit; a word
that still fits several units is refused with their names. A query may add values in several units
("5 ft 10 in in cm") and ask for the answer in two ("180 cm in ft and in", "ft+in").

Options:
  --module FILE      the language module whose unit names and unit file are used (default: the
                     language chosen in the program, or the program folder's only module)
  --notation g|e|f   the result's notation: general, exponent or fixed (default g)
  --precision N      the result's precision, %1 to %2 (default %3)
  --list [CODE]      list the units of every category, or of one: code, name, formulas, tag, and
                     where the module's lexicon knows the unit, its territories and its words
  --eval TEXT        evaluate an expression and write it with 15 significant digits
  -h, --help         show this help and exit
  --version          show the version and exit
  --                 end of the options
An option's value may also follow an equals sign: --precision=4.

Exit status:
  0  converted
  1  no result: unknown category or unit, no language module, no unit file
  2  usage error, an ambiguous unit, or two units of different quantities
  3  a value is not a finite number (inf or nan is written all the same))")
                        .arg(kPrecisionMin)
                        .arg(kPrecisionMax)
                        .arg(kDefaultPrecision);
}

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
    bool help = false;
    bool version = false;
    std::optional<QString> eval;
    QStringList positional;
};

/** The streams and surroundings of one run. */
struct Streams
{
    QIODevice& in;
    QIODevice& out;
    QIODevice& err;
    const ConvertToolEnvironment& environment;
    /** Why a line could not be written to out; nothing while every one was. */
    std::optional<QString> outFailure;
};

void writeLine(QIODevice& device, const QString& text, std::optional<QString>* failure)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    if (device.write(bytes) != bytes.size() && failure != nullptr && !*failure) {
        *failure = device.errorString();
    }
}

/** A line of the results; a failure is said once the run ends. */
void printOut(Streams& io, const QString& text)
{
    writeLine(io.out, text, &io.outFailure);
}

/** A line of a message; nowhere is left to say that it could not be written. */
void printError(Streams& io, const QString& text)
{
    writeLine(io.err, text, nullptr);
}

/** Says why the run fails, and gives its exit status. */
int told(Streams& io, const Failure& failure)
{
    printError(io, failure.message);
    return failure.exitCode;
}

/** The settings the run reads: the given file, or the user's. */
std::unique_ptr<const SettingsStore> settingsOf(const ConvertToolEnvironment& environment)
{
    return environment.settingsFile.isEmpty() ? std::make_unique<const SettingsStore>()
                                              : std::make_unique<const SettingsStore>(environment.settingsFile);
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
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!optionsEnded && argument == QLatin1String("-h")) {
            options.help = true;
            continue;
        }
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
        } else if (name == QLatin1String("--help") && !value) {
            options.help = true;
        } else if (name == QLatin1String("--version") && !value) {
            options.version = true;
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
            return Failure{QStringLiteral("unknown option %1\n%2").arg(argument, kUsage), kExitUsage};
        }
    }
    return std::nullopt;
}

std::optional<Failure> loadCatalogue(Streams& io, const Options& options, LoadedCatalogue& loaded)
{
    const auto settings = settingsOf(io.environment);
    QString modulePath;
    if (auto failure =
            LoadedCatalogue::findModule(options.module, *settings, io.environment.programFolder, modulePath)) {
        return Failure{*failure};
    }
    if (auto failure = loaded.load(modulePath, *settings)) {
        return Failure{*failure};
    }
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
std::optional<Failure> findUnit(const Rubric& rubric, const RubricWords& words, const QString& word,
                                const UnitRecord*& unit)
{
    const UnitLookup lookup = words.lookup(word);
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

int runList(Streams& io, const Options& options)
{
    if (options.positional.size() > 1) {
        printError(io, kUsage);
        return kExitUsage;
    }
    int only = -1;
    if (!options.positional.isEmpty()) {
        if (auto failure = rubricIndex(options.positional.front(), only)) {
            return told(io, *failure);
        }
    }
    LoadedCatalogue loaded;
    if (auto failure = loadCatalogue(io, options, loaded)) {
        return told(io, *failure);
    }
    if (only == kCurrencyRubric) {
        // On standard error, so the listing stays one unit a line: where the rates come from.
        for (const QString& line : rateSourceLines(*settingsOf(io.environment))) {
            printError(io, line);
        }
    }
    const QChar tab(QLatin1Char('\t'));
    for (int r = 0; r < kRubricCount; ++r) {
        if (only >= 0 && r != only) {
            continue;
        }
        const Rubric& rubric = loaded.catalogue()[static_cast<size_t>(r)];
        for (int u = 0; u < rubric.unitCount(); ++u) {
            const UnitRecord& unit = rubric.unit(u);
            QString line =
                rubric.code() + tab + unit.name() + tab + unit.fromBase() + tab + unit.toBase() + tab + unit.tag();
            // The lexicon's territories and words, where the module has any for the unit.
            const Lexicon::Entry* entry = loaded.lexicon().entry(rubric.code(), unit.name());
            if (entry != nullptr && (!entry->words.isEmpty() || !entry->regions.isEmpty())) {
                line += tab + entry->regions.join(QLatin1Char(' ')) + tab + entry->words.join(QLatin1Char('|'));
            }
            printOut(io, line);
        }
    }
    return kExitOk;
}

bool holdsDigit(QStringView text)
{
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

/** One converted value; false when it is not a finite number. A text without a digit (an empty
 *  line, "abc") would silently convert 0, so it gets no result at all. */
bool appendConversion(QStringView value, const UnitRecord& from, const UnitRecord& to, const Options& options,
                      std::string& out)
{
    if (!holdsDigit(value)) {
        return true;
    }
    const double result = convertedValue(value, from, to);
    out += formatResult(result, options.notation, options.precision).toStdString();
    return std::isfinite(result);
}

/** The failed read or write on one line, with the system's reason. */
void reportIoError(Streams& io, const char* what, const QString& reason)
{
    printError(io, QStringLiteral("%1: %2").arg(QLatin1String(what), reason));
}

/** Writes all of text to the output; false when the reader went away or the disk is full. */
bool writeAll(Streams& io, const std::string& text)
{
    return text.empty() || io.out.write(text.data(), static_cast<qint64>(text.size())) == qint64(text.size());
}

/** Adds to a line read in pieces no more than one byte past the longest value line. */
void keepOfLine(std::string& line, std::string_view piece)
{
    const size_t room = kLongestValueLine + 1 - std::min(line.size(), kLongestValueLine + 1);
    line.append(piece.substr(0, room));
}

/** Values from standard input, one a line, answers one a line. The answers gathered so far are
 *  written before every read, so a script that writes one line and waits gets its answer. */
int convertInputLines(Streams& io, const UnitRecord& from, const UnitRecord& to, const Options& options)
{
    std::array<char, kInputChunkSize> chunk{};
    std::string pending; // a line not yet ended
    std::string out;
    bool allFinite = true;
    const auto convertLine = [&](std::string_view line) {
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.size() > kLongestValueLine) {
            out += '\n';
            return;
        }
        // A line that is no text (a NUL, bytes that are no UTF-8) names no value, even when digits
        // are left once the odd bytes are dropped.
        const std::optional<QString> value =
            plainTextOf(QByteArrayView(line.data(), static_cast<qsizetype>(line.size())));
        if (value) {
            allFinite = appendConversion(*value, from, to, options, out) && allFinite;
        }
        out += '\n';
    };
    for (;;) {
        if (!writeAll(io, out)) {
            reportIoError(io, "cannot write the results", io.out.errorString());
            return kExitFailure;
        }
        out.clear();
        const qint64 n = io.in.read(chunk.data(), static_cast<qint64>(chunk.size()));
        if (n < 0) {
            reportIoError(io, "cannot read the values", io.in.errorString());
            return kExitFailure;
        }
        if (n == 0) {
            break;
        }
        std::string_view data(chunk.data(), static_cast<size_t>(n));
        for (size_t newline = data.find('\n'); newline != std::string_view::npos; newline = data.find('\n')) {
            if (pending.empty()) {
                convertLine(data.substr(0, newline));
            } else {
                keepOfLine(pending, data.substr(0, newline));
                convertLine(pending);
                pending.clear();
            }
            data.remove_prefix(newline + 1);
        }
        keepOfLine(pending, data);
    }
    if (!pending.empty()) {
        convertLine(pending);
    }
    if (!writeAll(io, out)) {
        reportIoError(io, "cannot write the results", io.out.errorString());
        return kExitFailure;
    }
    return allFinite ? kExitOk : kExitNotFinite;
}

/** One query as the desktop's search box reads it. */
int runQuery(Streams& io, const Options& options)
{
    LoadedCatalogue loaded;
    if (auto failure = loadCatalogue(io, options, loaded)) {
        return told(io, *failure);
    }
    const Catalogue visible = visibleCatalogue(loaded.catalogue());
    const QString& query = options.positional.front();
    const QueryIndex index(visible, &loaded.lexicon(), io.environment.region);
    const QueryReading reading = readQuery(query, visible, loaded.lexicon().connectingWords(), &index);
    if (!reading.isAnswer()) {
        printError(io, QStringLiteral("not a conversion: %1").arg(query.left(kQueryMaxLength)));
        return kExitFailure;
    }
    if (reading.ambiguous()) {
        QString message = QStringLiteral("ambiguous query %1; it may be:").arg(query);
        for (const QueryAnswer& answer : reading.answers) {
            message += QStringLiteral("\n  ") + answerDescription(answer, visible[static_cast<size_t>(answer.rubric)],
                                                                  options.notation, options.precision, true);
        }
        printError(io, message);
        return kExitUsage;
    }
    std::string out = answerTitle(reading.answers.front(), options.notation, options.precision, false).toStdString();
    out += '\n';
    if (!writeAll(io, out)) {
        reportIoError(io, "cannot write the result", io.out.errorString());
        return kExitFailure;
    }
    return kExitOk;
}

int runConversion(Streams& io, const Options& options)
{
    if (options.positional.size() == 1) {
        return runQuery(io, options);
    }
    if (options.positional.size() != kConvertArgumentCount) {
        printError(io, kUsage);
        return kExitUsage;
    }
    const QString& code = options.positional[0];
    const QString& value = options.positional[1];
    const QString& fromName = options.positional[2];
    const QString& toName = options.positional[3];
    const bool fromInput = value == kValuesFromInput;
    if (!fromInput && !holdsDigit(value)) {
        printError(io, QStringLiteral("the value %1 holds no number").arg(value));
        return kExitUsage;
    }
    int index = -1;
    if (auto failure = rubricIndex(code, index)) {
        return told(io, *failure);
    }
    LoadedCatalogue loaded;
    if (auto failure = loadCatalogue(io, options, loaded)) {
        return told(io, *failure);
    }
    const Rubric& rubric = loaded.catalogue()[static_cast<size_t>(index)];
    const UnitRecord* from = nullptr;
    const UnitRecord* to = nullptr;
    const RubricWords words(rubric, &loaded.lexicon(), io.environment.region);
    for (auto failure : {findUnit(rubric, words, fromName, from), findUnit(rubric, words, toName, to)}) {
        if (failure) {
            return told(io, *failure);
        }
    }
    if (auto failure = sameQuantity(rubric, *from, *to)) {
        return told(io, *failure);
    }
    if (fromInput) {
        return convertInputLines(io, *from, *to, options);
    }
    std::string out;
    const bool finite = appendConversion(value, *from, *to, options, out);
    out += '\n';
    if (!writeAll(io, out)) {
        reportIoError(io, "cannot write the result", io.out.errorString());
        return kExitFailure;
    }
    return finite ? kExitOk : kExitNotFinite;
}

/** exitCode, unless a line written to the output did not all arrive (a full disk). */
int finishOutput(Streams& io, int exitCode)
{
    if (io.outFailure) {
        reportIoError(io, "cannot write the output", *io.outFailure);
        return kExitFailure;
    }
    return exitCode;
}

} // namespace

int runConvertTool(const QStringList& arguments, QIODevice& in, QIODevice& out, QIODevice& err,
                   const ConvertToolEnvironment& environment)
{
    Streams io{in, out, err, environment, std::nullopt};
    Options options;
    if (auto failure = parseArguments(arguments, options)) {
        return told(io, *failure);
    }
    // An argument that is no valid text is refused whole: its decoded form has stand-ins for the bytes
    // that could not be read, and a value or unit read without them would be another one.
    const QStringList texts = options.positional + (options.eval ? QStringList{*options.eval} : QStringList());
    if (std::any_of(texts.cbegin(), texts.cend(), [](const QString& text) { return !isPlainText(text); })) {
        printError(io, QStringLiteral("an argument is not valid text"));
        return kExitUsage;
    }
    if (options.help) {
        printOut(io, helpText());
        return finishOutput(io, kExitOk);
    }
    if (options.version) {
        printOut(io, QStringLiteral("quantaro-convert %1").arg(io.environment.version));
        return finishOutput(io, kExitOk);
    }
    if (options.eval) {
        if (options.list || !options.positional.isEmpty()) {
            printError(io, kUsage);
            return kExitUsage;
        }
        const double value = evaluate(*options.eval);
        printOut(io, formatNumber(value, 'g', kIntermediateDigits));
        return finishOutput(io, std::isfinite(value) ? kExitOk : kExitNotFinite);
    }
    return finishOutput(io, options.list ? runList(io, options) : runConversion(io, options));
}

DescriptorDevice::DescriptorDevice(int descriptor, OpenMode mode) : m_descriptor(descriptor)
{
    open(mode | Unbuffered);
}

qint64 DescriptorDevice::readData(char* data, qint64 maxSize)
{
    for (;;) {
        const ssize_t n = ::read(m_descriptor, data, static_cast<size_t>(maxSize));
        if (n >= 0) {
            return n;
        }
        if (errno != EINTR) {
            setErrorString(QString::fromLocal8Bit(std::strerror(errno)));
            return -1;
        }
    }
}

qint64 DescriptorDevice::writeData(const char* data, qint64 maxSize)
{
    qint64 written = 0;
    while (written < maxSize) {
        const ssize_t n = ::write(m_descriptor, data + written, static_cast<size_t>(maxSize - written));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            setErrorString(QString::fromLocal8Bit(std::strerror(n < 0 ? errno : EIO)));
            return -1;
        }
        written += n;
    }
    return written;
}

} // namespace quantaro
