#include "currency/currencyunits.h"

#include "app/settingsstore.h"
#include "catalogue/rubric.h"

#include <QString>

namespace quantaro {

namespace {

constexpr char16_t kLockMarker = u'-';

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

qsizetype skipDigits(QStringView text, qsizetype at)
{
    while (at < text.size() && isDigit(text[at])) {
        ++at;
    }
    return at;
}

} // namespace

double leadingNumber(QStringView text)
{
    qsizetype at = 0;
    while (at < text.size() && text[at].isSpace()) {
        ++at;
    }
    const qsizetype start = at;
    if (at < text.size() && (text[at] == QLatin1Char('+') || text[at] == QLatin1Char('-'))) {
        ++at;
    }
    const qsizetype integerStart = at;
    at = skipDigits(text, at);
    bool anyDigit = at > integerStart;
    if (at < text.size() && text[at] == QLatin1Char('.')) {
        const qsizetype fractionStart = at + 1;
        const qsizetype fractionEnd = skipDigits(text, fractionStart);
        if (anyDigit || fractionEnd > fractionStart) {
            anyDigit = true;
            at = fractionEnd;
        }
    }
    if (!anyDigit) {
        return 0.0;
    }
    // An exponent counts only when at least one digit follows its letter and sign.
    if (at < text.size() && (text[at] == QLatin1Char('e') || text[at] == QLatin1Char('E'))) {
        qsizetype exponent = at + 1;
        if (exponent < text.size() && (text[exponent] == QLatin1Char('+') || text[exponent] == QLatin1Char('-'))) {
            ++exponent;
        }
        const qsizetype exponentEnd = skipDigits(text, exponent);
        if (exponentEnd > exponent) {
            at = exponentEnd;
        }
    }
    // The prefix is plain ASCII now; Qt reads it in the C locale, an overflow gives infinity.
    return text.sliced(start, at - start).toDouble();
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
        const QString rate = stored.startsWith(QChar(kLockMarker)) ? stored.sliced(1) : stored;
        unit.setFromBase(QStringLiteral("$/") + rate);
        unit.setToBase(QStringLiteral("$*") + rate);
    }
}

} // namespace quantaro
