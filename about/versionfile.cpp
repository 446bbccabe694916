#include "about/versionfile.h"

#include "app/updateserver.h"

#include <QUrl>
#include <algorithm>
#include <charconv>
#include <limits>
#include <string>

namespace quantaro {

namespace {

constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
constexpr char kNul = '\0';

bool isCBlank(QChar ch)
{
    return ch == u' ' || ch == u'\t' || ch == u'\n' || ch == u'\v' || ch == u'\f' || ch == u'\r';
}

bool isDigit(QChar ch)
{
    return ch >= u'0' && ch <= u'9';
}

// The power of ten of the number's leading significant digit, given its digits (a point at most
// once) and its written exponent; decides which way a number out of a double's range lies.
long long decimalMagnitude(std::string_view mantissa, long long exponent)
{
    const std::size_t point = mantissa.find('.');
    const std::string_view whole = mantissa.substr(0, point);
    const std::size_t firstSignificant = whole.find_first_not_of('0');
    if (firstSignificant != std::string_view::npos) {
        return exponent + static_cast<long long>(whole.size() - firstSignificant) - 1;
    }
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : mantissa.substr(point + 1);
    const std::size_t leadingZeros = fraction.find_first_not_of('0');
    return leadingZeros == std::string_view::npos ? 0 : exponent - static_cast<long long>(leadingZeros) - 1;
}

} // namespace

bool VersionFileReader::feed(QByteArrayView bytes)
{
    for (const char byte : bytes) {
        if (isDone()) {
            return false;
        }
        if (byte == kCarriageReturn) {
            continue;
        }
        if (byte == kLineFeed) {
            endLine();
            continue;
        }
        // The rest of an over-long line is dropped rather than read as the next line, which would
        // shift an address into the wrong button.
        if (m_line.size() < kVersionLineMaxLength) {
            m_line.append(byte);
        }
    }
    return !isDone();
}

void VersionFileReader::finish()
{
    if (!isDone() && !m_line.isEmpty()) {
        endLine();
    }
}

void VersionFileReader::endLine()
{
    QByteArray text = m_line;
    if (const qsizetype nul = text.indexOf(kNul); nul >= 0) {
        text.truncate(nul);
    }
    m_lines.append(QString::fromLatin1(text));
    m_line.clear();
}

VersionFileVerdict judgeVersionFile(const QStringList& lines, QStringView ownVersion)
{
    const auto line = [&lines](qsizetype i) { return i < lines.size() ? lines[i] : QString(); };
    VersionFileVerdict verdict;
    verdict.isVersionFile = line(0).compare(kVersionFileMagic, Qt::CaseInsensitive) == 0;
    if (!verdict.isVersionFile) {
        return verdict;
    }
    verdict.versionLine = line(1);
    verdict.newer = leadingDecimalNumber(verdict.versionLine) > leadingDecimalNumber(ownVersion);
    if (verdict.newer) {
        verdict.firstLink = line(2);
        verdict.secondLink = line(3);
    }
    return verdict;
}

VersionFileVerdict parseVersionFile(QByteArrayView body, QStringView ownVersion)
{
    VersionFileReader reader;
    reader.feed(body);
    reader.finish();
    return judgeVersionFile(reader.lines(), ownVersion);
}

double leadingDecimalNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && isCBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    std::string mantissa;
    bool anyDigit = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (isDigit(ch)) {
            anyDigit = true;
        } else if (ch == u'.' && !point) {
            point = true;
        } else {
            break;
        }
        mantissa += static_cast<char>(ch.unicode());
    }
    if (!anyDigit) {
        return 0.0;
    }
    // An exponent counts only when at least one digit follows its letter and sign.
    std::string exponentDigits;
    bool exponentNegative = false;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) {
            exponentNegative = text[j] == u'-';
            ++j;
        }
        for (; j < text.size() && isDigit(text[j]); ++j) {
            exponentDigits += static_cast<char>(text[j].unicode());
        }
    }
    std::string number = mantissa;
    if (!exponentDigits.empty()) {
        number += 'e';
        number += exponentNegative ? "-" : "";
        number += exponentDigits;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    Q_UNUSED(end);
    if (error == std::errc::result_out_of_range) {
        // An exponent too long for a long long is out of range the same way, so cap its digits.
        long long exponent = 0;
        constexpr long long kExponentCap = 100000;
        for (const char digit : exponentDigits) {
            exponent = std::min(exponent * 10 + (digit - '0'), kExponentCap);
        }
        value = decimalMagnitude(mantissa, exponentNegative ? -exponent : exponent) > 0
                    ? std::numeric_limits<double>::infinity()
                    : 0.0;
    } else if (error != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

bool isWebAddress(const QString& address)
{
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

std::optional<QString> versionFileUrl(const SettingsStore& settings)
{
    std::optional<QString> base = updateServerBase(settings);
    if (base && base->isEmpty()) {
        base = normaliseServerBase(publisherWebAddress());
    }
    if (!base || base->isEmpty()) {
        return std::nullopt;
    }
    return *base + kVersionFilePath;
}

} // namespace quantaro
