#include "catalogue/unitsearch.h"

#include "catalogue/lexicon.h"
#include "catalogue/rubric.h"
#include "catalogue/unitlookup.h"

namespace quantaro {

namespace {
/** Between a unit's search keys: no typed text holds it, so a search matches one word at a time. */
const QChar kSearchWordSeparator(u'\n');
/** The combining voicing marks of Japanese kana: no accent but part of the letter ("ガ" is "カ" with
 *  one), so they stay in a key; otherwise "カ" would find "ガロン" (gallon) and "ガ" "カロリー". */
constexpr char16_t kKanaVoicedMark = 0x3099;
constexpr char16_t kKanaSemiVoicedMark = 0x309A;
} // namespace

QString searchKey(QStringView text)
{
    // The compatibility decomposition splits "å" into "a" and a combining ring, turns the micro sign
    // into the Greek mu that a Greek keyboard types and half-width kana ("ｷﾛ") into the usual ones.
    const QString decomposed = text.toString().trimmed().normalized(QString::NormalizationForm_KD);
    QString key;
    key.reserve(decomposed.size());
    for (const QChar character : decomposed) {
        const QChar::Category category = character.category();
        const bool accent = category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
                            category == QChar::Mark_Enclosing;
        if (!accent || character == kKanaVoicedMark || character == kKanaSemiVoicedMark) {
            key.append(character);
        }
    }
    // Composed again, a kana with its voicing mark is one letter: "カ" does not find "ガロン".
    return foldedWord(key.normalized(QString::NormalizationForm_C));
}

bool matchesSearch(const QString& nameKey, const QString& key)
{
    return key.isEmpty() || nameKey.contains(key);
}

UnitSearchIndex::UnitSearchIndex(const Rubric& rubric)
{
    m_keys.reserve(std::size_t(rubric.unitCount()));
    for (int i = 0; i < rubric.unitCount(); ++i) {
        m_keys.push_back(searchKey(rubric.unit(i).name()));
    }
}

void UnitSearchIndex::addWords(const Rubric& rubric, const Lexicon& lexicon)
{
    m_wordsAdded = true;
    for (int i = 0; i < rubric.unitCount() && std::size_t(i) < m_keys.size(); ++i) {
        const Lexicon::Entry* entry = lexicon.entry(rubric.code(), rubric.unit(i).name());
        if (entry == nullptr) {
            continue;
        }
        for (const QString& word : entry->words) {
            m_keys[std::size_t(i)] += kSearchWordSeparator + searchKey(word);
        }
    }
}

bool UnitSearchIndex::matches(int unit, const QString& key) const
{
    return unit >= 0 && std::size_t(unit) < m_keys.size() && matchesSearch(m_keys[std::size_t(unit)], key);
}

} // namespace quantaro
