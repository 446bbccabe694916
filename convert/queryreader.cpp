#include "convert/queryreader.h"

#include "catalogue/lexicon.h"
#include "catalogue/unitlookup.h"
#include "catalogue/unitrecord.h"
#include "convert/conversion.h"
#include "convert/evaluate.h"
#include "convert/plaintext.h"

#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <utility>

namespace quantaro {

namespace {

const QString kPlus = QStringLiteral("+");
/** The question marks a query may end with, the ASCII one and the full-width one of Chinese and Japanese. */
constexpr QChar kQuestionMarks[] = {QChar(u'?'), QChar(0xFF1F)};
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

/** One way of cutting the words after the value into the two units. */
struct Split
{
    QString from;
    QString to;
};

/** Whether word is one of words, without regard to case. */
bool containsWord(const QStringList& words, const QString& word)
{
    const QString folded = foldedWord(word);
    return std::any_of(words.cbegin(), words.cend(), [&](const QString& known) { return foldedWord(known) == folded; });
}

/** How many of the query's words from index first make a connecting word, the longest one there
 *  ("in quante" before "in"); 0 when none begins there. */
qsizetype connectorLength(const QStringList& words, qsizetype first, const QStringList& connectingWords)
{
    qsizetype longest = 0;
    for (const QString& connecting : connectingWords) {
        const QStringList parts = connecting.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.size() <= longest || first + parts.size() > words.size()) {
            continue;
        }
        bool same = true;
        for (qsizetype i = 0; i < parts.size() && same; ++i) {
            same = foldedWord(parts[i]) == foldedWord(words[first + i]);
        }
        if (same) {
            longest = parts.size();
        }
    }
    return longest;
}

/** Whether a character belongs to a script written without spaces between words. */
bool isUnspacedScript(char32_t character)
{
    const QChar::Script script = QChar::script(character);
    return script == QChar::Script_Han || script == QChar::Script_Hiragana || script == QChar::Script_Katakana;
}

/** Whether text is written in a script without spaces: some character of one, and no letter of
 *  another script (digits, marks and the long-vowel mark "ー", which belong to none, may stand in it). */
bool isUnspaced(QStringView text)
{
    bool unspaced = false;
    for (const char32_t character : text.toUcs4()) {
        const QChar::Script script = QChar::script(character);
        if (isUnspacedScript(character)) {
            unspaced = true;
        } else if (script != QChar::Script_Common && script != QChar::Script_Inherited) {
            return false;
        }
    }
    return unspaced;
}

/** The words of a script without spaces among words, longest first, so that the longer of two
 *  words that begin alike is found ("等于多少" before "等于"). */
QStringList unspacedWords(const QStringList& words)
{
    QStringList found;
    for (const QString& word : words) {
        if (isUnspaced(word) && !found.contains(word)) {
            found.append(word);
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const QString& a, const QString& b) { return a.size() > b.size(); });
    return found;
}

/** A word cut at the marks (connecting, joining and end words of a script without spaces) it holds,
 *  each mark a word of its own, scanning from the left: "公里等于多少英里" gives "公里", "等于多少", "英里". */
QStringList cutAtMarks(const QString& word, const QStringList& marks)
{
    QStringList parts;
    qsizetype start = 0;
    qsizetype at = 0;
    while (at < word.size()) {
        const QStringView rest = QStringView(word).mid(at);
        const auto mark =
            std::find_if(marks.cbegin(), marks.cend(), [&](const QString& m) { return rest.startsWith(m); });
        if (mark == marks.cend()) {
            ++at;
            continue;
        }
        if (at > start) {
            parts.append(word.mid(start, at - start));
        }
        parts.append(*mark);
        at += mark->size();
        start = at;
    }
    if (start < word.size()) {
        parts.append(word.mid(start));
    }
    return parts;
}

/** The text after the value without its question's end: trailing question marks, then one end word,
 *  written apart or, when it is of a script without spaces or no word of letters, against the last
 *  unit ("英里吗？", "マイルですか"). */
QString withoutQuestionEnd(QString text, const QStringList& endWords)
{
    const auto chopQuestionMarks = [&text] {
        text = text.trimmed();
        while (!text.isEmpty() && std::find(std::cbegin(kQuestionMarks), std::cend(kQuestionMarks), text.back()) !=
                                      std::cend(kQuestionMarks)) {
            text.chop(1);
            text = text.trimmed();
        }
    };
    chopQuestionMarks();
    QStringList longestFirst = endWords;
    std::stable_sort(longestFirst.begin(), longestFirst.end(),
                     [](const QString& a, const QString& b) { return a.size() > b.size(); });
    for (const QString& word : std::as_const(longestFirst)) {
        if (word.isEmpty() || word.size() > text.size() || foldedWord(text.right(word.size())) != foldedWord(word)) {
            continue;
        }
        const qsizetype before = text.size() - word.size();
        const bool apart = before == 0 || text[before - 1].isSpace();
        if (apart || isUnspaced(word) || !word.front().isLetterOrNumber()) {
            text.chop(word.size());
            break;
        }
    }
    return text.trimmed();
}

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

const QRegularExpression& numberPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^[-+]?(?:[0-9]+(?:[.,][0-9]*)?|[.,][0-9]+)(?:[eE][-+]?[0-9]+)?$"));
    return pattern;
}

/** One value and its unit word of a sum such as "5 ft 10 in". */
struct Term
{
    QString valueText;
    QString unit;
};

/** The terms of a sum: the query's value with the words up to the next number, that number with the
 *  words up to the next, and so on. One term when the words hold no number. */
QList<Term> termsOf(const QString& valueText, const QString& words)
{
    QList<Term> terms{Term{valueText, QString()}};
    for (const QString& word : words.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (numberPattern().match(word).hasMatch() && !terms.back().unit.isEmpty()) {
            terms.append(Term{word, QString()});
        } else {
            terms.back().unit += (terms.back().unit.isEmpty() ? QString() : QStringLiteral(" ")) + word;
        }
    }
    return terms;
}

/** The two units of an answer asked for in two ("ft and in", "ft + in"), or just the one. */
QStringList targetsOf(const QString& words, const QStringList& joining)
{
    const QStringList parts = words.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (qsizetype k = 1; k + 1 < parts.size(); ++k) {
        if (containsWord(joining, parts[k])) {
            return {joined(parts, 0, k), joined(parts, k + 1, parts.size())};
        }
    }
    return {words};
}

class Reader
{
public:
    Reader(const Catalogue& catalogue, const QueryIndex& index, QString valueText, double value)
        : m_catalogue(catalogue), m_index(index), m_valueText(std::move(valueText)), m_value(value)
    {
    }

    /** Adds the readings of one split in every category. */
    void read(const Split& split)
    {
        const QList<Term> terms = termsOf(m_valueText, split.from);
        const QStringList targets = targetsOf(split.to, m_index.joiningWords());
        if (terms.size() > 1 || targets.size() > 1) {
            readMixed(terms, targets);
            return;
        }
        for (int r = 0; r < kRubricCount; ++r) {
            if (!m_index.mayName(r, split.from) || !m_index.mayName(r, split.to)) {
                continue;
            }
            const UnitLookup from = m_index.lookup(r, split.from);
            if (from.match == UnitMatch::None) {
                continue;
            }
            const UnitLookup to = m_index.lookup(r, split.to);
            if (to.match == UnitMatch::None) {
                continue;
            }
            const Rank rank = from.ambiguous() || to.ambiguous() ? Rank::Candidate : rankOf(from, to);
            for (const UnitRecord* fromUnit : foundUnits(from)) {
                for (const UnitRecord* toUnit : foundUnits(to)) {
                    add(QueryAnswer{r, fromUnit, toUnit, m_valueText, m_value, 0, nullptr, 0}, rank);
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
    /** How well a reading fits, from the worse of its two words: both whole words as written; one in
     *  another case; one only the beginning of a word ("mi" of "millikelvin"); candidates of an
     *  ambiguous word. A better rank hides the worse ones. */
    enum class Rank
    {
        Named,
        AnyCase,
        Begun,
        Candidate,
        Count
    };

    static Rank rankOf(const UnitLookup& from, const UnitLookup& to)
    {
        const UnitMatch worse = std::max(from.match, to.match);
        return worse == UnitMatch::Named ? Rank::Named : worse == UnitMatch::AnyCase ? Rank::AnyCase : Rank::Begun;
    }

    /** A sum of values in several units, or an answer in two units: every word must name one unit
     *  of one category without doubt, since a guess in a sum would go unseen. */
    void readMixed(const QList<Term>& terms, const QStringList& targets)
    {
        for (int r = 0; r < kRubricCount; ++r) {
            QList<const UnitRecord*> units;
            Rank rank = Rank::Named;
            for (const QString& word : termUnits(terms) + targets) {
                const UnitLookup lookup = word.isEmpty() ? UnitLookup() : m_index.lookup(r, word);
                if (lookup.unit == nullptr) {
                    units.clear();
                    break;
                }
                rank = std::max(rank, rankOf(lookup, lookup));
                units.append(lookup.unit);
            }
            if (units.isEmpty()) {
                continue;
            }
            const UnitRecord* from = units.front();
            double sum = 0;
            for (qsizetype t = 0; t < terms.size(); ++t) {
                sum += convertedValue(terms[t].valueText, *units[t], *from);
            }
            const QString sumText = formatNumber(sum, 'g', kIntermediateDigits);
            const UnitRecord* rest = targets.size() > 1 ? units.back() : nullptr;
            add(QueryAnswer{r, from, units[terms.size()], terms.size() > 1 ? sumText : m_valueText, sum, 0, rest, 0},
                rank);
        }
    }

    static QStringList termUnits(const QList<Term>& terms)
    {
        QStringList words;
        for (const Term& term : terms) {
            words.append(term.unit);
        }
        return words;
    }

    void add(QueryAnswer answer, Rank rank)
    {
        const Rubric& rubric = m_catalogue[static_cast<size_t>(answer.rubric)];
        for (const UnitRecord* unit : {answer.to, answer.toRest}) {
            if (unit != nullptr && rubric.hasSousRubrics() &&
                sousRubricOf(rubric, *answer.from) != sousRubricOf(rubric, *unit)) {
                return;
            }
        }
        QList<QueryAnswer>& answers = m_ranked[static_cast<size_t>(rank)];
        for (const QueryAnswer& known : std::as_const(answers)) {
            if (known.from == answer.from && known.to == answer.to && known.toRest == answer.toRest) {
                return;
            }
        }
        if (answers.size() > kQueryMaxAnswers) {
            return; // enough to say the query is ambiguous
        }
        if (convertAnswer(answer)) {
            answers.append(answer);
        }
    }

    const Catalogue& m_catalogue;
    const QueryIndex& m_index;
    QString m_valueText;
    double m_value;
    std::array<QList<QueryAnswer>, static_cast<size_t>(Rank::Count)> m_ranked;
};

/** The unit words after the value, with "->", "=" and "+" made words of their own even when written
 *  against a unit ("5 mi->km", "ft+in"), and so the marks of scripts without spaces (see cutAtMarks).
 *  Empty when there are too many. */
QStringList unitWords(QStringView rest, const QStringList& marks)
{
    QString spaced = rest.toString();
    for (const QString& mark : {kArrowMark, kEqualsMark, kPlus}) {
        spaced.replace(mark, QLatin1Char(' ') + mark + QLatin1Char(' '));
    }
    QStringList words;
    for (const QString& word : spaced.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        words.append(marks.isEmpty() ? QStringList{word} : cutAtMarks(word, marks));
        if (words.size() > kQueryMaxWords) {
            return {};
        }
    }
    return words;
}

/** The ways of cutting one word of a script without spaces into two units written together
 *  ("公里英里"), between two characters; none when a part would be longer than any unit. */
QList<Split> unspacedSplits(const QString& word)
{
    QList<Split> splits;
    if (!isUnspaced(word) || word.size() > 2 * kQueryMaxUnspacedUnit) {
        return splits;
    }
    for (qsizetype k = 1; k < word.size(); ++k) {
        if (word[k].isLowSurrogate() || k > kQueryMaxUnspacedUnit || word.size() - k > kQueryMaxUnspacedUnit) {
            continue;
        }
        splits.append(Split{word.left(k), word.mid(k)});
    }
    return splits;
}

} // namespace

bool convertAnswer(QueryAnswer& answer)
{
    answer.result = convertedValue(answer.valueText, *answer.from, *answer.to);
    answer.rest = 0;
    if (answer.toRest != nullptr && std::isfinite(answer.result)) {
        // The whole units of the first, what remains in the second: 70.866 in gives 5 ft 10.866 in.
        const double whole = std::trunc(answer.result);
        const QString remainder = formatNumber(answer.result - whole, 'g', kIntermediateDigits);
        answer.rest = convertedValue(remainder, *answer.to, *answer.toRest);
        answer.result = whole;
    }
    return std::isfinite(answer.result) && std::isfinite(answer.value) && std::isfinite(answer.rest);
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

QueryIndex::QueryIndex(const Catalogue& catalogue, const Lexicon* lexicon, const QString& region)
    : m_joining(lexicon != nullptr ? lexicon->joiningWords() : Lexicon().joiningWords()),
      m_end(lexicon != nullptr ? lexicon->endWords() : QStringList())
{
    for (size_t r = 0; r < catalogue.size(); ++r) {
        m_words[r] = RubricWords(catalogue[r], lexicon, region);
    }
}

bool QueryIndex::mayName(int rubric, const QString& word) const
{
    // A sum or a pair of units is looked up word by word; its first word must begin a word here.
    const QString first = word.section(QLatin1Char(' '), 0, 0);
    return m_words[static_cast<size_t>(rubric)].mayName(foldedWord(first));
}

UnitLookup QueryIndex::lookup(int rubric, const QString& word) const
{
    return m_words[static_cast<size_t>(rubric)].lookup(word);
}

QueryReading readQuery(QStringView query, const Catalogue& catalogue, const QStringList& connectingWords,
                       const QueryIndex* index)
{
    if (query.size() > kQueryMaxLength || !isPlainText(query)) {
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
    std::optional<QueryIndex> ownIndex;
    if (index == nullptr) {
        index = &ownIndex.emplace(catalogue);
    }
    const QString rest = withoutQuestionEnd(text.mid(value.capturedEnd(0)), index->endWords());
    const QStringList words =
        unitWords(rest, unspacedWords(connectingWords + index->joiningWords() + index->endWords()));
    // A query that ends with a connecting word as written is still being typed: its second unit is yet
    // to come; after a joining word it is a unit ("in ft and in"), and in another case it may be one
    // (Polish "na W" is to watts, not "na w").
    const bool joinedLast = words.size() > 1 && containsWord(index->joiningWords(), words[words.size() - 2]);
    if (words.isEmpty() || (connectingWords.contains(words.back()) && !joinedLast)) {
        return {};
    }
    const qsizetype count = words.size();
    Reader joinedReader(catalogue, *index, valueText, number);
    for (qsizetype k = 1; k + 1 < count; ++k) {
        // A connecting word may be several words ("in quante", "son cuántos").
        const qsizetype length = connectorLength(words, k, connectingWords);
        if (length > 0 && k + length < count) {
            joinedReader.read(Split{joined(words, 0, k), joined(words, k + length, count)});
        }
    }
    if (!joinedReader.empty()) {
        return joinedReader.reading();
    }
    Reader plainReader(catalogue, *index, valueText, number);
    for (qsizetype k = 1; k < count; ++k) {
        plainReader.read(Split{joined(words, 0, k), joined(words, k, count)});
    }
    if (count == 1) {
        // Two units written together in a script without spaces ("公里英里"): every cut between two
        // characters is a reading; the lookup keeps those where both halves name units of a category.
        for (const Split& split : unspacedSplits(words.front())) {
            plainReader.read(split);
        }
    }
    return plainReader.reading();
}

Rubric visibleRubric(const Rubric& rubric)
{
    Rubric shown;
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
    return shown;
}

Catalogue visibleCatalogue(const Catalogue& catalogue)
{
    Catalogue visible;
    for (size_t r = 0; r < catalogue.size(); ++r) {
        visible[r] = visibleRubric(catalogue[r]);
    }
    return visible;
}

namespace {
/** A unit as an answer names it: its symbol, or its name when it has none or when asked in full. */
QString shownUnit(const UnitRecord& unit, bool inFull)
{
    // In full is the whole catalogue name: a last parenthesis may be a qualifier ("gallon (US dry)")
    // that tells the candidates apart, not a symbol.
    return inFull ? unit.name() : unitShortName(unit.name());
}
} // namespace

QString answerTitle(const QueryAnswer& answer, int notation, int precision, bool inFull)
{
    if (answer.toRest != nullptr) {
        return formatNumber(answer.result, 'g', kIntermediateDigits) + QLatin1Char(' ') +
               shownUnit(*answer.to, inFull) + QLatin1Char(' ') + formatResult(answer.rest, notation, precision) +
               QLatin1Char(' ') + shownUnit(*answer.toRest, inFull);
    }
    return formatResult(answer.result, notation, precision) + QLatin1Char(' ') + shownUnit(*answer.to, inFull);
}

QString answerDescription(const QueryAnswer& answer, const Rubric& rubric, int notation, int precision, bool inFull)
{
    auto named = [inFull](const UnitRecord& unit) { return inFull ? unit.name() : nameWithoutSymbol(unit.name()); };
    QString result = formatResult(answer.result, notation, precision) + QLatin1Char(' ') + named(*answer.to);
    if (answer.toRest != nullptr) {
        result = formatNumber(answer.result, 'g', kIntermediateDigits) + QLatin1Char(' ') + named(*answer.to) +
                 QLatin1Char(' ') + formatResult(answer.rest, notation, precision) + QLatin1Char(' ') +
                 named(*answer.toRest);
    }
    return formatNumber(answer.value, 'g', kIntermediateDigits) + QLatin1Char(' ') + named(*answer.from) +
           QStringLiteral(" = ") + result + kDescriptionSeparator + rubric.name();
}

} // namespace quantaro
