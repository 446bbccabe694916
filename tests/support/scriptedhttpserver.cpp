#include "scriptedhttpserver.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quantaro::test {

namespace {

constexpr int kBacklog = 8;
constexpr qsizetype kMaxRequestHead = 64 * 1024;
constexpr int kReadChunk = 4096;
constexpr int kForever = -1;

int openLoopbackListener(quint16& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, kBacklog) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

bool sendAll(int fd, const QByteArray& bytes, std::atomic<qint64>& counter)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.constData() + sent, static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        sent += n;
        counter += n;
    }
    return true;
}

} // namespace

QByteArray httpHead(int status, qsizetype contentLength, const QByteArray& extraHeaders)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + " Scripted\r\nConnection: close\r\n";
    if (contentLength >= 0) {
        head += "Content-Length: " + QByteArray::number(contentLength) + "\r\n";
    }
    return head + extraHeaders + "\r\n";
}

HttpScript httpResponse(const QByteArray& body, int status)
{
    return {HttpStep::send(httpHead(status, body.size()) + body)};
}

ScriptedHttpServer::ScriptedHttpServer(HttpScript script) : m_script(std::move(script))
{
    if (::pipe2(m_stopPipe, O_CLOEXEC) != 0) {
        return;
    }
    m_listener = openLoopbackListener(m_port);
    if (m_listener >= 0) {
        m_thread = std::thread([this] { serve(); });
    }
}

ScriptedHttpServer::~ScriptedHttpServer()
{
    stop();
    for (const int fd : {m_listener, m_stopPipe[0], m_stopPipe[1]}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

QString ScriptedHttpServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

QStringList ScriptedHttpServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void ScriptedHttpServer::stop()
{
    if (!m_stopping.exchange(true) && m_stopPipe[1] >= 0) {
        const char wake = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_stopPipe[1], &wake, 1);
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

bool ScriptedHttpServer::waitReadable(int fd, int timeoutMs)
{
    pollfd fds[2] = {{fd, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
    for (;;) {
        const int ready = ::poll(fds, 2, timeoutMs);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        return ready > 0 && (fds[1].revents & POLLIN) == 0 && fds[0].revents != 0;
    }
}

void ScriptedHttpServer::serve()
{
    while (!m_stopping) {
        if (!waitReadable(m_listener, kForever)) {
            return;
        }
        const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0) {
            answer(client);
            ::close(client);
        }
    }
}

void ScriptedHttpServer::answer(int client)
{
    QByteArray head;
    char buffer[kReadChunk];
    while (!head.contains("\r\n\r\n") && head.size() < kMaxRequestHead) {
        if (!waitReadable(client, kForever)) {
            return;
        }
        const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) {
            return;
        }
        head.append(buffer, n);
    }
    {
        std::lock_guard lock(m_mutex);
        m_requests << QString::fromLatin1(head.left(head.indexOf("\r\n\r\n")));
    }
    for (const HttpStep& step : m_script) {
        switch (step.kind) {
        case HttpStep::Kind::Send:
            if (!sendAll(client, step.bytes, m_bytesSent)) {
                return;
            }
            break;
        case HttpStep::Kind::Repeat:
            for (qint64 i = 0; i < step.times; ++i) {
                if (m_stopping || !sendAll(client, step.bytes, m_bytesSent)) {
                    return;
                }
            }
            break;
        case HttpStep::Kind::Pause:
            // Readable here means the client went away or the server stops: either ends the script.
            if (waitReadable(client, step.ms) || m_stopping) {
                return;
            }
            break;
        case HttpStep::Kind::Hold:
            waitReadable(client, kForever);
            return;
        }
    }
}

quint16 closedLoopbackPort()
{
    quint16 port = 0;
    const int fd = openLoopbackListener(port);
    if (fd >= 0) {
        ::close(fd);
    }
    return port;
}

} // namespace quantaro::test
