#include "convert/queryreader.h"

#include "catalogue/unitlookup.h"
#include "catalogue/unitrecord.h"
#include "convert/conversion.h"
#include "convert/evaluate.h"

#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace quantaro {

namespace {

/** The replacement character: text that was not valid UTF-8 before it became a string. */
constexpr char16_t kReplacementCharacter = u'\uFFFD';
const QString kArrow = QStringLiteral("->");
const QString kEquals = QStringLiteral("=");
constexpr QChar kDegreeSign(0x00B0);
const QString kDescriptionSeparator = QStringLiteral(" \u00B7 ");

/** The value a query begins with: a number (decimal point or comma, an exponent) or a chain of
 *  numbers joined by + - * /, each with an optional sign. */
const QRegularExpression& valuePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^[-+]?(?:[0-9]+(?:[.,][0-9]*)?|[.,][0-9]+)(?:[eE][-+]?[0-9]+)?"
                       "(?:\\s*[-*/+]\\s*[-+]?(?:[0-9]+(?:[.,][0-9]*)?|[.,][0-9]+)(?:[eE][-+]?[0-9]+)?)*"));
    return pattern;
}

bool holdsControlOrBrokenText(QStringView text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control || c.unicode() == kReplacementCharacter) {
            return true;
        }
    }
    return false;
}

/** One way of cutting the words after the value into the two units. */
struct Split
{
    QString from;
    QString to;
};

QString joined(const QStringList& words, qsizetype first, qsizetype end)
{
    return words.mid(first, end - first).join(QLatin1Char(' '));
}

/** The candidates a lookup found: its unit, or every unit of an ambiguous word. */
QList<const UnitRecord*> foundUnits(const UnitLookup& lookup)
{
    if (lookup.unit != nullptr) {
        return {lookup.unit};
    }
    return lookup.candidates;
}

class Reader
{
public:
    Reader(const Catalogue& catalogue, const QueryIndex* index, QString valueText, double value)
        : m_catalogue(catalogue), m_index(index), m_valueText(std::move(valueText)), m_value(value)
    {
    }

    /** Adds the readings of one split in every category. */
    void read(const Split& split)
    {
        for (int r = 0; r < kRubricCount; ++r) {
            if (m_index != nullptr && (!m_index->mayName(r, split.from) || !m_index->mayName(r, split.to))) {
                continue;
            }
            const Rubric& rubric = m_catalogue[static_cast<size_t>(r)];
            const UnitLookup from = lookupUnit(rubric, split.from);
            if (from.unit == nullptr && !from.ambiguous()) {
                continue;
            }
            const UnitLookup to = lookupUnit(rubric, split.to);
            if (to.unit == nullptr && !to.ambiguous()) {
                continue;
            }
            const bool certain = from.unit != nullptr && to.unit != nullptr;
            for (const UnitRecord* fromUnit : foundUnits(from)) {
                for (const UnitRecord* toUnit : foundUnits(to)) {
                    const bool whole = namesWhole(*fromUnit, split.from) && namesWhole(*toUnit, split.to);
                    add(r, *fromUnit, *toUnit, !certain ? Rank::Candidate : whole ? Rank::Named : Rank::Begun);
                }
            }
        }
    }

    /** The readings of the best rank, at most kQueryMaxAnswers. */
    QueryReading reading() const
    {
        QueryReading result;
        for (const QList<QueryAnswer>& answers : m_ranked) {
            if (!answers.isEmpty()) {
                result.answers = answers.mid(0, kQueryMaxAnswers);
                break;
            }
        }
        return result;
    }

    bool empty() const
    {
        return std::all_of(m_ranked.cbegin(), m_ranked.cend(), [](const auto& answers) { return answers.isEmpty(); });
    }

private:
    /** How well a reading fits: both units named by a whole name, symbol or text in parentheses;
     *  one known only by the beginning of its name ("mi" of "millikelvin"); or candidates of an
     *  ambiguous word. A better rank hides the worse ones. */
    enum class Rank
    {
        Named,
        Begun,
        Candidate,
        Count
    };

    /** Whether word names the unit by more than a beginning of its name. */
    static bool namesWhole(const UnitRecord& unit, const QString& word)
    {
        const QString symbol = unitSymbol(unit.name());
        return unit.name().compare(word, Qt::CaseInsensitive) == 0 ||
               nameWithoutSymbol(unit.name()).compare(word, Qt::CaseInsensitive) == 0 ||
               symbol.compare(word, Qt::CaseInsensitive) == 0 ||
               (symbol.startsWith(kDegreeSign) && symbol.mid(1).compare(word, Qt::CaseInsensitive) == 0) ||
               unit.name().contains(QLatin1Char('(') + word + QLatin1Char(')'), Qt::CaseInsensitive);
    }

    void add(int rubricIndex, const UnitRecord& from, const UnitRecord& to, Rank rank)
    {
        const Rubric& rubric = m_catalogue[static_cast<size_t>(rubricIndex)];
        if (rubric.hasSousRubrics() && sousRubricOf(rubric, from) != sousRubricOf(rubric, to)) {
            return;
        }
        QList<QueryAnswer>& answers = m_ranked[static_cast<size_t>(rank)];
        for (const QueryAnswer& known : std::as_const(answers)) {
            if (known.from == &from && known.to == &to) {
                return;
            }
        }
        if (answers.size() > kQueryMaxAnswers) {
            return; // enough to say the query is ambiguous
        }
        const double result = convertedValue(m_valueText, from, to);
        if (!std::isfinite(result)) {
            return;
        }
        answers.append(QueryAnswer{rubricIndex, &from, &to, m_valueText, m_value, result});
    }

    const Catalogue& m_catalogue;
    const QueryIndex* m_index;
    QString m_valueText;
    double m_value;
    std::array<QList<QueryAnswer>, static_cast<size_t>(Rank::Count)> m_ranked;
};

/** The unit words after the value, with "->" and "=" made words of their own even when written
 *  against a unit ("5 mi->km"). Empty when there are too many. */
QStringList unitWords(QStringView rest)
{
    QString spaced = rest.toString();
    spaced.replace(kArrow, QLatin1Char(' ') + kArrow + QLatin1Char(' '));
    spaced.replace(kEquals, QLatin1Char(' ') + kEquals + QLatin1Char(' '));
    QStringList words = spaced.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (words.size() > kQueryMaxWords) {
        return {};
    }
    return words;
}

} // namespace

QStringList englishConnectingWords()
{
    return {QStringLiteral("to"), QStringLiteral("in"), QStringLiteral("as"), kArrow, kEquals};
}

QStringList connectingWordsOf(const QString& language)
{
    QStringList words = englishConnectingWords();
    if (language.startsWith(QStringLiteral("Fran"), Qt::CaseInsensitive) ||
        language.compare(QStringLiteral("French"), Qt::CaseInsensitive) == 0) {
        words << QStringLiteral("en") << QStringLiteral("vers");
    } else if (language.compare(QStringLiteral("Deutsch"), Qt::CaseInsensitive) == 0 ||
               language.compare(QStringLiteral("German"), Qt::CaseInsensitive) == 0) {
        words << QStringLiteral("nach");
    }
    return words;
}

int sousRubricOf(const Rubric& rubric, const UnitRecord& unit)
{
    for (int i = 0; i < rubric.sousRubricCount(); ++i) {
        if (unit.belongsToSousRubric(i)) {
            return i;
        }
    }
    return -1;
}

QueryIndex::QueryIndex(const Catalogue& catalogue)
{
    for (size_t r = 0; r < catalogue.size(); ++r) {
        QStringList& keys = m_keys[r];
        const Rubric& rubric = catalogue[r];
        for (int u = 0; u < rubric.unitCount(); ++u) {
            const QString& name = rubric.unit(u).name();
            const QString symbol = unitSymbol(name);
            keys << name.toCaseFolded() << symbol.toCaseFolded();
            if (symbol.startsWith(kDegreeSign)) {
                keys << symbol.mid(1).toCaseFolded();
            }
            for (qsizetype open = name.indexOf(QLatin1Char('(')); open >= 0;
                 open = name.indexOf(QLatin1Char('('), open + 1)) {
                keys << name.mid(open + 1).toCaseFolded();
            }
        }
        keys.removeAll(QString());
        keys.sort();
    }
}

bool QueryIndex::mayName(int rubric, const QString& word) const
{
    const QStringList& keys = m_keys[static_cast<size_t>(rubric)];
    const QString folded = word.trimmed().toCaseFolded();
    const auto first = std::lower_bound(keys.cbegin(), keys.cend(), folded);
    return first != keys.cend() && first->startsWith(folded);
}

QueryReading readQuery(QStringView query, const Catalogue& catalogue, const QStringList& connectingWords,
                       const QueryIndex* index)
{
    if (query.size() > kQueryMaxLength || holdsControlOrBrokenText(query)) {
        return {};
    }
    const QString text = query.trimmed().toString();
    const QRegularExpressionMatch value = valuePattern().match(text);
    if (!value.hasMatch()) {
        return {};
    }
    const QString valueText = value.captured(0);
    const double number = evaluate(valueText);
    if (!std::isfinite(number)) {
        return {};
    }
    const QStringList words = unitWords(QStringView(text).mid(value.capturedEnd(0)));
    // A query that ends with a connecting word is still being typed: its second unit is yet to come.
    if (words.isEmpty() || connectingWords.contains(words.back(), Qt::CaseInsensitive)) {
        return {};
    }
    const qsizetype count = words.size();
    Reader joinedReader(catalogue, index, valueText, number);
    for (qsizetype k = 1; k + 1 < count; ++k) {
        if (connectingWords.contains(words[k], Qt::CaseInsensitive)) {
            joinedReader.read(Split{joined(words, 0, k), joined(words, k + 1, count)});
        }
    }
    if (!joinedReader.empty()) {
        return joinedReader.reading();
    }
    Reader plainReader(catalogue, index, valueText, number);
    for (qsizetype k = 1; k < count; ++k) {
        plainReader.read(Split{joined(words, 0, k), joined(words, k, count)});
    }
    return plainReader.reading();
}

Catalogue visibleCatalogue(const Catalogue& catalogue)
{
    Catalogue visible;
    for (size_t r = 0; r < catalogue.size(); ++r) {
        const Rubric& rubric = catalogue[r];
        Rubric& shown = visible[r];
        shown.setName(rubric.name());
        shown.setCode(rubric.code());
        for (int s = 0; s < rubric.sousRubricCount(); ++s) {
            shown.addSousRubric(rubric.sousRubric(s));
        }
        for (int u = 0; u < rubric.unitCount(); ++u) {
            if (!rubric.unit(u).hidden()) {
                shown.addUnit(rubric.unit(u));
            }
        }
    }
    return visible;
}

QString answerTitle(const QueryAnswer& answer, int notation, int precision, bool inFull)
{
    const QString symbol = unitSymbol(answer.to->name());
    const QString unit = inFull || symbol.isEmpty() ? nameWithoutSymbol(answer.to->name()) : symbol;
    return formatResult(answer.result, notation, precision) + QLatin1Char(' ') + unit;
}

QString answerDescription(const QueryAnswer& answer, const Rubric& rubric, int notation, int precision)
{
    return formatNumber(answer.value, 'g', kIntermediateDigits) + QLatin1Char(' ') +
           nameWithoutSymbol(answer.from->name()) + QStringLiteral(" = ") +
           formatResult(answer.result, notation, precision) + QLatin1Char(' ') + nameWithoutSymbol(answer.to->name()) +
           kDescriptionSeparator + rubric.name();
}

} // namespace quantaro
