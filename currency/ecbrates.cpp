#include "currency/ecbrates.h"

#include "catalogue/currencyunits.h"
#include "currency/ratefilereader.h"

#include <QString>
#include <QXmlStreamReader>
#include <cmath>

namespace quantaro {

namespace {

constexpr qsizetype kMaxCodeLength = 16;
constexpr char16_t kFirstGraphic = 0x21;
constexpr char16_t kLastGraphic = 0x7e;

// Codes go into a line of the rate file, so they must be plain ASCII without a field separator.
bool isUsableCode(QStringView code)
{
    if (code.isEmpty() || code.size() > kMaxCodeLength) {
        return false;
    }
    for (const QChar ch : code) {
        const char16_t c = ch.unicode();
        if (c < kFirstGraphic || c > kLastGraphic || c == u';') {
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<QuotedRates> readEcbRates(QByteArrayView xml)
{
    QXmlStreamReader reader(xml.toByteArray());
    QuotedRates rates;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != QLatin1String("Cube")) {
            continue;
        }
        const QXmlStreamAttributes attributes = reader.attributes();
        if (!rates.date.isValid() && attributes.hasAttribute(QLatin1String("time"))) {
            rates.date = QDate::fromString(attributes.value(QLatin1String("time")).trimmed().toString(), Qt::ISODate);
        }
        const QStringView code = attributes.value(QLatin1String("currency"));
        bool ok = false;
        const double euroRate = attributes.value(QLatin1String("rate")).trimmed().toDouble(&ok);
        if (!ok || !isUsableCode(code) || !std::isfinite(euroRate) || euroRate <= 0.0) {
            continue;
        }
        rates.quotes.emplace_back(code.toString(), euroRate);
    }
    if (reader.hasError()) {
        return std::nullopt;
    }
    return rates;
}

std::optional<QByteArray> ecbRatesToRateFile(QByteArrayView xml)
{
    const std::optional<QuotedRates> rates = readEcbRates(xml);
    if (!rates) {
        return std::nullopt;
    }
    QByteArray lines;
    for (const auto& [code, euroRate] : rates->quotes) {
        const double valueInEuro = 1.0 / euroRate;
        if (!std::isfinite(valueInEuro) || valueInEuro <= 0.0) {
            continue;
        }
        const QString rate = rateText(valueInEuro);
        const QByteArray line = code.toLatin1() + ';' + rate.toLatin1();
        // Written plain, a rate far from 1 takes hundreds of digits: a line longer than a rate line
        // may be, or a rate that the reader would not take, is left out here.
        if (line.size() > kRateLineMaxLength || !isRateNumber(rate)) {
            continue;
        }
        lines += line + '\n';
    }
    return lines;
}

} // namespace quantaro
