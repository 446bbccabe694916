#include "ui/spokentext.h"

#include "ui/quantarodialog.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

namespace quantaro {

namespace {
// Marks the widget that carries told changes to assistive technology as a notification.
constexpr const char* kNoticeProperty = "quantaroSpokenNotice";

QAccessibleInterface* noticeInterface(const QString& /*className*/, QObject* object)
{
    if (object && object->isWidgetType() && object->property(kNoticeProperty).toBool()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
    }
    return nullptr;
}

// A window that is never put on the screen but that a screen reader reads out each time it shows:
// Linux screen readers pass over a change of a control that has no focus, but speak a notification
// that appears. A window of its own, so that it is read without the whole window it belongs to.
QWidget* makeNotice(QWidget* window)
{
    static const bool installed = (QAccessible::installFactory(noticeInterface), true);
    Q_UNUSED(installed);
    auto* notice = new QWidget;
    // Marked before its interface is first asked for, which happens once it has a parent.
    notice->setProperty(kNoticeProperty, true);
    notice->setAttribute(Qt::WA_DontShowOnScreen);
    notice->setAttribute(Qt::WA_ShowWithoutActivating);
    notice->setFocusPolicy(Qt::NoFocus);
    notice->setParent(window, Qt::Tool | Qt::FramelessWindowHint);
    // Where a screen reader's reviewing finds it: a point of the window it speaks for.
    notice->setGeometry(QRect(window->geometry().topLeft(), QSize(1, 1)));
    return notice;
}

// Qt tells assistive technology of a list's current row only when the row changes: a list that
// takes the keyboard says which row is current once its own focus has been told.
class CurrentRowTeller final : public QObject
{
public:
    explicit CurrentRowTeller(QAbstractItemView* view) : QObject(view), m_view(view) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_view && event->type() == QEvent::FocusIn) {
            QMetaObject::invokeMethod(this, &CurrentRowTeller::tell, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void tell()
    {
        const QModelIndex current = m_view->currentIndex();
        if (!m_view->hasFocus() || !current.isValid()) {
            return;
        }
        QAccessibleEvent event(m_view, QAccessible::Focus);
        event.setChild(current.row());
        QAccessible::updateAccessibility(&event);
    }

    QAbstractItemView* m_view;
};
} // namespace

void tellCurrentRowOnFocus(QAbstractItemView* view)
{
    if (view) {
        view->installEventFilter(new CurrentRowTeller(view));
    }
}

void nameClearButton(const QuantaroDialog& window, QLineEdit* field)
{
    const QString name = window.string(kClearSearchString);
    if (!field || name.isEmpty()) {
        return;
    }
    // The only buttons a line edit holds are the ones its actions put there, the clear button
    // among them; it shows once the field holds text.
    for (QToolButton* button : field->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) {
        button->setAccessibleName(name);
    }
}

void speakAs(const QuantaroDialog& window, std::initializer_list<SpokenText> texts)
{
    for (const SpokenText& text : texts) {
        QWidget* control = window.control(text.controlId);
        if (!control) {
            continue;
        }
        if (const QString name = window.string(text.name); !name.isEmpty()) {
            control->setAccessibleName(name);
        }
        if (text.description != 0) {
            if (const QString description = window.string(text.description); !description.isEmpty()) {
                control->setAccessibleDescription(description);
            }
        }
    }
}

QString firstName(const QString& names)
{
    return names.section(QLatin1Char(';'), 0, 0).trimmed();
}

PauseAnnouncer::PauseAnnouncer(QWidget* target, QObject* parent)
    : QObject(parent), m_target(target), m_told(target ? target->accessibleName() : QString())
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kPauseMs);
    connect(&m_timer, &QTimer::timeout, this, &PauseAnnouncer::announceNow);
}

void PauseAnnouncer::changed(const QString& spoken)
{
    m_waiting = spoken;
    m_timer.start();
}

void PauseAnnouncer::announceNow()
{
    m_timer.stop();
    // Typing that ends where it began (a digit typed and taken back) has nothing new to tell.
    if (!m_target || m_waiting == m_told) {
        return;
    }
    m_told = m_waiting;
    m_target->setAccessibleName(m_told);
    QAccessibleValueChangeEvent event(m_target, m_told);
    QAccessible::updateAccessibility(&event);
    if (!m_notice && m_target->window()) {
        m_notice = makeNotice(m_target->window());
    }
    if (m_notice) {
        m_notice->setAccessibleName(m_told);
        m_notice->hide();
        m_notice->show();
    }
    emit told(m_told);
}

} // namespace quantaro
