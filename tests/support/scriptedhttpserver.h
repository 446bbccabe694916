#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace quantaro::test {

/** One step of what the server does on a connection once it has read the request. */
struct HttpStep
{
    enum class Kind
    {
        Send,   ///< send bytes
        Pause,  ///< send nothing for a while
        Hold,   ///< send nothing until the client leaves or the server stops
        Repeat, ///< send bytes `times` times over, without holding them all at once
    };
    Kind kind = Kind::Send;
    QByteArray bytes;
    int ms = 0;
    qint64 times = 1;

    static HttpStep send(QByteArray data) { return {Kind::Send, std::move(data), 0, 1}; }
    static HttpStep pause(int milliseconds) { return {Kind::Pause, {}, milliseconds, 1}; }
    static HttpStep hold() { return {Kind::Hold, {}, 0, 1}; }
    static HttpStep repeat(QByteArray data, qint64 count) { return {Kind::Repeat, std::move(data), 0, count}; }
};
/** The steps of one connection; the connection is closed after the last one. */
using HttpScript = std::vector<HttpStep>;

/** The head of a response: status line and headers, with a Content-Length when one is given. */
QByteArray httpHead(int status, qsizetype contentLength = -1, const QByteArray& extraHeaders = {});
/** A whole response that closes the connection after the body. */
HttpScript httpResponse(const QByteArray& body, int status = 200);

/**
 * An HTTP server on 127.0.0.1 that answers every connection from a script, in a thread of its
 * own so a blocking client can run in the test's thread. Records each request's head.
 */
class ScriptedHttpServer
{
public:
    explicit ScriptedHttpServer(HttpScript script);
    ~ScriptedHttpServer();
    ScriptedHttpServer(const ScriptedHttpServer&) = delete;
    ScriptedHttpServer& operator=(const ScriptedHttpServer&) = delete;

    /** Whether the server listens. */
    bool listening() const { return m_listener >= 0; }
    quint16 port() const { return m_port; }
    /** "http://127.0.0.1:<port>". */
    QString baseUrl() const;
    /** The heads of the requests received so far. */
    QStringList requests() const;
    /** Bytes of responses that reached the client's socket so far. */
    qint64 bytesSent() const { return m_bytesSent; }

    void stop();

private:
    void serve();
    void answer(int client);
    /** Waits until fd is readable or the server stops; false when it stopped or timed out. */
    bool waitReadable(int fd, int timeoutMs);

    HttpScript m_script;
    int m_listener = -1;
    int m_stopPipe[2] = {-1, -1};
    quint16 m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<qint64> m_bytesSent{0};
    mutable std::mutex m_mutex;
    QStringList m_requests;
    std::thread m_thread;
};

/** A port of 127.0.0.1 where nothing listens. */
quint16 closedLoopbackPort();

} // namespace quantaro::test
