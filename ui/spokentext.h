#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <initializer_list>

class QWidget;

namespace quantaro {

class QuantaroDialog;

/** What a screen reader says for a control: strings of the window's language module by number. */
struct SpokenText
{
    int controlId;
    int name;
    /** A longer hint read after the name; 0 for none. */
    int description = 0;
};

/** Gives each listed control of the window its spoken name and description; a control or string
 *  the module lacks leaves the control as it was. */
void speakAs(const QuantaroDialog& window, std::initializer_list<SpokenText> texts);
/** The first of a module string's ';'-separated names (a category's own name without its
 *  sub-categories). */
QString firstName(const QString& names);

/**
 * Tells assistive technology what a control now says once its changes pause: a screen reader reads
 * a result once after the person stops typing instead of after every key, over their typing. The
 * control's spoken name becomes the text, and a value-change event carries it.
 */
class PauseAnnouncer final : public QObject
{
    Q_OBJECT
public:
    /** How long the changes must rest before the last one is told. */
    static constexpr int kPauseMs = 700;

    explicit PauseAnnouncer(QWidget* target, QObject* parent = nullptr);

    /** The control now says spoken; told after the pause unless it changes again first. */
    void changed(const QString& spoken);
    /** Whether a change waits for the pause. */
    bool pending() const { return m_timer.isActive(); }
    /** Tells the waiting change now (what the end of the pause does). */
    void announceNow();

signals:
    /** A change was told to assistive technology (which listens only while a screen reader runs). */
    void told(const QString& spoken);

private:
    QPointer<QWidget> m_target;
    QTimer m_timer;
    QString m_waiting;
    QString m_told;
};

} // namespace quantaro
