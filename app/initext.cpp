#include "app/initext.h"

#include <QDataStream>
#include <QIODevice>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <algorithm>
#include <limits>
#include <vector>

namespace quantaro {

namespace {

constexpr char kLineEnd = '\n';
constexpr char16_t kLastLatin1 = 0xff;
constexpr char16_t kLastControl = 0x1f;
constexpr char16_t kDelete = 0x7f;
constexpr int kHexBase = 16;
constexpr int kShortEscapeDigits = 2;
constexpr int kLongEscapeDigits = 4;
constexpr int kUnplaced = std::numeric_limits<int>::max();
const char kHexDigits[] = "0123456789ABCDEF";
const QByteArray kGeneralSection = QByteArrayLiteral("general");

bool isHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

void appendHex(QByteArray& out, char16_t c, int digits)
{
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        out += kHexDigits[(c >> shift) & (kHexBase - 1)];
    }
}

// A key keeps letters, digits, '_', '-' and '.'; '/' becomes '\'; anything else is %XX or %UXXXX.
void appendEscapedKey(QByteArray& out, QStringView key)
{
    for (const QChar ch : key) {
        const char16_t c = ch.unicode();
        if (c == u'/') {
            out += '\\';
        } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
                   c == u'-' || c == u'.') {
            out += static_cast<char>(c);
        } else if (c <= kLastLatin1) {
            out += '%';
            appendHex(out, c, kShortEscapeDigits);
        } else {
            out += "%U";
            appendHex(out, c, kLongEscapeDigits);
        }
    }
}

void appendEscapedString(QByteArray& out, const QString& text)
{
    // Typed values whose bytes are Latin-1 are written byte for byte; every other text as UTF-8.
    const bool utf8 = !(text.startsWith(QLatin1String("@ByteArray(")) || text.startsWith(QLatin1String("@Variant(")) ||
                        text.startsWith(QLatin1String("@DateTime(")));
    const qsizetype start = out.size();
    bool needsQuotes = false;
    bool escapeNextIfHex = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u';' || c == u',' || c == u'=') {
            needsQuotes = true;
        }
        // A hexadecimal escape runs on over every hexadecimal digit after it.
        if (escapeNextIfHex && isHexDigit(c)) {
            out += "\\x" + QByteArray::number(c, kHexBase);
            continue;
        }
        escapeNextIfHex = false;
        switch (c) {
        case u'\0':
            out += "\\0";
            escapeNextIfHex = true;
            break;
        case u'\a':
            out += "\\a";
            break;
        case u'\b':
            out += "\\b";
            break;
        case u'\f':
            out += "\\f";
            break;
        case u'\n':
            out += "\\n";
            break;
        case u'\r':
            out += "\\r";
            break;
        case u'\t':
            out += "\\t";
            break;
        case u'\v':
            out += "\\v";
            break;
        case u'"':
        case u'\\':
            out += '\\';
            out += static_cast<char>(c);
            break;
        default:
            if (c <= kLastControl || (c >= kDelete && !utf8)) {
                out += "\\x" + QByteArray::number(c, kHexBase);
                escapeNextIfHex = true;
            } else if (utf8) {
                const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
                out += QStringView(text).sliced(i, length).toUtf8();
                i += length - 1;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    if (needsQuotes || (out.size() > start && (out.at(start) == ' ' || out.back() == ' '))) {
        out.insert(start, '"');
        out += '"';
    }
}

QString variantText(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return QStringLiteral("@Invalid()");
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return QLatin1String("@ByteArray(") + QLatin1String(bytes) + QLatin1Char(')');
    }
    case QMetaType::QString:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Bool:
    case QMetaType::Double: {
        const QString text = value.toString();
        if (text.contains(QChar::Null)) {
            return QLatin1String("@String(") + text + QLatin1Char(')');
        }
        return text.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + text : text;
    }
    case QMetaType::QRect: {
        const QRect r = value.toRect();
        return QStringLiteral("@Rect(%1 %2 %3 %4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }
    case QMetaType::QSize: {
        const QSize s = value.toSize();
        return QStringLiteral("@Size(%1 %2)").arg(s.width()).arg(s.height());
    }
    case QMetaType::QPoint: {
        const QPoint p = value.toPoint();
        return QStringLiteral("@Point(%1 %2)").arg(p.x()).arg(p.y());
    }
    default: {
        // Any other type, as Qt stores it: its serialised form.
        const bool dateTime = value.typeId() == QMetaType::QDateTime;
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        stream.setVersion(dateTime ? QDataStream::Qt_5_6 : QDataStream::Qt_4_0);
        stream << value;
        return (dateTime ? QLatin1String("@DateTime(") : QLatin1String("@Variant(")) + QLatin1String(bytes) +
               QLatin1Char(')');
    }
    }
}

void appendValue(QByteArray& out, const QVariant& value)
{
    const bool list = value.typeId() == QMetaType::QStringList ||
                      (value.typeId() == QMetaType::QVariantList && value.toList().size() != 1);
    if (!list) {
        appendEscapedString(out, variantText(value));
        return;
    }
    const QVariantList items = value.toList();
    if (items.isEmpty()) {
        out += "@Invalid()";
        return;
    }
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i != 0) {
            out += ", ";
        }
        appendEscapedString(out, variantText(items.at(i)));
    }
}

QString unescapedKey(QByteArrayView text)
{
    QString key;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '\\') {
            key += QLatin1Char('/');
            continue;
        }
        if (c == '%') {
            const bool isLong = i + 1 < text.size() && text.at(i + 1) == 'U';
            const int digits = isLong ? kLongEscapeDigits : kShortEscapeDigits;
            const qsizetype first = i + (isLong ? 2 : 1);
            bool ok = false;
            const uint code = first + digits <= text.size() ? text.sliced(first, digits).toUInt(&ok, kHexBase) : 0;
            if (ok) {
                key += QChar(static_cast<char16_t>(code));
                i = first + digits - 1;
                continue;
            }
        }
        key += QLatin1Char(c);
    }
    return key;
}

struct Placed
{
    int place = kUnplaced;
    QString name;

    bool operator<(const Placed& other) const { return place != other.place ? place < other.place : name < other.name; }
};

} // namespace

QHash<QString, int> iniKeyOrder(QByteArrayView text)
{
    QHash<QString, int> order;
    QString section;
    int place = 0;
    qsizetype lineStart = 0;
    while (lineStart < text.size()) {
        qsizetype lineEnd = lineStart;
        while (lineEnd < text.size() && text.at(lineEnd) != '\n' && text.at(lineEnd) != '\r') {
            ++lineEnd;
        }
        const QByteArray line = text.sliced(lineStart, lineEnd - lineStart).toByteArray().trimmed();
        lineStart = lineEnd + 1;
        if (line.isEmpty() || line.startsWith(';')) {
            continue;
        }
        if (line.startsWith('[')) {
            const qsizetype close = line.indexOf(']');
            const QByteArray name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            if (name.compare(kGeneralSection, Qt::CaseInsensitive) == 0) {
                section.clear();
            } else if (name.compare('%' + kGeneralSection, Qt::CaseInsensitive) == 0) {
                section = QString::fromLatin1(name.mid(1));
            } else {
                section = unescapedKey(name);
            }
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0) {
            continue;
        }
        const QString key = unescapedKey(line.left(equals).trimmed());
        order.insert(section.isEmpty() ? key : section + QLatin1Char('/') + key, place++);
    }
    return order;
}

QByteArray iniText(const IniValues& values, const QHash<QString, int>& keyOrder)
{
    struct Section
    {
        Placed placed;
        std::vector<std::pair<Placed, QVariant>> keys;
    };
    QMap<QString, Section> sections;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const qsizetype slash = it.key().indexOf(QLatin1Char('/'));
        const QString sectionName = slash < 0 ? QString() : it.key().left(slash);
        const QString name = slash < 0 ? it.key() : it.key().mid(slash + 1);
        const int place = keyOrder.value(it.key(), kUnplaced);
        Section& section = sections[sectionName];
        section.placed.name = sectionName;
        section.placed.place = std::min(section.placed.place, place);
        section.keys.emplace_back(Placed{place, name}, it.value());
    }
    std::vector<Section*> ordered;
    for (Section& section : sections) {
        std::sort(section.keys.begin(), section.keys.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        ordered.push_back(&section);
    }
    std::sort(ordered.begin(), ordered.end(), [](const Section* a, const Section* b) { return a->placed < b->placed; });

    QByteArray out;
    for (const Section* section : ordered) {
        if (!out.isEmpty()) {
            out += kLineEnd;
        }
        QByteArray header;
        appendEscapedKey(header, section->placed.name);
        if (header.isEmpty()) {
            header = QByteArrayLiteral("General");
        } else if (header.compare(kGeneralSection, Qt::CaseInsensitive) == 0) {
            header = QByteArrayLiteral("%General");
        }
        out += '[' + header + ']' + kLineEnd;
        for (const auto& [placed, value] : section->keys) {
            appendEscapedKey(out, placed.name);
            out += '=';
            appendValue(out, value);
            out += kLineEnd;
        }
    }
    return out;
}

} // namespace quantaro
