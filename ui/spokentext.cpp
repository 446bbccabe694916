#include "ui/spokentext.h"

#include "ui/quantarodialog.h"

#include <QAccessible>
#include <QWidget>

namespace quantaro {

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

PauseAnnouncer::PauseAnnouncer(QWidget* target, QObject* parent) : QObject(parent), m_target(target)
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
    emit told(m_told);
}

} // namespace quantaro
