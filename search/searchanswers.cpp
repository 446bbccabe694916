#include "search/searchanswers.h"

#include "app/settingsstore.h"
#include "catalogue/unitrecord.h"
#include "convert/conversion.h"
#include "convert/evaluate.h"
#include "convert/plaintext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <cmath>
#include <sys/stat.h>

namespace quantaro {

namespace {

/** Separates the fields of an id: the unit file's own separator, which no unit name, code or query
 *  value holds. */
constexpr QChar kIdSeparator = u';';
constexpr int kIdFields = 5;
/** An answer in two units ("5 ft 10.87 in") names the second in a sixth field. */
constexpr int kIdFieldsWithRest = 6;
/** The last field: the answer is the query's only one, or one of its candidates. */
const QString kCertain = QStringLiteral("1");
const QString kCandidate = QStringLiteral("0");
/** The longest id this service makes: a code, two unit names, a value and the certainty. */
constexpr qsizetype kIdMaxLength = 2 * kUnitTextMaxLength + kQueryMaxLength + 2 * kIdFields;
/** The language part of a locale name: "fr" of "fr_FR". */
constexpr qsizetype kLanguageCodeLength = 2;

QString idOf(const QString& code, const QueryAnswer& answer, bool certain)
{
    QStringList fields{code, answer.from->name(), answer.to->name(), answer.valueText, certain ? kCertain : kCandidate};
    if (answer.toRest != nullptr) {
        fields << answer.toRest->name();
    }
    return fields.join(kIdSeparator);
}

/** Identity, size and time of a file; all zero when there is none. */
SearchAnswers::FileStamp stampOf(const QString& path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        return {};
    }
    return {static_cast<quint64>(status.st_ino), static_cast<qint64>(status.st_size),
            static_cast<qint64>(status.st_mtim.tv_sec), static_cast<qint64>(status.st_mtim.tv_nsec)};
}

/** Before the first start chose a language, of several modules the one of the system's language,
 *  else the English one: a search box has no window to ask in. Empty when neither is there. */
QString fallbackModule(const QString& programFolder)
{
    const QDir folder(programFolder);
    for (const QString& language : {QLocale().name().left(kLanguageCodeLength), QStringLiteral("en")}) {
        const QString path = folder.filePath(QStringLiteral("quantaro_%1.so").arg(language));
        if (QFileInfo::exists(path)) {
            return path;
        }
    }
    return {};
}

} // namespace

SearchAnswers::SearchAnswers(QString programFolder, QString settingsFile)
    : m_programFolder(std::move(programFolder)), m_settingsFile(std::move(settingsFile))
{
}

SearchAnswers::~SearchAnswers() = default;

QString SearchAnswers::queryOf(const QStringList& terms)
{
    return terms.join(QLatin1Char(' '));
}

QString SearchAnswers::rubricCodeOf(const QString& id)
{
    const QStringList fields = id.split(kIdSeparator);
    return fields.size() == kIdFields && rubricIndexOf(fields.front()) >= 0 ? fields.front() : QString();
}

QStringList SearchAnswers::openArguments(const QString& id)
{
    // The id comes back from the desktop and may have been made by anyone on the bus: only an answer
    // this service would give itself (a category, two of its units and a value that converts) opens.
    if (!result(id)) {
        return {};
    }
    // CODE FROM TO VALUE: neither the certainty nor the second unit of an answer in two units.
    return id.split(kIdSeparator).mid(0, kIdFields - 1);
}

bool SearchAnswers::refresh()
{
    const auto openSettings = [this] {
        return m_settingsFile.isEmpty() ? std::make_unique<SettingsStore>()
                                        : std::make_unique<SettingsStore>(m_settingsFile);
    };
    if (m_settingsPath.isEmpty()) {
        m_settingsPath = openSettings()->fileName();
    }
    // Only a changed file is read again. A write replaces it by a rename (a new inode), so it is read
    // whole, old or new.
    const FileStamp stamp = stampOf(m_settingsPath);
    if ((m_loaded || m_loadFailed) && stamp == m_settingsStamp) {
        return m_loaded != nullptr;
    }
    m_settingsStamp = stamp;
    const std::unique_ptr<SettingsStore> settings = openSettings();
    auto loaded = std::make_unique<LoadedCatalogue>();
    QString modulePath;
    if (LoadedCatalogue::findModule({}, *settings, m_programFolder, modulePath)) {
        modulePath = fallbackModule(m_programFolder);
    }
    if (modulePath.isEmpty() || loaded->load(modulePath, *settings)) {
        // No answers rather than an error: the search box is no place for one.
        m_loaded.reset();
        m_loadFailed = true;
        return false;
    }
    m_loadFailed = false;
    m_loaded = std::move(loaded);
    m_visible = visibleCatalogue(m_loaded->catalogue());
    m_index = std::make_unique<QueryIndex>(m_visible, &m_loaded->lexicon(), userRegion());
    m_connectingWords = m_loaded->lexicon().connectingWords();
    for (int r = 0; r < kRubricCount; ++r) {
        const QString code = rubricCode(r);
        const int notation =
            settings->getInt(settings::kSettings, code + settings::kViewResultSuffix, settings::kViewResultDefault);
        const int precision = settings->getInt(settings::kSettings, code + settings::kPrecisionResultSuffix,
                                               settings::kPrecisionResultDefault);
        m_notation[static_cast<size_t>(r)] =
            (notation >= kNotationMin && notation <= kNotationMax) ? notation : settings::kViewResultDefault;
        m_precision[static_cast<size_t>(r)] =
            (precision >= kPrecisionMin && precision <= kPrecisionMax) ? precision : settings::kPrecisionResultDefault;
    }
    return true;
}

SearchResult SearchAnswers::resultOf(const QueryAnswer& answer, bool certain) const
{
    const auto r = static_cast<size_t>(answer.rubric);
    const Rubric& rubric = m_visible[r];
    SearchResult result;
    result.id = idOf(rubric.code(), answer, certain);
    result.title = answerTitle(answer, m_notation[r], m_precision[r], !certain);
    result.description = answerDescription(answer, rubric, m_notation[r], m_precision[r], !certain);
    result.rubricCode = rubric.code();
    result.certain = certain;
    return result;
}

QList<SearchResult> SearchAnswers::answer(const QString& query)
{
    // Cheap refusals first: most of what a person types into the box is no conversion.
    if (query.size() > kQueryMaxLength || !isPlainText(query) || !refresh()) {
        return {};
    }
    const QueryReading reading = readQuery(query, m_visible, m_connectingWords, m_index.get());
    QList<SearchResult> results;
    for (const QueryAnswer& answer : reading.answers) {
        results.append(resultOf(answer, !reading.ambiguous()));
    }
    return results;
}

std::optional<SearchResult> SearchAnswers::result(const QString& id)
{
    // An id is held to the bounds of the query it was made from.
    if (id.size() > kIdMaxLength || !isPlainText(id)) {
        return std::nullopt;
    }
    const QStringList fields = id.split(kIdSeparator);
    if ((fields.size() != kIdFields && fields.size() != kIdFieldsWithRest) || rubricIndexOf(fields.front()) < 0 ||
        fields[3].size() > kQueryMaxLength || !hasDigit(fields[3]) ||
        (fields[4] != kCertain && fields[4] != kCandidate) || !refresh()) {
        return std::nullopt;
    }
    const int r = rubricIndexOf(fields[0]);
    const Rubric& rubric = m_visible[static_cast<size_t>(r)];
    const UnitRecord* from = nullptr;
    const UnitRecord* to = nullptr;
    const UnitRecord* rest = nullptr;
    const bool withRest = fields.size() == kIdFieldsWithRest;
    for (int u = 0; u < rubric.unitCount(); ++u) {
        if (rubric.unit(u).name() == fields[1]) {
            from = &rubric.unit(u);
        }
        if (rubric.unit(u).name() == fields[2]) {
            to = &rubric.unit(u);
        }
        if (withRest && rubric.unit(u).name() == fields[kIdFields]) {
            rest = &rubric.unit(u);
        }
    }
    if (from == nullptr || to == nullptr || (withRest && rest == nullptr)) {
        return std::nullopt;
    }
    QueryAnswer answer{r, from, to, fields[3], evaluate(fields[3]), 0, rest, 0};
    if (!convertAnswer(answer)) {
        return std::nullopt;
    }
    return resultOf(answer, fields[4] == kCertain);
}

} // namespace quantaro
