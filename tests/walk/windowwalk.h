#pragma once

#include <QDir>
#include <QFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

class QMenu;
class QWidget;

namespace quantaro {

/**
 * A walk through every window and popup of the program, on whatever screen it runs, for the
 * real-screen test: it opens each window the home window leads to through its own commands, opens
 * each popup and submenu of each menu bar, and checks that everything lies inside the screen's
 * available area and that no text is cut at the font it is drawn with. Each finding is a line of
 * report.txt, which ends with an END line; each step leaves a screenshot of the whole screen. The
 * program ends when the walk is over. quantaro-walk runs the program with it.
 */
class WindowWalk final : public QObject
{
public:
    /** Starts a walk that writes into folder, once the application object exists. */
    static void start(const QString& folder);

    /** The texts of window's controls that do not fit their rectangles, one finding a line. */
    static QStringList cutTexts(const QWidget* window, const QString& step);
    /** Controls smaller than a finger or texts smaller than the eye needs: notes, not faults, since
     *  the smallest screens cannot always give the room. */
    static QStringList shortfalls(const QWidget* window, const QString& step);
    /** A finding when widget does not lie inside its screen's available area. */
    static QStringList outsideScreen(const QWidget* widget, const QString& step);

private:
    explicit WindowWalk(const QString& folder);

    using Step = std::function<bool()>; // true when done, false to be asked again
    void tick();
    void planHome();
    void planWindow(const QString& name, int command);
    void planPopups(const QString& owner);
    void inspect(QWidget* widget, const QString& step);
    void finish();

    QDir m_folder;
    QFile m_report;
    QTimer m_timer;
    std::deque<Step> m_steps;
    int m_ticksOnStep = 0;
    int m_findings = 0;
};

} // namespace quantaro
