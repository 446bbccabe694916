#include "platform/shutdownsignals.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace quantaro {

namespace {

constexpr std::array<int, 3> kShutdownSignals = {SIGTERM, SIGHUP, SIGINT};

volatile std::sig_atomic_t g_requested = 0;
// The write end for the handler; -1 while no ShutdownSignals lives.
volatile std::sig_atomic_t g_writeEnd = -1;

extern "C" void onShutdownSignal(int)
{
    const int savedErrno = errno;
    g_requested = 1;
    if (g_writeEnd >= 0) {
        const char byte = 1;
        // A full pipe already holds a wake-up: the lost byte changes nothing.
        [[maybe_unused]] const ssize_t written = ::write(g_writeEnd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent)
{
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        g_writeEnd = m_pipe[1];
        m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &ShutdownSignals::onPipeReadable);
    }
    struct sigaction action = {};
    action.sa_handler = onShutdownSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls go on; the handler resets itself so that a second signal kills.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (const int signal : kShutdownSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

ShutdownSignals::~ShutdownSignals()
{
    for (const int signal : kShutdownSignals) {
        ::signal(signal, SIG_DFL);
    }
    g_writeEnd = -1;
    for (const int end : m_pipe) {
        if (end >= 0) {
            ::close(end);
        }
    }
}

bool ShutdownSignals::requested()
{
    return g_requested != 0;
}

void ShutdownSignals::onPipeReadable()
{
    char bytes[16];
    while (::read(m_pipe[0], bytes, sizeof bytes) > 0) {
    }
    emit received();
}

} // namespace quantaro
