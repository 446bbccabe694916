#pragma once

#include "about/programinfo.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace quantaro {

class SettingsStore;

/** The first line of every version file, compared without regard to case. */
inline const QString kVersionFileMagic = QStringLiteral("##Quantaro-CheckVersionFile##");
/** The version file's path on the publisher's server. */
inline const QString kVersionFilePath = QStringLiteral("/cvf/quantaro.cvf");
/** Most characters a version-file line keeps; the rest of a longer line is dropped. */
inline constexpr qsizetype kVersionLineMaxLength = 511;
/** Lines of a version file that mean anything: magic, version, two addresses. */
inline constexpr int kVersionFileLineCount = 4;

/**
 * Reads the lines of a version file as the body arrives, in pieces of any size. Bytes are Latin-1;
 * carriage returns are dropped wherever they stand; a line ends at a line feed, and at its first
 * NUL as far as its text goes. Only the first kVersionFileLineCount lines are kept, each cut to
 * kVersionLineMaxLength characters, so whatever a server sends, the reader holds a few kilobytes.
 */
class VersionFileReader
{
public:
    /** Takes the next piece of the body; false once every line that matters has been read. */
    bool feed(QByteArrayView bytes);
    /** The body ended: text after the last line feed is a line of its own. */
    void finish();

    /** Whether every line that matters has been read. */
    bool isDone() const { return m_lines.size() >= kVersionFileLineCount; }
    /** The lines read so far (at most kVersionFileLineCount). */
    const QStringList& lines() const { return m_lines; }

private:
    void endLine();

    QByteArray m_line;
    QStringList m_lines;
};

/** What a version file says compared with the program's own version. */
struct VersionFileVerdict
{
    /** The first line was the magic. */
    bool isVersionFile = false;
    /** The file announces a version greater than the program's. */
    bool newer = false;
    /** The second line as read, shown to the user when newer. */
    QString versionLine;
    /** Lines 3 and 4 (empty when missing); set only when newer. */
    QString firstLink;
    QString secondLink;
};

/** Judges the lines of a version file; missing lines read as empty. */
VersionFileVerdict judgeVersionFile(const QStringList& lines, QStringView ownVersion = kProgramVersion);
/** Reads a whole body held in memory and judges it. */
VersionFileVerdict parseVersionFile(QByteArrayView body, QStringView ownVersion = kProgramVersion);

/** Whether an address from the network may go to the shell: an http or https address with a host. */
bool isWebAddress(const QString& address);

/**
 * The version file's address: below the base address in "Settings\UpdateServer" when it holds
 * one, else below the publisher's web address. Nothing when that value names a scheme other than
 * http or https.
 */
std::optional<QString> versionFileUrl(const SettingsStore& settings);

} // namespace quantaro
