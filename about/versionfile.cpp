#include "about/versionfile.h"

#include "app/updateserver.h"
#include "catalogue/numbertext.h"

#include <QUrl>

namespace quantaro {

namespace {

constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
constexpr char kNul = '\0';

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
    verdict.newer = leadingNumber(verdict.versionLine) > leadingNumber(ownVersion);
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
