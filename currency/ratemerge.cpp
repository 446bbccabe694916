#include "currency/ratemerge.h"

#include "catalogue/currencyunits.h"
#include "currency/ratefilereader.h"

#include <QSet>
#include <cmath>

namespace quantaro {

namespace {

constexpr qsizetype kCodeLength = 3;

bool isPositiveFinite(double value)
{
    return std::isfinite(value) && value > 0.0;
}

bool isThreeAsciiLetters(QStringView code)
{
    if (code.size() != kCodeLength) {
        return false;
    }
    for (const QChar ch : code) {
        if (ch < u'A' || ch > u'Z') {
            return false;
        }
    }
    return true;
}

/** Whether the source may contribute on that day, and if not, why. */
SourceReport judgeDate(const std::optional<QuotedRates>& source, QDate today)
{
    SourceReport report;
    if (!source) {
        return report;
    }
    report.date = source->date;
    if (!source->date.isValid() || source->date > today.addDays(kMaxSourceDaysAhead)) {
        return report;
    }
    report.outcome = source->date.daysTo(today) > kMaxRateAgeDays ? SourceOutcome::Stale : SourceOutcome::Used;
    return report;
}

class Merge
{
public:
    explicit Merge(MergedRates& result) : m_result(result) {}

    /** Adds the rate of a currency worth valueInEuro euros; false when it makes no rate line. */
    bool add(const QString& code, double valueInEuro, QDate date)
    {
        if (code == kEuroCode || m_codes.contains(code) ||
            m_result.rates.size() >= static_cast<std::size_t>(kMostRatesPerFile) || !isPositiveFinite(valueInEuro) ||
            !std::isfinite(1.0 / valueInEuro)) {
            return false;
        }
        const QString rate = rateText(valueInEuro);
        // Written plain, a rate far from 1 takes hundreds of digits: such a line is no rate line.
        if (code.size() + 1 + rate.size() > kRateLineMaxLength || !isRateNumber(rate)) {
            return false;
        }
        m_codes.insert(code);
        m_result.rates.push_back({code, rate, date});
        return true;
    }
    bool has(const QString& code) const { return m_codes.contains(code); }

private:
    MergedRates& m_result;
    QSet<QString> m_codes;
};

/** Euros per unit of the open source's base; nothing when no currency of both carries it over. */
std::optional<double> eurosPerBase(const QuotedRates& open, const std::optional<QuotedRates>& bank, bool bankUsed)
{
    if (open.base == kEuroCode) {
        return 1.0;
    }
    auto quoteOf = [](const QuotedRates& rates, const QString& code) -> std::optional<double> {
        for (const auto& [quoted, value] : rates.quotes) {
            if (quoted == code && isPositiveFinite(value)) {
                return value;
            }
        }
        return std::nullopt;
    };
    if (bankUsed) {
        if (const std::optional<double> perEuro = quoteOf(*bank, open.base)) {
            return 1.0 / *perEuro;
        }
    }
    return quoteOf(open, kEuroCode);
}

} // namespace

QByteArray MergedRates::rateFile() const
{
    QByteArray lines;
    for (const MergedRate& rate : rates) {
        lines +=
            rate.code.toLatin1() + ';' + rate.rate.toLatin1() + ';' + rate.date.toString(Qt::ISODate).toLatin1() + '\n';
    }
    return lines;
}

MergedRates mergeRates(const std::optional<QuotedRates>& bank, const std::optional<QuotedRates>& open, QDate today)
{
    MergedRates result;
    Merge merge(result);
    result.bank = judgeDate(bank, today);
    if (result.bank.used() && bank->base == kEuroCode) {
        for (const auto& [code, perEuro] : bank->quotes) {
            result.bank.count += merge.add(code, 1.0 / perEuro, bank->date) ? 1 : 0;
        }
    }
    if (result.bank.count == 0 && result.bank.used()) {
        result.bank.outcome = SourceOutcome::Failed;
    }

    result.open = judgeDate(open, today);
    const std::optional<double> perBase =
        result.open.used() ? eurosPerBase(*open, bank, result.bank.used()) : std::nullopt;
    if (perBase && isPositiveFinite(*perBase)) {
        for (const auto& [code, perUnitOfBase] : open->quotes) {
            if (!isThreeAsciiLetters(code) || merge.has(code) || !isPositiveFinite(perUnitOfBase)) {
                continue;
            }
            result.open.count += merge.add(code, *perBase / perUnitOfBase, open->date) ? 1 : 0;
        }
    }
    if (result.open.count == 0 && result.open.used()) {
        result.open.outcome = SourceOutcome::Failed;
    }
    return result;
}

} // namespace quantaro
