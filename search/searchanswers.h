#pragma once

#include "convert/loadedcatalogue.h"
#include "convert/queryreader.h"

#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>

namespace quantaro {

/** One answer as a search box shows it. */
struct SearchResult
{
    QString id;          ///< says the answer again: category code, the two unit names and the value
    QString title;       ///< "8.04672 km"
    QString description; ///< "5 mile = 8.04672 kilometre · Length"
    QString rubricCode;  ///< "LEN"
    bool certain = true; ///< false for the candidates of an ambiguous query
};

/**
 * The answers of the desktop's search boxes, over the catalogue, rates, hidden units and result
 * formats of the user's settings. Keeps the catalogue loaded and loads it again when the settings
 * file changes. Reads the settings and never writes them.
 */
class SearchAnswers
{
public:
    /** settingsFile empty: the user's own settings. */
    SearchAnswers(QString programFolder, QString settingsFile = {});
    ~SearchAnswers();
    SearchAnswers(const SearchAnswers&) = delete;
    SearchAnswers& operator=(const SearchAnswers&) = delete;

    /** The answers of a query; none when it is no conversion. */
    QList<SearchResult> answer(const QString& query);
    /** The answer an id names again; none when it names none (an id of an older catalogue). */
    std::optional<SearchResult> result(const QString& id);

    /** What tells a settings file from the one before it. */
    struct FileStamp
    {
        quint64 inode = 0;
        qint64 size = 0;
        qint64 seconds = 0;
        qint64 nanoseconds = 0;
        bool operator==(const FileStamp&) const = default;
    };

    /** The query's words as one text: the GNOME shell hands them over split at blanks. */
    static QString queryOf(const QStringList& terms);
    /** The category code an id names, or empty. */
    static QString rubricCodeOf(const QString& id);
    /** The command line arguments that open the conversion window an id names; none unless the id
     *  names an answer of the catalogue as this service gives it. */
    QStringList openArguments(const QString& id);

private:
    /** Loads the catalogue when it is not loaded or the settings file changed; false when there is none. */
    bool refresh();
    SearchResult resultOf(const QueryAnswer& answer, bool certain) const;

    QString m_programFolder;
    QString m_settingsFile;
    QString m_settingsPath; ///< the file behind the settings, once known
    std::unique_ptr<LoadedCatalogue> m_loaded;
    Catalogue m_visible;
    std::unique_ptr<QueryIndex> m_index;
    QStringList m_connectingWords;
    std::array<int, kRubricCount> m_notation{};
    std::array<int, kRubricCount> m_precision{};
    /** What the settings file was when the catalogue was loaded. */
    FileStamp m_settingsStamp;
    bool m_loadFailed = false;
};

} // namespace quantaro
