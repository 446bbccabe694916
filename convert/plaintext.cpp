#include "convert/plaintext.h"

#include <QStringDecoder>
#include <algorithm>

namespace quantaro {

namespace {
constexpr char16_t kFirstPrintable = 0x20;
constexpr char16_t kTab = 0x09;
constexpr char16_t kDelete = 0x7f;
constexpr char16_t kLastControl = 0x9f;
constexpr char16_t kReplacement = 0xfffd;
constexpr char16_t kNonCharacterLow = 0xfffe;
} // namespace

bool isPlainText(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if ((c < kFirstPrintable && c != kTab) || (c >= kDelete && c <= kLastControl) || c == kReplacement ||
            c >= kNonCharacterLow) {
            return false;
        }
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 >= text.size() || !text[i + 1].isLowSurrogate()) {
                return false;
            }
            ++i;
        } else if (QChar::isLowSurrogate(c)) {
            return false;
        }
    }
    return true;
}

std::optional<QString> plainTextOf(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError() || !isPlainText(text)) {
        return std::nullopt;
    }
    return text;
}

bool hasDigit(QStringView text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace quantaro
