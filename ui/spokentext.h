#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <initializer_list>

class QAbstractItemView;
class QLineEdit;
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
/** The module string that a search field's clear button says. */
inline constexpr int kClearSearchString = 1334;
/** The button that a field's clear button option puts into it says kClearSearchString of the
 *  window's module instead of just "button". */
void nameClearButton(const QuantaroDialog& window, QLineEdit* field);
/** A list that takes the keyboard tells a screen reader its current row too, not only itself. */
void tellCurrentRowOnFocus(QAbstractItemView* view);
/** The first of a module string's ';'-separated names (a category's own name without its
 *  sub-categories). */
QString firstName(const QString& names);

/**
 * Tells assistive technology what a control now says once its changes pause: a screen reader reads
 * a result once after the person stops typing instead of after every key, over their typing. The
 * control's spoken name becomes the text, and a value-change event carries it; a notification of
 * the window (which Linux screen readers speak, while they pass over changes of controls without
 * the focus) shows it.
 */
class PauseAnnouncer final : public QObject
{
    Q_OBJECT
public:
    /** How long the changes must rest before the last one is told. */
    static constexpr int kPauseMs = 700;

    /** What the control says when the announcer is made counts as told already. */
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
    QPointer<QWidget> m_notice;
    QTimer m_timer;
    QString m_waiting;
    QString m_told;
};

} // namespace quantaro
