#pragma once

#include <QObject>

class QSocketNotifier;

namespace quantaro {

/**
 * SIGTERM, SIGHUP and SIGINT (a phone shell ending the app, a log-out, Ctrl+C) end the program the
 * normal way instead of killing it, so the windows' close handlers keep what the user chose. The
 * handler only writes to a pipe; received() is emitted from the event loop. A loop that runs no
 * events asks requested() between its steps. A second signal kills as before, for a program
 * that no longer answers.
 */
class ShutdownSignals final : public QObject
{
    Q_OBJECT
public:
    explicit ShutdownSignals(QObject* parent = nullptr);
    ~ShutdownSignals() override;
    ShutdownSignals(const ShutdownSignals&) = delete;
    ShutdownSignals& operator=(const ShutdownSignals&) = delete;

    /** True once one of the signals arrived. Safe to call from anywhere. */
    static bool requested();

signals:
    void received();

private:
    void onPipeReadable();

    int m_pipe[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace quantaro
