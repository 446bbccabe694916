#include "currency/currencyunits.h"

#include "app/settingsstore.h"
#include "catalogue/rubric.h"

#include <QString>
#include <algorithm>
#include <cmath>

namespace quantaro {

namespace {

bool isPlainDecimal(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c == u'.' || (c >= u'0' && c <= u'9'); });
}

} // namespace

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

void UpdateCurrencyUnits(Rubric& currencies, const SettingsStore& settings)
{
    for (int i = 0; i < currencies.unitCount(); ++i) {
        UnitRecord& unit = currencies.unit(i);
        const QString stored = settings.getString(settings::kCurrencies, unit.tag());
        // The zero test sees the lock marker, so a locked rate reads as negative and passes.
        if (stored.isEmpty() || leadingNumber(stored) == 0.0) {
            continue;
        }
        const QString rate = stored.startsWith(kRateLockMarker) ? stored.sliced(1) : stored;
        unit.setFromBase(QStringLiteral("$/") + rate);
        unit.setToBase(QStringLiteral("$*") + rate);
    }
}

} // namespace quantaro
