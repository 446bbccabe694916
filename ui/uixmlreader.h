#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

namespace quantaro {

/**
 * A pull reader of the XML that dialog templates are written in, with the few calls of Qt's stream
 * reader that the template readers use, at a fraction of its cost: a window reads one or two
 * templates before it is first painted, and Qt's reader spent more on them than building the
 * window's controls did.
 *
 * It reads UTF-8 elements, attributes in single or double quotes, text with the five named entities
 * and character references, CDATA sections, comments, processing instructions and a document type
 * declaration (the last three skipped). Namespaces are not resolved. Anything that is not
 * well-formed (an unclosed or mismatched element, a broken tag or reference, a second root, text
 * after the root) is an error, after which every call reads nothing.
 */
class UiXmlReader
{
public:
    explicit UiXmlReader(QByteArray data);

    /** Reads on to the next start element inside the current one: false at the current element's end
     *  (or the document's), and on an error. */
    bool readNextStartElement();
    /** The current element's name (its bytes: names compare with plain ASCII ones as they are). */
    QLatin1StringView name() const { return QLatin1StringView(m_name.data(), m_name.size()); }
    /** An attribute of the current start element; empty when it has none of that name. */
    QString attribute(QLatin1StringView attributeName) const;
    bool hasAttribute(QLatin1StringView attributeName) const;
    /** The text of the current element up to its end. A child element is an error unless
     *  includeChildren, which takes the children's text too. */
    QString readElementText(bool includeChildren = false);
    /** The text of the current element up to its end, or nothing when it holds a child element (which
     *  is read over to the element's end: the document is still checked). */
    std::optional<QString> readPlainText();
    /** Reads on to the end of the current element. */
    void skipCurrentElement();
    bool hasError() const { return m_error; }

private:
    enum class Token
    {
        Start,
        End,
        Text,
        Done,
        Invalid
    };

    /** What reading on to the current element's end found. */
    struct ElementText
    {
        QString text;
        bool heldElements = false;
        /** False when the document ended or broke before the element did. */
        bool complete = false;
    };
    /** Reads the text up to the current element's end; with failAtElement a child element is an
     *  error that ends the read. */
    ElementText readToElementEnd(bool failAtElement);

    Token next();
    Token fail();
    bool readName(QByteArrayView& name);
    void skipSpaces();

    QByteArray m_data;
    qsizetype m_at = 0;
    bool m_error = false;
    bool m_rootSeen = false;
    // A self-closing element gives its end at the next step.
    bool m_pendingEnd = false;
    std::vector<QByteArrayView> m_open;
    QByteArrayView m_name;
    std::vector<std::pair<QByteArray, QString>> m_attributes;
    QString m_text;
};

} // namespace quantaro
