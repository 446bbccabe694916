#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace quantaro {

class ResourceSource;

/** The marks that join the two units of a query in every language, even written against a unit
 *  ("5 mi->km", "5 mi=km"). */
inline const QString kArrowMark = QStringLiteral("->");
inline const QString kEqualsMark = QStringLiteral("=");

/**
 * The words a language module's people use for its units: plurals, spellings, abbreviations, ASCII
 * forms of symbols and the composite names built from them ("square feet"), each unit's territories
 * (where it is what a word it shares with rivals means), and the language's connecting words ("to",
 * "en", "nach"), joining words ("and", "+") and the words a question may end with ("ですか", "吗").
 * The module carries it compiled as "lexicon.txt"; a module without one, or a damaged line, adds no words.
 */
class Lexicon
{
public:
    /** What the lexicon knows of one unit. */
    struct Entry
    {
        QStringList regions; ///< territory codes ("US", "GB") and "*" for everywhere else
        QStringList words;
    };

    static Lexicon fromResources(const ResourceSource& resources);
    static Lexicon fromText(const QByteArray& text);

    /** The unit's entry by category code and catalogue name; null when the lexicon has none. */
    const Entry* entry(const QString& code, const QString& unitName) const;
    /** The words that join the two units of a query; the English ones when the module gives none.
     *  "->" and "=" always join. */
    QStringList connectingWords() const;
    /** The words that join the two units of a mixed answer ("ft and in", "ft+in"). */
    QStringList joiningWords() const;
    /** The words or marks a question may end with ("eder", "吗"); none when the module gives none. */
    const QStringList& endWords() const { return m_end; }
    bool isEmpty() const { return m_entries.isEmpty(); }

private:
    QHash<QString, Entry> m_entries; // code + separator + name
    QStringList m_connecting;
    QStringList m_joining;
    QStringList m_end;
};

/** The user's territory ("US", "GB"), from LC_ALL, LC_MEASUREMENT, then LANG, else the system locale;
 *  empty when none is known ("C", "POSIX", a bare language), which the lookup treats as international. */
QString userRegion();

} // namespace quantaro
