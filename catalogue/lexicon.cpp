#include "catalogue/lexicon.h"

#include "app/resourcesource.h"

#include <QLocale>
#include <QStringView>

namespace quantaro {

namespace {

const QString kLexiconFile = QStringLiteral("lexicon.txt");
const QString kConnectRow = QStringLiteral("@connect");
const QString kJoinRow = QStringLiteral("@and");
const QString kEndRow = QStringLiteral("@end");
constexpr QChar kKeySeparator(0x1F);
constexpr QChar kWordSeparator(u'|');
constexpr qsizetype kFields = 4;
/** Bounds a damaged or hostile table: no unit has more words, no word is longer. */
constexpr qsizetype kMaxLineLength = 1 << 20;
constexpr qsizetype kMaxWordLength = 80;
/** The environment variables that name the user's measurement locale, strongest first. */
constexpr const char* kLocaleVariables[] = {"LC_ALL", "LC_MEASUREMENT", "LANG"};

QString entryKey(const QString& code, const QString& name)
{
    return code + kKeySeparator + name;
}

QStringList wordsOf(QStringView field)
{
    QStringList words;
    for (const QStringView word : field.split(kWordSeparator, Qt::SkipEmptyParts)) {
        if (word.size() <= kMaxWordLength) {
            words.append(word.toString());
        }
    }
    return words;
}

/** The territory of a POSIX locale name ("en_GB.UTF-8@euro" gives "GB"), checked against Qt's list. */
QString territoryOf(const QString& localeName)
{
    const qsizetype underscore = localeName.indexOf(QLatin1Char('_'));
    if (underscore < 0) {
        return {};
    }
    qsizetype end = underscore + 1;
    while (end < localeName.size() && localeName[end].isLetterOrNumber()) {
        ++end;
    }
    const QString code = localeName.mid(underscore + 1, end - underscore - 1).toUpper();
    return QLocale::codeToTerritory(code) == QLocale::AnyTerritory ? QString() : code;
}

} // namespace

Lexicon Lexicon::fromResources(const ResourceSource& resources)
{
    const std::optional<QByteArray> text = resources.readFile(kLexiconFile);
    return text ? fromText(*text) : Lexicon();
}

Lexicon Lexicon::fromText(const QByteArray& text)
{
    Lexicon lexicon;
    const QString all = QString::fromUtf8(text);
    for (const QStringView line : QStringView(all).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1Char('#')) || line.size() > kMaxLineLength) {
            continue;
        }
        const QList<QStringView> fields = line.split(QLatin1Char('\t'));
        if (fields.size() != kFields) {
            continue;
        }
        if (fields[0] == kConnectRow) {
            lexicon.m_connecting = wordsOf(fields[3]);
        } else if (fields[0] == kJoinRow) {
            lexicon.m_joining = wordsOf(fields[3]);
        } else if (fields[0] == kEndRow) {
            lexicon.m_end = wordsOf(fields[3]);
        } else if (!fields[1].isEmpty()) {
            Entry entry{fields[2].toString().split(QLatin1Char(' '), Qt::SkipEmptyParts), wordsOf(fields[3])};
            lexicon.m_entries.insert(entryKey(fields[0].toString(), fields[1].toString()), entry);
        }
    }
    return lexicon;
}

const Lexicon::Entry* Lexicon::entry(const QString& code, const QString& unitName) const
{
    const auto found = m_entries.constFind(entryKey(code, unitName));
    return found == m_entries.cend() ? nullptr : &found.value();
}

QStringList Lexicon::connectingWords() const
{
    QStringList words = m_connecting.isEmpty()
                            ? QStringList{QStringLiteral("to"), QStringLiteral("in"), QStringLiteral("as")}
                            : m_connecting;
    for (const QString& always : {kArrowMark, kEqualsMark}) {
        if (!words.contains(always)) {
            words.append(always);
        }
    }
    return words;
}

QStringList Lexicon::joiningWords() const
{
    return m_joining.isEmpty() ? QStringList{QStringLiteral("and"), QStringLiteral("+")} : m_joining;
}

QString userRegion()
{
    for (const char* variable : kLocaleVariables) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty()) {
            return territoryOf(value);
        }
    }
    return territoryOf(QLocale::system().name());
}

} // namespace quantaro
