#include "search/searchservice.h"

#include <QDBusMetaType>

namespace quantaro {

namespace {

const QString kIconName = QStringLiteral("org.velmora.Quantaro");
/** The program's option that opens a conversion window (category code, then units and value). */
const QString kOpenOption = QStringLiteral("--convert");
/** KRunner's match types: an answer that is surely meant, and one of several candidates. */
constexpr int kExactMatch = 100;
constexpr int kPossibleMatch = 30;
constexpr double kExactRelevance = 1.0;
constexpr double kCandidateRelevance = 0.5;

} // namespace

QDBusArgument& operator<<(QDBusArgument& argument, const RemoteMatch& match)
{
    argument.beginStructure();
    argument << match.id << match.text << match.iconName << match.type << match.relevance << match.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, RemoteMatch& match)
{
    argument.beginStructure();
    argument >> match.id >> match.text >> match.iconName >> match.type >> match.relevance >> match.properties;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const RemoteAction& action)
{
    argument.beginStructure();
    argument << action.id << action.text << action.iconName;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, RemoteAction& action)
{
    argument.beginStructure();
    argument >> action.id >> action.text >> action.iconName;
    argument.endStructure();
    return argument;
}

void registerSearchTypes()
{
    qDBusRegisterMetaType<RemoteMatch>();
    qDBusRegisterMetaType<RemoteMatches>();
    qDBusRegisterMetaType<RemoteAction>();
    qDBusRegisterMetaType<RemoteActions>();
    qDBusRegisterMetaType<ResultMetas>();
}

SearchService::SearchService(SearchAnswers& answers, Launcher launcher, int idleExitMs)
    : m_answers(answers), m_launcher(std::move(launcher))
{
    m_idleTimer.setSingleShot(true);
    m_idleTimer.setInterval(idleExitMs);
    connect(&m_idleTimer, &QTimer::timeout, this, &SearchService::idle);
    m_idleTimer.start();
}

void SearchService::touch()
{
    m_idleTimer.start();
}

QList<SearchResult> SearchService::answer(const QString& query)
{
    touch();
    return m_answers.answer(query);
}

std::optional<SearchResult> SearchService::result(const QString& id)
{
    touch();
    return m_answers.result(id);
}

void SearchService::openResult(const QString& id)
{
    touch();
    // An id that names no answer opens nothing: nothing but the service's own answers reaches the
    // program's command line.
    const QStringList arguments = m_answers.openArguments(id);
    if (!arguments.isEmpty() && m_launcher) {
        m_launcher(QStringList{kOpenOption} + arguments);
    }
}

void SearchService::open(const QStringList& arguments)
{
    touch();
    if (m_launcher) {
        m_launcher(arguments.isEmpty() ? QStringList() : QStringList{kOpenOption} + arguments);
    }
}

GnomeSearchProvider::GnomeSearchProvider(SearchService& service) : m_service(service) {}

QStringList GnomeSearchProvider::GetInitialResultSet(const QStringList& terms)
{
    QStringList ids;
    for (const SearchResult& result : m_service.answer(SearchAnswers::queryOf(terms))) {
        ids.append(result.id);
    }
    return ids;
}

QStringList GnomeSearchProvider::GetSubsearchResultSet(const QStringList& previousResults, const QStringList& terms)
{
    // A longer query may name other units than the shorter one did: it is read afresh.
    Q_UNUSED(previousResults);
    return GetInitialResultSet(terms);
}

ResultMetas GnomeSearchProvider::GetResultMetas(const QStringList& ids)
{
    ResultMetas metas;
    for (const QString& id : ids) {
        const std::optional<SearchResult> result = m_service.result(id);
        if (!result) {
            continue;
        }
        metas.append(QVariantMap{{QStringLiteral("id"), id},
                                 {QStringLiteral("name"), result->title},
                                 {QStringLiteral("description"), result->description},
                                 {QStringLiteral("gicon"), kIconName},
                                 {QStringLiteral("clipboardText"), result->title}});
    }
    return metas;
}

void GnomeSearchProvider::ActivateResult(const QString& id, const QStringList& terms, uint timestamp)
{
    Q_UNUSED(terms);
    Q_UNUSED(timestamp);
    m_service.openResult(id);
}

void GnomeSearchProvider::LaunchSearch(const QStringList& terms, uint timestamp)
{
    Q_UNUSED(timestamp);
    const QList<SearchResult> results = m_service.answer(SearchAnswers::queryOf(terms));
    m_service.open(results.isEmpty() ? QStringList() : QStringList{results.front().rubricCode});
}

KRunnerRunner::KRunnerRunner(SearchService& service) : m_service(service) {}

RemoteActions KRunnerRunner::Actions()
{
    return {};
}

RemoteMatches KRunnerRunner::Match(const QString& query)
{
    RemoteMatches matches;
    for (const SearchResult& result : m_service.answer(query)) {
        RemoteMatch match;
        match.id = result.id;
        match.text = result.title;
        match.iconName = kIconName;
        match.type = result.certain ? kExactMatch : kPossibleMatch;
        match.relevance = result.certain ? kExactRelevance : kCandidateRelevance;
        match.properties.insert(QStringLiteral("subtext"), result.description);
        matches.append(match);
    }
    return matches;
}

void KRunnerRunner::Run(const QString& matchId, const QString& actionId)
{
    Q_UNUSED(actionId);
    m_service.openResult(matchId);
}

void KRunnerRunner::Teardown()
{
    // The answers keep nothing of a session: there is nothing to let go.
}

} // namespace quantaro
