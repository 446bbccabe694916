#pragma once

#include <QObject>

namespace quantaro {

/** Environment variable that makes the program end once its first window has been painted, so
 *  start-up can be timed from outside (bench/startup). */
inline constexpr char kExitAfterPaintVariable[] = "QUANTARO_EXIT_AFTER_PAINT";

/** Ends the process right after the first paint of a top-level window. */
class FirstPaintWatcher final : public QObject
{
public:
    explicit FirstPaintWatcher(QObject* parent = nullptr);
    /** Installs a watcher on the application when the environment asks for it. */
    static void installIfRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_done = false;
};

} // namespace quantaro
