#include "walk/windowwalk.h"

#include "home/clanguedlg.h"
#include "home/cmaindlg.h"
#include "support/everywindow.h"
#include "ui/bottommenubar.h"
#include "ui/controls.h"
#include "ui/cstretchbitmapbutton.h"
#include "ui/quantarodialog.h"
#include "ui/touchstyle.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSet>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextStream>

#include <algorithm>
#include <memory>

namespace quantaro {

namespace {

constexpr int kTickMs = 50;
// Ticks a window or popup is given to lay itself out and paint before it is looked at.
constexpr int kSettleTicks = 6;
// A step that waits longer than this (about fifteen seconds) has hung: the walk gives up.
constexpr int kStuckTicks = 300;
// Room a push button keeps between its frame and its text on each side.
constexpr int kButtonTextMargin = 3;
// The smallest touch target: a finger's width.
constexpr int kTouchTarget = kTouchRowHeight;
// The conversion windows the walk opens, by the catalogue's index of their category: a plain one
// and the currencies'.
constexpr std::pair<const char*, int> kConvertedCategories[] = {{"length", 1}, {"currencies", 0}};

/** What a button or label draws of its text: "&&" is one "&", a single "&" marks a shortcut. */
QString shownText(QString text)
{
    text.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QChar(1), QLatin1Char('&'));
    return text;
}

/** The size the text needs at the font, one line per line break. */
QSize textSize(const QFontMetrics& metrics, const QString& text)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    int width = 0;
    for (const QString& line : lines) {
        width = std::max(width, metrics.horizontalAdvance(line));
    }
    return {width, metrics.height() * static_cast<int>(lines.size())};
}

QString describe(const QWidget* control)
{
    const int id = controlIdOf(control);
    return id != 0 ? QString::number(id) : QString::fromLatin1(control->metaObject()->className());
}

/** The room a control's text needs, or an empty size for a control the check does not cover. */
QSize neededSize(const QWidget* control, QSize& available)
{
    available = control->size();
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        if (label->text().isEmpty() || !label->pixmap().isNull() || Qt::mightBeRichText(label->text())) {
            return {};
        }
        const QRect room = label->contentsRect();
        available = room.size();
        const QString text = shownText(label->text());
        if (label->wordWrap()) {
            const QRect drawn = label->fontMetrics().boundingRect(room, Qt::TextWordWrap | label->alignment(), text);
            return drawn.size();
        }
        return textSize(label->fontMetrics(), text);
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        if (button->text().isEmpty()) {
            return {};
        }
        QSize text = textSize(button->fontMetrics(), shownText(button->text()));
        if (qobject_cast<const QCheckBox*>(button) || qobject_cast<const QRadioButton*>(button)) {
            const bool check = qobject_cast<const QCheckBox*>(button) != nullptr;
            const int indicator = button->style()->pixelMetric(
                check ? QStyle::PM_IndicatorWidth : QStyle::PM_ExclusiveIndicatorWidth, nullptr, button);
            const int spacing = button->style()->pixelMetric(
                check ? QStyle::PM_CheckBoxLabelSpacing : QStyle::PM_RadioButtonLabelSpacing, nullptr, button);
            text.rwidth() += indicator + spacing;
            return text;
        }
        text.rwidth() += 2 * kButtonTextMargin;
        return text;
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(control)) {
        if (combo->currentText().isEmpty()) {
            return {};
        }
        // The drop-down arrow takes about a line's height at the right.
        QSize text = textSize(combo->fontMetrics(), combo->currentText());
        text.rwidth() += combo->fontMetrics().height() + 2 * kButtonTextMargin;
        return text;
    }
    return {};
}

/** The buttons that draw a picture: their text names the picture and is not drawn. */
QSet<const QWidget*> pictureButtons(const QWidget* window)
{
    QSet<const QWidget*> pictures;
    for (const CStretchBitmapButton* picture : window->findChildren<CStretchBitmapButton*>()) {
        if (picture->hasImage(CStretchBitmapButton::Image::Up)) {
            pictures.insert(picture->button());
        }
    }
    return pictures;
}

} // namespace

void WindowWalk::start(const QString& folder)
{
    if (!folder.isEmpty() && QCoreApplication::instance() != nullptr) {
        new WindowWalk(folder);
    }
}

QStringList WindowWalk::outsideScreen(const QWidget* widget, const QString& step)
{
    const QScreen* screen = widget->screen();
    if (screen == nullptr) {
        return {};
    }
    const QRect area = screen->availableGeometry();
    const QRect placed = widget->frameGeometry();
    if (area.contains(placed)) {
        return {};
    }
    return {QStringLiteral("OUTSIDE %1: %2x%3+%4+%5 leaves the screen's %6x%7+%8+%9")
                .arg(step)
                .arg(placed.width())
                .arg(placed.height())
                .arg(placed.x())
                .arg(placed.y())
                .arg(area.width())
                .arg(area.height())
                .arg(area.x())
                .arg(area.y())};
}

QStringList WindowWalk::cutTexts(const QWidget* window, const QString& step)
{
    QStringList findings;
    if (const auto* menu = qobject_cast<const QMenu*>(window)) {
        // A menu taller than the screen scrolls; only its width must fit.
        const QSize wanted = menu->sizeHint();
        const bool scrolls = menu->style()->styleHint(QStyle::SH_Menu_Scrollable, nullptr, menu) != 0;
        if (wanted.width() > menu->width() || (!scrolls && wanted.height() > menu->height())) {
            findings << QStringLiteral("CUT %1: the menu needs %2x%3 and has %4x%5")
                            .arg(step)
                            .arg(wanted.width())
                            .arg(wanted.height())
                            .arg(menu->width())
                            .arg(menu->height());
        }
    }
    const QSet<const QWidget*> pictures = pictureButtons(window);
    for (const QWidget* control : window->findChildren<QWidget*>()) {
        if (!control->isVisible() || control->window() != window || pictures.contains(control)) {
            continue;
        }
        QSize available;
        const QSize needed = neededSize(control, available);
        if (needed.isEmpty()) {
            continue;
        }
        // A control cut sideways by what holds it (a column past a popup's edge): scrolling up and
        // down is a list's nature, scrolling sideways is never offered.
        const QRect seen = control->visibleRegion().boundingRect();
        if (!seen.isEmpty() && seen.width() < control->width()) {
            available.setWidth(std::min(available.width(), seen.width()));
        }
        if (needed.width() <= available.width() && needed.height() <= available.height()) {
            continue;
        }
        QString text;
        if (const auto* label = qobject_cast<const QLabel*>(control)) {
            text = label->text();
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
            text = button->text();
        } else if (const auto* combo = qobject_cast<const QComboBox*>(control)) {
            text = combo->currentText();
        }
        findings << QStringLiteral("CUT %1: control %2 \"%3\" needs %4x%5 and has %6x%7")
                        .arg(step, describe(control), text.simplified())
                        .arg(needed.width())
                        .arg(needed.height())
                        .arg(available.width())
                        .arg(available.height());
    }
    return findings;
}

QStringList WindowWalk::shortfalls(const QWidget* window, const QString& step)
{
    QStringList notes;
    if (const auto* menu = qobject_cast<const QMenu*>(window)) {
        for (QAction* item : menu->actions()) {
            const int height = menu->actionGeometry(item).height();
            if (item->isVisible() && !item->isSeparator() && height < kTouchTarget) {
                notes
                    << QStringLiteral("SMALL %1: the row \"%2\" is %3 pixels high").arg(step, item->text()).arg(height);
            }
        }
    }
    const QSet<const QWidget*> pictures = pictureButtons(window);
    for (const QWidget* control : window->findChildren<QWidget*>()) {
        if (!control->isVisible() || control->window() != window || controlIdOf(control) == 0 ||
            pictures.contains(control)) {
            continue;
        }
        if (const auto* label = qobject_cast<const QLabel*>(control); label && !label->pixmap().isNull()) {
            continue;
        }
        const bool target = qobject_cast<const QAbstractButton*>(control) || qobject_cast<const QComboBox*>(control);
        if (target && (control->width() < kTouchTarget || control->height() < kTouchTarget)) {
            notes << QStringLiteral("SMALL %1: control %2 is %3x%4")
                         .arg(step, describe(control))
                         .arg(control->width())
                         .arg(control->height());
        }
        const qreal points = control->font().pointSizeF();
        const bool text = qobject_cast<const QLabel*>(control) || target;
        if (text && points > 0 && points < kSmallestTextPoints) {
            notes << QStringLiteral("SMALLTEXT %1: control %2 at %3 pt")
                         .arg(step, describe(control))
                         .arg(points, 0, 'f', 1);
        }
    }
    return notes;
}

WindowWalk::WindowWalk(const QString& folder)
    : QObject(QCoreApplication::instance()), m_folder(folder),
      m_report(QDir(folder).filePath(QStringLiteral("report.txt")))
{
    QDir().mkpath(folder);
    if (!m_report.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        qWarning("the window walk cannot write its report into %s", qPrintable(folder));
        return;
    }
    planHome();
    connect(&m_timer, &QTimer::timeout, this, &WindowWalk::tick);
    m_timer.start(kTickMs);
}

void WindowWalk::tick()
{
    if (m_steps.empty()) {
        return;
    }
    if (++m_ticksOnStep > kStuckTicks) {
        const QWidget* modal = QApplication::activeModalWidget();
        QTextStream(&m_report) << "STUCK with " << (modal ? modal->metaObject()->className() : "no window")
                               << " in front\n";
        finish();
        return;
    }
    // A step may plan further steps: they go right after it, before what was planned already.
    Step step = std::move(m_steps.front());
    m_steps.pop_front();
    std::deque<Step> later;
    later.swap(m_steps);
    const bool done = step();
    if (!done) {
        m_steps.push_front(std::move(step));
    } else {
        m_ticksOnStep = 0;
    }
    for (Step& next : later) {
        m_steps.push_back(std::move(next));
    }
}

void WindowWalk::planHome()
{
    auto settled = std::make_shared<int>(0);
    m_steps.push_back([this, settled] {
        // A first start shows the language window before anything else: it is looked at, and the
        // walk ends there (the first start then sorts out the program folder's languages).
        if (auto* language = qobject_cast<CLangueDlg*>(QApplication::activeModalWidget())) {
            if (++*settled < kSettleTicks) {
                return false;
            }
            inspect(language, QStringLiteral("language"));
            finish();
            return true;
        }
        auto* home = qobject_cast<CMainDlg*>(QApplication::activeModalWidget());
        if (home == nullptr || !home->firstLoadDone() || ++*settled < kSettleTicks) {
            return false;
        }
        inspect(home, QStringLiteral("home"));
        planPopups(QStringLiteral("home"));
        return true;
    });
    for (const test::ProgramWindow& window : test::everyWindow()) {
        if (window.homeCommand == 0) {
            continue;
        }
        if (window.kind != test::WindowKind::Convert) {
            planWindow(QString::fromLatin1(window.name), window.homeCommand);
            continue;
        }
        for (const auto& [name, category] : kConvertedCategories) {
            planWindow(QString::fromLatin1(name), window.homeCommand + category);
        }
    }
    m_steps.push_back([this] {
        finish();
        return true;
    });
}

void WindowWalk::planWindow(const QString& name, int command)
{
    auto home = std::make_shared<QPointer<QWidget>>();
    m_steps.push_back([home, command] {
        auto* window = qobject_cast<CMainDlg*>(QApplication::activeModalWidget());
        if (window == nullptr) {
            return false;
        }
        *home = window;
        // The window runs its own event loop: start it from the home window's loop, not from here.
        QTimer::singleShot(0, window, [window, command] { window->command(command); });
        return true;
    });
    auto settled = std::make_shared<int>(0);
    m_steps.push_back([this, home, name, settled] {
        QWidget* window = QApplication::activeModalWidget();
        if (window == nullptr || window == home->data() || !window->isVisible() || ++*settled < kSettleTicks) {
            return false;
        }
        inspect(window, name);
        planPopups(name);
        m_steps.push_back([window = QPointer<QWidget>(window)] {
            if (auto* dialog = qobject_cast<QDialog*>(window.data())) {
                QTimer::singleShot(0, dialog, [dialog] { dialog->reject(); });
            }
            return true;
        });
        m_steps.push_back([home] { return QApplication::activeModalWidget() == home->data(); });
        return true;
    });
}

void WindowWalk::planPopups(const QString& owner)
{
    auto* window = qobject_cast<QuantaroDialog*>(QApplication::activeModalWidget());
    BottomMenuBar* bar = window ? window->menuBar() : nullptr;
    if (bar == nullptr) {
        return;
    }
    const QList<QMenu*> popups = bar->popups();
    for (int index = 0; index < popups.size(); ++index) {
        QPointer<QMenu> popup = popups[index];
        if (popup.isNull()) {
            continue;
        }
        const QString name = QStringLiteral("%1-menu%2").arg(owner).arg(index + 1);
        m_steps.push_back([bar = QPointer<BottomMenuBar>(bar), index] {
            if (bar) {
                bar->openPopup(index);
            }
            return true;
        });
        auto settled = std::make_shared<int>(0);
        m_steps.push_back([this, popup, name, settled] {
            if (popup.isNull()) {
                return true;
            }
            if (!popup->isVisible() || ++*settled < kSettleTicks) {
                return false;
            }
            inspect(popup, name);
            int submenuIndex = 0;
            for (QAction* action : popup->actions()) {
                QPointer<QMenu> submenu = action->menu();
                if (submenu.isNull() || !action->isVisible()) {
                    continue;
                }
                const QString subName = QStringLiteral("%1-sub%2").arg(name).arg(++submenuIndex);
                m_steps.push_back([popup, action = QPointer<QAction>(action)] {
                    if (popup && action) {
                        popup->setActiveAction(action);
                        QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
                        QApplication::sendEvent(popup, &right);
                    }
                    return true;
                });
                auto subSettled = std::make_shared<int>(0);
                m_steps.push_back([this, submenu, subName, subSettled] {
                    if (submenu.isNull()) {
                        return true;
                    }
                    if (!submenu->isVisible() || ++*subSettled < kSettleTicks) {
                        return false;
                    }
                    inspect(submenu, subName);
                    submenu->hide();
                    return true;
                });
            }
            m_steps.push_back([popup] {
                if (popup) {
                    popup->close();
                }
                return QApplication::activePopupWidget() == nullptr;
            });
            return true;
        });
    }
}

void WindowWalk::inspect(QWidget* widget, const QString& step)
{
    QStringList findings = outsideScreen(widget, step) + cutTexts(widget, step);
    QTextStream out(&m_report);
    out << "SEEN " << step << ' ' << widget->width() << 'x' << widget->height() << '+' << widget->x() << '+'
        << widget->y() << '\n';
    for (const QString& finding : findings) {
        out << finding << '\n';
    }
    for (const QString& note : shortfalls(widget, step)) {
        out << note << '\n';
    }
    out.flush();
    m_findings += static_cast<int>(findings.size());
    if (QScreen* screen = widget->screen()) {
        screen->grabWindow(0).save(m_folder.filePath(step + QStringLiteral(".png")));
    }
}

void WindowWalk::finish()
{
    m_timer.stop();
    m_steps.clear();
    QTextStream(&m_report) << "END " << m_findings << " findings\n";
    m_report.close();
    // Every window's loop ends, the home window's included.
    QTimer::singleShot(0, QCoreApplication::instance(), [] {
        while (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();
        }
        QCoreApplication::exit(0);
    });
}

} // namespace quantaro
