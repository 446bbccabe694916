#include "catalogue/currencyunits.h"

#include "app/settingsstore.h"
#include "catalogue/rubric.h"

#include <QString>
#include <algorithm>
#include <cmath>

namespace quantaro {

namespace {

/** The operators of a currency unit's formulas, in front of its rate. */
const QString kToBaseOperator = QStringLiteral("$*");
const QString kFromBaseOperator = QStringLiteral("$/");

bool isPlainDecimal(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c == u'.' || (c >= u'0' && c <= u'9'); });
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

/** Digits with at most one point and at least one digit, then optionally e or E, a sign and digits. */
bool isDecimalNumberText(QStringView text)
{
    qsizetype i = 0;
    int digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (isDigit(text[i])) {
            ++digits;
        } else if (text[i] == u'.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (i == text.size()) {
        return true;
    }
    if (text[i] != u'e' && text[i] != u'E') {
        return false;
    }
    ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        ++i;
    }
    const qsizetype exponentStart = i;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    return i > exponentStart && i == text.size();
}

} // namespace

bool isRateNumber(QStringView text)
{
    if (!isDecimalNumberText(text)) {
        return false;
    }
    const double rate = leadingNumber(text);
    return std::isfinite(rate) && rate > 0.0 && std::isfinite(1.0 / rate) && 1.0 / rate > 0.0;
}

QString rateText(double rate)
{
    return plainDecimal(rate, kRateSignificantDigits);
}

QString editableRateText(const QString& stored)
{
    if (isPlainDecimal(stored)) {
        return stored;
    }
    const double rate = leadingNumber(stored);
    return std::isfinite(rate) && rate > 0.0 ? rateText(rate) : stored;
}

StoredRate StoredRate::parse(const QString& stored)
{
    if (stored.startsWith(kRateLockMarker)) {
        return {stored.sliced(1), true};
    }
    return {stored, false};
}

StoredRate StoredRate::ofFormula(const QString& toBase)
{
    return {toBase.mid(kToBaseOperator.size()), false};
}

QString StoredRate::stored() const
{
    return locked ? kRateLockMarker + text : text;
}

StoredRate storedRate(const SettingsStore& settings, const QString& code)
{
    return StoredRate::parse(settings.getString(settings::kCurrencies, code));
}

void UpdateCurrencyUnits(Rubric& currencies, const SettingsStore& settings)
{
    for (int i = 0; i < currencies.unitCount(); ++i) {
        UnitRecord& unit = currencies.unit(i);
        // The euro is the base: a stored rate for it (a publisher's line "EUR;2") would shift every result.
        if (unit.tag() == kEuroCode) {
            continue;
        }
        const QString rate = storedRate(settings, unit.tag()).text;
        // Anything but a number would become part of the formula (a stored "1-1" would subtract).
        if (!isRateNumber(rate)) {
            continue;
        }
        unit.setFromBase(kFromBaseOperator + rate);
        unit.setToBase(kToBaseOperator + rate);
    }
}

} // namespace quantaro
