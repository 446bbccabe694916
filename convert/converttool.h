#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>

namespace quantaro {

/** Exit statuses of quantaro-convert. */
enum ConvertToolStatus
{
    kConvertToolOk = 0,
    /** No result: an unknown category or unit, no language module, no unit file, a failed write. */
    kConvertToolFailure = 1,
    /** A usage error, an ambiguous unit, or two units of different quantities. */
    kConvertToolUsage = 2,
    /** A value is not a finite number (inf or nan is written all the same). */
    kConvertToolNotFinite = 3,
};

/** What quantaro-convert takes from where it runs, besides its arguments and its streams. */
struct ConvertToolEnvironment
{
    /** The folder whose only module is used when neither --module nor the settings name one. */
    QString programFolder;
    /** The settings file read for the chosen language and the stored rates; empty: the user's. */
    QString settingsFile;
    /** The territory that chooses between a unit's variants ("US", "GB"), as userRegion() gives it. */
    QString region;
    /** The version --version shows: the program's own. */
    QString version;
};

/**
 * quantaro-convert with its arguments (without the program name): converts a value, the values of
 * in (one a line), or a query, lists units or evaluates an expression. Results go to out, messages
 * one a line to err; answers on in's lines are written before each read of in, so a reader that
 * writes a line and waits gets its answer. Only reads the settings. Returns a ConvertToolStatus.
 */
int runConvertTool(const QStringList& arguments, QIODevice& in, QIODevice& out, QIODevice& err,
                   const ConvertToolEnvironment& environment);

/**
 * A file descriptor (standard input, output or error) as a device without a buffer of its own: a
 * read answers with what is there, a write reaches the descriptor at once, and a failure leaves the
 * system's reason in errorString(). The descriptor stays open.
 */
class DescriptorDevice : public QIODevice
{
public:
    DescriptorDevice(int descriptor, OpenMode mode);

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

private:
    int m_descriptor;
};

} // namespace quantaro
