#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <cstddef>
#include <utility>
#include <vector>

namespace quantaro {

class SettingsStore;

/** Most characters of a rate line, line feed and carriage returns not counted; longer lines are skipped. */
inline constexpr qsizetype kRateLineMaxLength = 255;
/** Most rates one file may store. The world has under two hundred currencies; a body of a hundred
 *  thousand lines would otherwise rewrite the settings file once per line and fill it with names. */
inline constexpr int kMostRatesPerFile = 512;

/** What became of one rate line. */
enum class RateLine
{
    Stored,     ///< its rate is in the settings now
    Skipped,    ///< malformed, or the currency's rate is locked: nothing to store
    StoreFailed ///< a rate to store, but the settings could not be written
};

/** Whether a code can be a value name of "Currencies": no '/', '\\' or control character. */
bool isAcceptableRateCode(QStringView code);

/**
 * Stores one rate line ("CODE;rate[;ignored...]") in the section "Currencies" unless the stored
 * rate of that code is locked (begins with "-"). A line with fewer than two fields, whose code
 * holds '/', '\' or a control character, or whose rate is not a rate (isRateNumber: a rate that
 * begins with the lock marker is not one) stores nothing.
 */
RateLine applyRateLine(SettingsStore& settings, QStringView line);

/**
 * Reads a rate file as it arrives, in pieces of any size, and stores each complete line at once.
 * Carriage returns are dropped wherever they stand; a line longer than kRateLineMaxLength is
 * skipped whole. The text after the last line feed is a line only when finish() says the body
 * ended normally, so a transfer broken mid-line never stores a truncated rate. Lines after the
 * kMostRatesPerFile-th stored rate are read but store nothing, and so are all lines after the first
 * whose rate could not be stored: the settings cannot be written, and the file has failed.
 */
class RateFileReader
{
public:
    explicit RateFileReader(SettingsStore& settings);

    void feed(QByteArrayView bytes);
    /** The body is complete: handles its last line even without a line feed. */
    void finish();

    /** How many lines stored a rate so far. */
    int storedCount() const { return m_stored; }
    /** Whether a rate could not be stored. */
    bool storeFailed() const { return m_storeFailed; }
    /** The code of each line that stored a rate (or found it unchanged), with the line's third
     *  field, where a publisher writes the rate's day; empty when the line has none. */
    const std::vector<std::pair<QString, QString>>& storedCodes() const { return m_storedCodes; }

private:
    void endLine();

    SettingsStore& m_settings;
    QByteArray m_line;
    bool m_overlong = false;
    int m_stored = 0;
    bool m_storeFailed = false;
    std::vector<std::pair<QString, QString>> m_storedCodes;
};

/** What a whole rate file stored. */
struct StoredRates
{
    int count = 0;
    bool failed = false; ///< a rate could not be stored
};

/** Handles a whole rate file held in memory. */
StoredRates storeRateFile(SettingsStore& settings, QByteArrayView body);

} // namespace quantaro
