#include "ui/uixmlreader.h"

#include <algorithm>

namespace quantaro {

namespace {
constexpr char32_t kLastCodePoint = 0x10ffff;
constexpr char32_t kFirstSurrogate = 0xd800;
constexpr char32_t kLastSurrogate = 0xdfff;
constexpr int kDecimal = 10;
constexpr int kHexadecimal = 16;
// Longer than any reference that is not made of a huge run of leading zeros.
constexpr qsizetype kLongestReference = 12;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isNameStart(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || u >= 0x80;
}

bool isNameChar(char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

bool onlySpaces(QByteArrayView text)
{
    return std::all_of(text.begin(), text.end(), isSpace);
}

// Line ends read as line feeds, as every XML reader gives them.
void appendRun(QByteArrayView run, QString& into)
{
    qsizetype from = 0;
    for (qsizetype cr = run.indexOf('\r'); cr >= 0; cr = run.indexOf('\r', from)) {
        into += QString::fromUtf8(run.sliced(from, cr - from));
        into += u'\n';
        from = cr + 1;
        if (from < run.size() && run[from] == '\n') {
            ++from;
        }
    }
    into += QString::fromUtf8(run.sliced(from));
}

bool isDigitOf(char c, bool hex)
{
    return (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
}

// The body of a reference (between '&' and ';'): a named entity or a character reference.
bool appendReference(QByteArrayView body, QString& into)
{
    if (body == "lt") {
        into += u'<';
    } else if (body == "gt") {
        into += u'>';
    } else if (body == "amp") {
        into += u'&';
    } else if (body == "quot") {
        into += u'"';
    } else if (body == "apos") {
        into += u'\'';
    } else if (body.size() > 1 && body[0] == '#') {
        const bool hex = body[1] == 'x';
        const QByteArrayView digits = body.sliced(hex ? 2 : 1);
        if (digits.isEmpty() ||
            !std::all_of(digits.begin(), digits.end(), [hex](char c) { return isDigitOf(c, hex); })) {
            return false;
        }
        bool ok = false;
        const uint code = QByteArray(digits.data(), digits.size()).toUInt(&ok, hex ? kHexadecimal : kDecimal);
        if (!ok || code == 0 || code > kLastCodePoint || (code >= kFirstSurrogate && code <= kLastSurrogate)) {
            return false;
        }
        const char32_t codePoint = code;
        into += QString::fromUcs4(&codePoint, 1);
    } else {
        return false;
    }
    return true;
}

// Appends raw (text that holds no '<') with its references resolved; false on a broken reference.
bool appendText(QByteArrayView raw, QString& into)
{
    qsizetype from = 0;
    while (from < raw.size()) {
        const qsizetype amp = raw.indexOf('&', from);
        appendRun(raw.sliced(from, (amp < 0 ? raw.size() : amp) - from), into);
        if (amp < 0) {
            break;
        }
        const qsizetype semicolon = raw.indexOf(';', amp);
        if (semicolon < 0 || semicolon - amp > kLongestReference ||
            !appendReference(raw.sliced(amp + 1, semicolon - amp - 1), into)) {
            return false;
        }
        from = semicolon + 1;
    }
    return true;
}
} // namespace

UiXmlReader::UiXmlReader(QByteArray data) : m_data(std::move(data))
{
    if (!QByteArrayView(m_data).isValidUtf8()) {
        m_error = true;
    }
}

UiXmlReader::Token UiXmlReader::fail()
{
    m_error = true;
    return Token::Invalid;
}

void UiXmlReader::skipSpaces()
{
    while (m_at < m_data.size() && isSpace(m_data[m_at])) {
        ++m_at;
    }
}

bool UiXmlReader::readName(QByteArrayView& name)
{
    const qsizetype start = m_at;
    if (m_at >= m_data.size() || !isNameStart(m_data[m_at])) {
        return false;
    }
    while (m_at < m_data.size() && isNameChar(m_data[m_at])) {
        ++m_at;
    }
    name = QByteArrayView(m_data).sliced(start, m_at - start);
    return true;
}

UiXmlReader::Token UiXmlReader::next()
{
    if (m_error) {
        return Token::Invalid;
    }
    if (m_pendingEnd) {
        m_pendingEnd = false;
        m_open.pop_back();
        return Token::End;
    }
    const QByteArrayView data(m_data);
    while (true) {
        if (m_at >= data.size()) {
            return m_open.empty() && m_rootSeen ? Token::Done : fail();
        }
        if (data[m_at] != '<') {
            qsizetype end = data.indexOf('<', m_at);
            if (end < 0) {
                end = data.size();
            }
            const QByteArrayView raw = data.sliced(m_at, end - m_at);
            if (m_open.empty()) {
                if (!onlySpaces(raw)) {
                    return fail();
                }
                m_at = end;
                continue;
            }
            m_text.clear();
            const bool read = appendText(raw, m_text);
            m_at = end;
            return read ? Token::Text : fail();
        }
        const QByteArrayView rest = data.sliced(m_at);
        if (rest.startsWith("<?")) {
            const qsizetype end = data.indexOf("?>", m_at + 2);
            if (end < 0) {
                return fail();
            }
            m_at = end + 2;
            continue;
        }
        if (rest.startsWith("<!--")) {
            const qsizetype end = data.indexOf("-->", m_at + 4);
            if (end < 0) {
                return fail();
            }
            m_at = end + 3;
            continue;
        }
        if (rest.startsWith("<![CDATA[")) {
            constexpr qsizetype kOpening = 9;
            const qsizetype end = data.indexOf("]]>", m_at + kOpening);
            if (end < 0 || m_open.empty()) {
                return fail();
            }
            m_text = QString::fromUtf8(data.sliced(m_at + kOpening, end - m_at - kOpening));
            m_at = end + 3;
            return Token::Text;
        }
        if (rest.startsWith("<!")) {
            // A document type declaration, before the root only; an internal subset ends with "]>".
            if (m_rootSeen) {
                return fail();
            }
            const qsizetype close = data.indexOf('>', m_at);
            const qsizetype subset = data.indexOf('[', m_at);
            const qsizetype end = (subset >= 0 && (close < 0 || subset < close)) ? data.indexOf("]>", subset) : close;
            if (end < 0) {
                return fail();
            }
            m_at = data[end] == ']' ? end + 2 : end + 1;
            continue;
        }
        if (rest.startsWith("</")) {
            m_at += 2;
            QByteArrayView name;
            if (!readName(name)) {
                return fail();
            }
            skipSpaces();
            if (m_at >= data.size() || data[m_at] != '>' || m_open.empty() || m_open.back() != name) {
                return fail();
            }
            ++m_at;
            m_open.pop_back();
            m_name = name;
            return Token::End;
        }
        ++m_at;
        QByteArrayView name;
        if (!readName(name) || (m_open.empty() && m_rootSeen)) {
            return fail();
        }
        m_attributes.clear();
        bool selfClosing = false;
        while (true) {
            const qsizetype before = m_at;
            skipSpaces();
            if (m_at >= data.size()) {
                return fail();
            }
            if (data[m_at] == '>') {
                ++m_at;
                break;
            }
            if (data.sliced(m_at).startsWith("/>")) {
                m_at += 2;
                selfClosing = true;
                break;
            }
            QByteArrayView attributeName;
            if (m_at == before || !readName(attributeName)) {
                return fail();
            }
            skipSpaces();
            if (m_at >= data.size() || data[m_at] != '=') {
                return fail();
            }
            ++m_at;
            skipSpaces();
            if (m_at >= data.size() || (data[m_at] != '"' && data[m_at] != '\'')) {
                return fail();
            }
            const char quote = data[m_at++];
            const qsizetype end = data.indexOf(quote, m_at);
            if (end < 0) {
                return fail();
            }
            const QByteArrayView raw = data.sliced(m_at, end - m_at);
            QString value;
            if (raw.contains('<') || !appendText(raw, value)) {
                return fail();
            }
            // An attribute's line ends and tabs read as spaces.
            for (QChar& c : value) {
                if (c == u'\n' || c == u'\t') {
                    c = u' ';
                }
            }
            const QByteArray key(attributeName.data(), attributeName.size());
            if (std::any_of(m_attributes.begin(), m_attributes.end(),
                            [&key](const auto& a) { return a.first == key; })) {
                return fail();
            }
            m_attributes.emplace_back(key, value);
            m_at = end + 1;
        }
        m_open.push_back(name);
        m_rootSeen = true;
        m_name = name;
        m_pendingEnd = selfClosing;
        return Token::Start;
    }
}

bool UiXmlReader::readNextStartElement()
{
    while (true) {
        switch (next()) {
        case Token::Start:
            return true;
        case Token::Text:
            continue;
        case Token::End:
        case Token::Done:
        case Token::Invalid:
            return false;
        }
    }
}

QString UiXmlReader::attribute(QLatin1StringView attributeName) const
{
    for (const auto& [key, value] : m_attributes) {
        if (QLatin1StringView(key) == attributeName) {
            return value;
        }
    }
    return {};
}

bool UiXmlReader::hasAttribute(QLatin1StringView attributeName) const
{
    return std::any_of(m_attributes.begin(), m_attributes.end(),
                       [attributeName](const auto& a) { return QLatin1StringView(a.first) == attributeName; });
}

UiXmlReader::ElementText UiXmlReader::readToElementEnd(bool failAtElement)
{
    ElementText read;
    int depth = 0;
    while (true) {
        switch (next()) {
        case Token::Text:
            read.text += m_text;
            break;
        case Token::Start:
            read.heldElements = true;
            if (failAtElement) {
                fail();
                return read;
            }
            ++depth;
            break;
        case Token::End:
            if (depth == 0) {
                read.complete = true;
                return read;
            }
            --depth;
            break;
        case Token::Done:
        case Token::Invalid:
            return read;
        }
    }
}

QString UiXmlReader::readElementText(bool includeChildren)
{
    return readToElementEnd(!includeChildren).text;
}

std::optional<QString> UiXmlReader::readPlainText()
{
    ElementText read = readToElementEnd(false);
    if (!read.complete || read.heldElements) {
        return std::nullopt;
    }
    return std::move(read.text);
}

void UiXmlReader::skipCurrentElement()
{
    int depth = 1;
    while (depth > 0) {
        switch (next()) {
        case Token::Start:
            ++depth;
            break;
        case Token::End:
            --depth;
            break;
        case Token::Text:
            break;
        case Token::Done:
        case Token::Invalid:
            return;
        }
    }
}

} // namespace quantaro
