#include "about/controltext.h"

#include "app/cconverterapp.h"
#include "platform/shell.h"
#include "ui/uiservices.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>

namespace quantaro {

QString controlText(const QWidget* control)
{
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return button->text();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(control)) {
        return edit->text();
    }
    return {};
}

void setControlText(QWidget* control, const QString& text)
{
    if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(text);
    }
}

void openWithShell(const UiServices& services, const QString& target)
{
    if (services.shell != nullptr) {
        services.shell->openUrl(target);
    } else if (CConverterApp* app = CConverterApp::instance()) {
        app->OpenWithShell(target);
    }
}

} // namespace quantaro
