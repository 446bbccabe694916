#include "currency/openrates.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace quantaro {

namespace {

const QString kDateMember = QStringLiteral("date");
constexpr qsizetype kCodeLength = 3;

bool isThreeLetterCode(QStringView code)
{
    if (code.size() != kCodeLength) {
        return false;
    }
    for (const QChar ch : code) {
        if (!((ch >= u'a' && ch <= u'z') || (ch >= u'A' && ch <= u'Z'))) {
            return false;
        }
    }
    return true;
}

} // namespace

QStringList openRatesUrls()
{
    return {kOpenRatesUrl, kOpenRatesMirrorUrl};
}

std::optional<QuotedRates> readOpenRates(QByteArrayView json)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    QuotedRates rates;
    rates.date = QDate::fromString(root.value(kDateMember).toString(), Qt::ISODate);
    std::optional<QString> baseName;
    for (auto member = root.constBegin(); member != root.constEnd(); ++member) {
        if (member.key() == kDateMember || !member.value().isObject()) {
            continue;
        }
        // Two tables of rates would leave it open which one the base is.
        if (baseName) {
            return std::nullopt;
        }
        baseName = member.key();
    }
    if (!baseName || !isThreeLetterCode(*baseName)) {
        return std::nullopt;
    }
    rates.base = baseName->toUpper();
    const QJsonObject table = root.value(*baseName).toObject();
    rates.quotes.reserve(static_cast<std::size_t>(table.size()));
    for (auto quote = table.constBegin(); quote != table.constEnd(); ++quote) {
        if (quote.value().isDouble()) {
            rates.quotes.emplace_back(quote.key().toUpper(), quote.value().toDouble());
        }
    }
    return rates;
}

} // namespace quantaro
