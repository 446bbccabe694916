#include "catalogue/unitlookup.h"

#include "catalogue/lexicon.h"
#include "catalogue/rubric.h"
#include "catalogue/unitrecord.h"

#include <algorithm>

namespace quantaro {

namespace {

const QString kTemperatureCode = QStringLiteral("TMP");
const QString kEverywhere = QStringLiteral("*");
const QChar kDegreeSign(0x00B0);
constexpr QChar kDottedCapitalI(0x0130);
constexpr QChar kDotlessSmallI(0x0131);
/** Steps of the exact lookup: a name, symbol or word of the lexicon; a name bare of parentheses. */
constexpr int kWholeWordStep = 0;
constexpr int kBareNameStep = 1;
/** Fewer letters than this are too few to mean a unit by their beginning ("km" is no beginning of
 *  "km/h"). */
constexpr qsizetype kShortestBeginning = 3;
/** A beginning shared by more units than this is no candidate list worth showing. */
constexpr qsizetype kMaxBeginningCandidates = 16;

/** Every text in parentheses of a name: "US survey" and "mi" of "mile (US survey) (mi)". */
QStringList parenthesisedTexts(const QString& name)
{
    // Each "(" followed by text without parentheses up to a ")"; a lookup runs this on every unit of
    // a category, which a regular expression makes the slowest step of the desktop's search box.
    QStringList texts;
    qsizetype open = -1;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name[i] == QLatin1Char('(')) {
            open = i;
        } else if (name[i] == QLatin1Char(')') && open >= 0) {
            texts.append(name.mid(open + 1, i - open - 1));
            open = -1;
        }
    }
    return texts;
}

/** The name before its first parenthesis: "gallon" of "gallon (US) (gal)" and of "gallon (US dry)". */
QString baseName(const QString& name)
{
    const qsizetype open = name.indexOf(QStringLiteral(" ("));
    return open < 0 ? name : name.left(open);
}

/** How many letters of candidate have the case they have in typed (both of one length). */
int caseAgreement(const QString& typed, const QString& candidate)
{
    int agreeing = 0;
    for (qsizetype i = 0; i < std::min(typed.size(), candidate.size()); ++i) {
        agreeing += typed[i] == candidate[i] ? 1 : 0;
    }
    return agreeing;
}

void appendOnce(QList<int>& units, int unit)
{
    if (!units.contains(unit)) {
        units.append(unit);
    }
}

} // namespace

namespace {

/** Symbols are short and terse: "km", "oz t", "kbit/s", "Kibit". A qualifier is made of words. */
bool looksLikeQualifier(const QString& text)
{
    constexpr qsizetype kShortestLowerWord = 5;
    constexpr qsizetype kShortestCapitalisedWord = 6;
    // Symbols are written in Latin or Greek letters and signs; Chinese, Japanese and Korean names
    // write their qualifiers in their own script ("尺 (日本)", "ガロン (米・乾量)").
    const bool eastAsian = std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        const QChar::Script script = c.script();
        return script == QChar::Script_Han || script == QChar::Script_Hiragana || script == QChar::Script_Katakana ||
               script == QChar::Script_Hangul;
    });
    if (eastAsian) {
        return true;
    }
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.size() > 1) {
        // "US customary", "10 mL", "30 days"; a symbol of several parts has one-letter ones ("oz t").
        return std::all_of(words.cbegin(), words.cend(), [](const QString& word) { return word.size() > 1; });
    }
    const bool letters = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isLetter(); });
    if (!letters || text.isEmpty()) {
        return false;
    }
    const bool restLower = std::all_of(text.cbegin() + 1, text.cend(), [](QChar c) { return c.isLower(); });
    return restLower &&
           (text[0].isLower() ? text.size() >= kShortestLowerWord : text.size() >= kShortestCapitalisedWord);
}

} // namespace

QString unitShortName(const QString& name)
{
    const QString symbol = unitSymbol(name);
    if (symbol.isEmpty()) {
        return name;
    }
    const bool onlyGroup = name.indexOf(QLatin1Char('(')) == name.lastIndexOf(QStringLiteral(" (")) + 1;
    return onlyGroup && looksLikeQualifier(symbol) ? name : symbol;
}

QString nameWithoutSymbol(const QString& name)
{
    const QString symbol = unitSymbol(name);
    if (symbol.isEmpty()) {
        return name;
    }
    // " (" + symbol + ")" ends the name.
    constexpr int kSymbolDecoration = 3;
    return name.left(name.size() - symbol.size() - kSymbolDecoration);
}

QString unitSymbol(const QString& name)
{
    if (!name.endsWith(QLatin1Char(')'))) {
        return {};
    }
    const qsizetype open = name.lastIndexOf(QStringLiteral(" ("));
    if (open < 0) {
        return {};
    }
    const qsizetype start = open + 2;
    const QString symbol = name.mid(start, name.size() - 1 - start);
    return symbol.contains(QLatin1Char('(')) ? QString() : symbol;
}

QString foldedWord(QStringView word)
{
    QString folded = word.toString().toCaseFolded();
    for (QChar& character : folded) {
        if (character == kDottedCapitalI || character == kDotlessSmallI) {
            character = QLatin1Char('i');
        }
    }
    return folded;
}

RubricWords::RubricWords(const Rubric& rubric, const Lexicon* lexicon, const QString& region)
    : m_rubric(&rubric), m_region(region)
{
    const bool temperature = rubric.code() == kTemperatureCode;
    m_regions.resize(static_cast<size_t>(rubric.unitCount()));
    for (int u = 0; u < rubric.unitCount(); ++u) {
        const QString& name = rubric.unit(u).name();
        const QString symbol = unitSymbol(name);
        addWord(u, name, kWholeWordStep);
        // "Pfund" of "Pfund (Apotheker)" is a bare name, not a whole one: the parentheses qualify.
        const bool qualified = !symbol.isEmpty() && unitShortName(name) == name;
        addWord(u, nameWithoutSymbol(name), qualified ? kBareNameStep : kWholeWordStep);
        addWord(u, symbol, kWholeWordStep);
        if (temperature && symbol.startsWith(kDegreeSign)) {
            addWord(u, symbol.mid(1), kWholeWordStep);
        }
        addWord(u, baseName(name), kBareNameStep);
        for (const QString& text : parenthesisedTexts(name)) {
            appendOnce(m_qualifiers[foldedWord(text)], u);
        }
        const Lexicon::Entry* entry = lexicon != nullptr ? lexicon->entry(rubric.code(), name) : nullptr;
        if (entry != nullptr) {
            m_regions[static_cast<size_t>(u)] = entry->regions;
            for (const QString& word : entry->words) {
                addWord(u, word, kWholeWordStep);
            }
        }
    }
    std::sort(m_beginnings.begin(), m_beginnings.end());
    m_beginnings.erase(std::unique(m_beginnings.begin(), m_beginnings.end()), m_beginnings.end());
}

void RubricWords::addWord(int unit, const QString& word, int step)
{
    if (word.isEmpty()) {
        return;
    }
    QList<std::pair<int, int>>& exact = m_exact[word];
    const auto known = std::find_if(exact.begin(), exact.end(), [&](const auto& pair) { return pair.first == unit; });
    if (known == exact.end()) {
        exact.append({unit, step});
    } else {
        known->second = std::min(known->second, step);
    }
    const QString folded = foldedWord(word);
    m_anyCase[folded].append({unit, word});
    m_beginnings.emplace_back(folded, unit);
}

bool RubricWords::mayName(const QString& folded) const
{
    const auto first =
        std::lower_bound(m_beginnings.cbegin(), m_beginnings.cend(), std::pair<QString, int>(folded, -1));
    return first != m_beginnings.cend() && first->first.startsWith(folded);
}

QList<int> RubricWords::resolved(const QList<int>& units) const
{
    if (units.size() < 2) {
        return units;
    }
    auto holding = [&](const QList<int>& among, const QString& region) {
        QList<int> found;
        for (const int u : among) {
            if (m_regions[static_cast<size_t>(u)].contains(region)) {
                found.append(u);
            }
        }
        return found;
    };
    QList<int> left = units;
    if (!m_region.isEmpty()) {
        const QList<int> regional = holding(left, m_region);
        if (!regional.isEmpty()) {
            left = regional;
        }
    }
    if (left.size() > 1) {
        const QList<int> everywhere = holding(left, kEverywhere);
        if (everywhere.size() == 1) {
            return everywhere;
        }
    }
    if (left.size() > 1) {
        // The plain unit, whose symbol its qualified variants share: "mile (mi)" beside
        // "mile (US survey) (mi)". Variants that are all qualified stay candidates.
        QList<int> plain;
        for (const int u : left) {
            const QString& name = m_rubric->unit(u).name();
            const QString symbol = unitSymbol(name);
            const bool shared = std::any_of(left.cbegin(), left.cend(), [&](int other) {
                return other != u && unitSymbol(m_rubric->unit(other).name()) == symbol;
            });
            if (parenthesisedTexts(name).size() == 1 && shared) {
                plain.append(u);
            }
        }
        if (plain.size() == 1) {
            return plain;
        }
    }
    return left;
}

UnitLookup RubricWords::outcome(const QList<int>& units, UnitMatch match) const
{
    UnitLookup lookup;
    // A beginning names no variant: "mil" may be the mile or the millimetre whatever the territory.
    const QList<int> left = match == UnitMatch::Beginning ? units : resolved(units);
    if (left.isEmpty()) {
        return lookup;
    }
    lookup.match = match;
    if (left.size() == 1) {
        lookup.unit = &m_rubric->unit(left.front());
    } else {
        for (const int u : left) {
            lookup.candidates.append(&m_rubric->unit(u));
        }
    }
    return lookup;
}

UnitLookup RubricWords::lookup(const QString& word) const
{
    const QString text = word.trimmed();
    if (text.isEmpty() || m_rubric == nullptr) {
        return {};
    }
    const auto exact = m_exact.constFind(text);
    if (exact != m_exact.cend()) {
        for (const int step : {kWholeWordStep, kBareNameStep}) {
            QList<int> units;
            for (const auto& [unit, found] : exact.value()) {
                if (found == step) {
                    appendOnce(units, unit);
                }
            }
            if (!units.isEmpty()) {
                return outcome(units, UnitMatch::Named);
            }
        }
    }
    const QString folded = foldedWord(text);
    const auto anyCase = m_anyCase.constFind(folded);
    if (anyCase != m_anyCase.cend()) {
        // The first letter's case decides first (milli against mega), then the other letters'.
        auto rank = [&](const QString& candidate) {
            const bool firstAgrees = !candidate.isEmpty() && candidate[0] == text[0];
            return (firstAgrees ? static_cast<int>(text.size()) + 1 : 0) + caseAgreement(text, candidate);
        };
        int best = -1;
        QList<int> units;
        for (const auto& [unit, candidate] : anyCase.value()) {
            const int score = rank(candidate);
            if (score > best) {
                best = score;
                units.clear();
            }
            if (score == best) {
                appendOnce(units, unit);
            }
        }
        return outcome(units, UnitMatch::AnyCase);
    }
    const auto qualified = m_qualifiers.constFind(folded);
    if (qualified != m_qualifiers.cend()) {
        return outcome(qualified.value(), UnitMatch::Named);
    }
    QList<int> begun;
    if (folded.size() < kShortestBeginning) {
        return {};
    }
    for (auto it = std::lower_bound(m_beginnings.cbegin(), m_beginnings.cend(), std::pair<QString, int>(folded, -1));
         it != m_beginnings.cend() && it->first.startsWith(folded) && begun.size() <= kMaxBeginningCandidates; ++it) {
        appendOnce(begun, it->second);
    }
    return outcome(begun, UnitMatch::Beginning);
}

UnitLookup lookupUnit(const Rubric& rubric, const QString& word)
{
    return RubricWords(rubric, nullptr, QString()).lookup(word);
}

} // namespace quantaro
