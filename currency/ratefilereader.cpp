#include "currency/ratefilereader.h"

#include "app/settingsstore.h"
#include "catalogue/currencyunits.h"
#include "catalogue/unitdefinition.h"

#include <QString>

namespace quantaro {

namespace {

constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
constexpr char16_t kFirstPrintable = 0x20;
constexpr char16_t kDelete = 0x7f;
constexpr char16_t kLastC1Control = 0x9f;

} // namespace

// The code becomes a value name of the settings store; it must stay one flat, printable name.
bool isAcceptableRateCode(QStringView code)
{
    for (const QChar ch : code) {
        const char16_t c = ch.unicode();
        if (c == u'/' || c == u'\\' || c < kFirstPrintable || (c >= kDelete && c <= kLastC1Control)) {
            return false;
        }
    }
    return true;
}

RateLine applyRateLine(SettingsStore& settings, QStringView line)
{
    // The line is text up to its first NUL, as the format has always been read.
    if (const qsizetype nul = line.indexOf(QChar(u'\0')); nul >= 0) {
        line = line.first(nul);
    }
    QStringView rest = line;
    const std::optional<QStringView> code = nextToken(rest);
    const std::optional<QStringView> rate = nextToken(rest);
    // The rate goes into formulas, and its first character can lock it: only a number is taken.
    if (!code || !rate || !isAcceptableRateCode(*code) || !isRateNumber(*rate)) {
        return RateLine::Skipped;
    }
    const QString name = code->toString();
    const StoredRate stored = storedRate(settings, name);
    if (stored.locked) {
        return RateLine::Skipped;
    }
    // A rate that has not changed is not written again: each write replaces the whole file.
    const StoredRate downloaded{rate->toString(), false};
    if (stored == downloaded) {
        return RateLine::Stored;
    }
    return settings.putString(settings::kCurrencies, name, downloaded.stored()) ? RateLine::Stored
                                                                                : RateLine::StoreFailed;
}

RateFileReader::RateFileReader(SettingsStore& settings) : m_settings(settings)
{
    m_line.reserve(kRateLineMaxLength);
}

void RateFileReader::feed(QByteArrayView bytes)
{
    for (const char byte : bytes) {
        if (byte == kCarriageReturn) {
            continue;
        }
        if (byte == kLineFeed) {
            endLine();
            continue;
        }
        if (m_overlong) {
            continue;
        }
        if (m_line.size() == kRateLineMaxLength) {
            m_overlong = true;
            m_line.clear();
            continue;
        }
        m_line.append(byte);
    }
}

void RateFileReader::finish()
{
    endLine();
}

void RateFileReader::endLine()
{
    if (!m_overlong && !m_line.isEmpty() && m_stored < kMostRatesPerFile && !m_storeFailed) {
        const QString line = QString::fromLatin1(m_line);
        switch (applyRateLine(m_settings, line)) {
        case RateLine::Stored: {
            ++m_stored;
            // The same fields applyRateLine read: text up to a NUL, the third one being the rate's day.
            const qsizetype nul = line.indexOf(QChar(u'\0'));
            QStringView rest = nul >= 0 ? QStringView(line).first(nul) : QStringView(line);
            const std::optional<QStringView> code = nextToken(rest);
            nextToken(rest);
            const std::optional<QStringView> day = nextToken(rest);
            m_storedCodes.emplace_back(code->toString(), day ? day->toString() : QString());
            break;
        }
        case RateLine::StoreFailed:
            m_storeFailed = true;
            break;
        case RateLine::Skipped:
            break;
        }
    }
    m_line.clear();
    m_overlong = false;
}

StoredRates storeRateFile(SettingsStore& settings, QByteArrayView body)
{
    RateFileReader reader(settings);
    reader.feed(body);
    reader.finish();
    return {reader.storedCount(), reader.storeFailed()};
}

} // namespace quantaro
