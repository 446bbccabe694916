#pragma once

#include "search/searchanswers.h"

#include <QDBusArgument>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>
#include <functional>

namespace quantaro {

/** The bus name, and the object paths of the two interfaces, after the application id. */
inline const QString kSearchBusName = QStringLiteral("org.velmora.Quantaro.SearchProvider");
inline const QString kGnomeSearchPath = QStringLiteral("/org/velmora/Quantaro/SearchProvider");
inline const QString kKRunnerPath = QStringLiteral("/runner");
/** The service ends after this long without a call; the bus starts it again on the next one. */
inline constexpr int kSearchIdleExitMs = 60000;

/** One match of a KRunner runner: id, text, icon, type, relevance, properties. */
struct RemoteMatch
{
    QString id;
    QString text;
    QString iconName;
    int type = 0;
    double relevance = 0;
    QVariantMap properties;
};
/** One action a runner offers on its matches: id, text, icon. */
struct RemoteAction
{
    QString id;
    QString text;
    QString iconName;
};
using RemoteMatches = QList<RemoteMatch>;
using RemoteActions = QList<RemoteAction>;
using ResultMetas = QList<QVariantMap>;

QDBusArgument& operator<<(QDBusArgument& argument, const RemoteMatch& match);
const QDBusArgument& operator>>(const QDBusArgument& argument, RemoteMatch& match);
QDBusArgument& operator<<(QDBusArgument& argument, const RemoteAction& action);
const QDBusArgument& operator>>(const QDBusArgument& argument, RemoteAction& action);

/** Registers the D-Bus types above; once, before the first call. */
void registerSearchTypes();

/**
 * What both search interfaces share: the answers, the idle end and the opening of the program. Every
 * call restarts the idle timer.
 */
class SearchService : public QObject
{
    Q_OBJECT
public:
    using Launcher = std::function<void(const QStringList& arguments)>;

    SearchService(SearchAnswers& answers, Launcher launcher, int idleExitMs = kSearchIdleExitMs);

    QList<SearchResult> answer(const QString& query);
    std::optional<SearchResult> result(const QString& id);
    /** Opens the program on the answer an id names; nothing when it names none. */
    void openResult(const QString& id);
    /** Opens the program at a category this service found, or plain without one. */
    void open(const QStringList& arguments);

signals:
    /** No call came for the idle time. */
    void idle();

private:
    void touch();

    SearchAnswers& m_answers;
    Launcher m_launcher;
    QTimer m_idleTimer;
};

/** The GNOME Shell search provider (version 2). */
class GnomeSearchProvider : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Shell.SearchProvider2")
public:
    explicit GnomeSearchProvider(SearchService& service);

public slots:
    QStringList GetInitialResultSet(const QStringList& terms);
    QStringList GetSubsearchResultSet(const QStringList& previousResults, const QStringList& terms);
    quantaro::ResultMetas GetResultMetas(const QStringList& ids);
    void ActivateResult(const QString& id, const QStringList& terms, uint timestamp);
    void LaunchSearch(const QStringList& terms, uint timestamp);

private:
    SearchService& m_service;
};

/** The KRunner D-Bus runner (org.kde.krunner1). */
class KRunnerRunner : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.krunner1")
public:
    explicit KRunnerRunner(SearchService& service);

public slots:
    quantaro::RemoteActions Actions();
    quantaro::RemoteMatches Match(const QString& query);
    void Run(const QString& matchId, const QString& actionId);
    /** KRunner ends every match session with it. Config is asked only of runners that declare the
     *  DBus2 interface version, which this one does not. */
    void Teardown();

private:
    SearchService& m_service;
};

} // namespace quantaro

Q_DECLARE_METATYPE(quantaro::RemoteMatch)
Q_DECLARE_METATYPE(quantaro::RemoteAction)
