// Every window of the program in every language, as a screen reader and a person with low vision
// meet it: each control has a spoken name that is words (not a picture's or a resource's key), and
// each text stands out from its background under a light and a dark desktop palette.
#include "about/caboutdlg.h"
#include "about/ccheckversiondlg.h"
#include "app/languagemodule.h"
#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "catalogue/catalogueloader.h"
#include "convert/cconvertdlg.h"
#include "currency/ccurrenciesupdatedlg.h"
#include "currency/cmanualcurrenciesdlg.h"
#include "home/clanguedlg.h"
#include "home/cmaindlg.h"
#include "options/coptionsdlg.h"
#include "platform/notificationservice.h"
#include "support/everywindow.h"
#include "support/fakes.h"
#include "support/languagemodules.h"
#include "support/virtualclock.h"
#include "testpaths.h"
#include "ui/bottommenubar.h"
#include "ui/contrast.h"
#include "ui/controls.h"
#include "ui/touchstyle.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <map>
#include <memory>

namespace quantaro {
namespace {

using test::AcceptingNotifications;
using test::kLanguages;
using test::Language;
using test::moduleResources;
using test::WindowFactory;

// The conversion windows looked at, by the catalogue's index of their category: a plain one, and
// one with sub-categories.
constexpr std::pair<const char*, int> kConvertedCategories[] = {{"convert", 1}, {"convert with sub-categories", 12}};

const QSize kShapes[] = {QSize(360, 640), QSize(640, 360), QSize(480, 480), QSize(240, 320), QSize(320, 240)};

// Large text, which needs less contrast: bold of 14 points or more, or any of 18 or more.
bool isLarge(const QFont& font)
{
    return font.pointSizeF() >= kLargeTextPoints || (font.bold() && font.pointSizeF() >= kLargeBoldTextPoints);
}

class SilentHttp final : public HttpClient
{
public:
    HttpResult get(const QString&, const BodySink&, const HttpLimits&) override { return {HttpOutcome::Failed, 0}; }
};

/** A palette of a dark desktop theme: light texts on dark grounds (Adwaita's dark one as Qt's GTK
 *  theme gives it, whose placeholder text reaches 4.47 : 1 only). */
QPalette darkPalette()
{
    QPalette dark;
    const QColor window(0x32, 0x32, 0x32);
    const QColor base(0x24, 0x24, 0x24);
    const QColor text(0xf0, 0xf0, 0xf0);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, QColor(0x44, 0x44, 0x44));
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::Highlight, QColor(0x1d, 0x54, 0x8f));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::ToolTipBase, base);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::PlaceholderText, QColor(0x8a, 0x8a, 0x8a));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x90, 0x90, 0x90));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x90, 0x90, 0x90));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x90, 0x90, 0x90));
    return dark;
}

// Roles a person can act on or read: each must be spoken by a name.
bool needsName(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::List:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
        return true;
    default:
        return false;
    }
}

/** Why a spoken name is no name for a person, or empty when it is one. */
QString nameFault(const QString& name, const ResourceSource& resources)
{
    if (name.trimmed().isEmpty()) {
        return QStringLiteral("has no name");
    }
    // A caption that names pictures ("LEN", "SWAP"), or any other code in capitals.
    if (!resources.bitmapPath(name + QLatin1Char('U')).isEmpty() ||
        QRegularExpression(QStringLiteral("^[A-Z_]{3,}[0-9]*$")).match(name).hasMatch()) {
        return QStringLiteral("is named by a picture or resource key \"%1\"").arg(name);
    }
    // A mark such as "÷" or "⌫" that a screen reader reads as a symbol's name or not at all.
    if (!name.contains(QRegularExpression(QStringLiteral("[\\p{L}\\p{N}]")))) {
        return QStringLiteral("is named by a mark \"%1\"").arg(name);
    }
    return {};
}

void walk(QAccessibleInterface* node, const ResourceSource& resources, const QString& path, QStringList& faults,
          QStringList& spoken)
{
    for (int i = 0; node && i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        if (!child || child->state().invisible) {
            continue;
        }
        const QString name = child->text(QAccessible::Name);
        const QString here = path + QLatin1Char('/') + (child->object() ? child->object()->objectName() : QString());
        // On Linux a combo box's name is the item it shows (its caption is told as a relation): a
        // currency code there is the value, not a key standing in for a name.
        if (needsName(child->role()) && !(child->role() == QAccessible::ComboBox && !name.trimmed().isEmpty())) {
            if (const QString fault = nameFault(name, resources); !fault.isEmpty()) {
                faults << here + QLatin1Char(' ') + fault;
            }
        }
        if (!name.isEmpty() && child->role() != QAccessible::ListItem) {
            spoken << name;
        }
        if (child->role() != QAccessible::List) {
            walk(child, resources, here, faults, spoken);
        }
    }
}

struct TextOnGround
{
    QString what;
    QColor text;
    QColor ground;
    QFont font = QFont();
};

/** Every text a person sees in the window, with the colour it is drawn in and the one behind it. */
QList<TextOnGround> visibleTexts(const QuantaroDialog& window, const ResourceSource& resources)
{
    QList<TextOnGround> found;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisible()) {
            continue;
        }
        const QPalette::ColorGroup group = widget->isEnabled() ? QPalette::Active : QPalette::Disabled;
        const QPalette& palette = widget->palette();
        const QString what = widget->objectName() + QStringLiteral(" (id %1)").arg(controlIdOf(widget));
        const qsizetype before = found.size();
        if (const auto* label = qobject_cast<QLabel*>(widget)) {
            if (!label->text().isEmpty() && label->pixmap().isNull()) {
                found << TextOnGround{what, palette.color(group, label->foregroundRole()), backgroundBehind(label)};
            }
        } else if (const auto* box = qobject_cast<QCheckBox*>(widget)) {
            found << TextOnGround{what, palette.color(group, QPalette::WindowText), backgroundBehind(box)};
        } else if (const auto* button = qobject_cast<QAbstractButton*>(widget)) {
            // A picture button's caption names its pictures and is never drawn.
            if (!button->text().isEmpty() && resources.bitmapPath(button->text() + QLatin1Char('U')).isEmpty()) {
                found << TextOnGround{what, palette.color(group, QPalette::ButtonText),
                                      palette.color(group, QPalette::Button)};
            }
        } else if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QListWidget*>(widget)) {
            found << TextOnGround{what, palette.color(group, QPalette::Text), palette.color(group, QPalette::Base)};
            if (const auto* edit = qobject_cast<QLineEdit*>(widget); edit && !edit->placeholderText().isEmpty()) {
                found << TextOnGround{what + QStringLiteral(" placeholder"),
                                      palette.color(group, QPalette::PlaceholderText),
                                      palette.color(group, QPalette::Base)};
            }
            if (qobject_cast<QListWidget*>(widget)) {
                found << TextOnGround{what + QStringLiteral(" selected row"),
                                      palette.color(group, QPalette::HighlightedText),
                                      palette.color(group, QPalette::Highlight)};
            }
        } else if (qobject_cast<QComboBox*>(widget)) {
            found << TextOnGround{what, palette.color(group, QPalette::ButtonText),
                                  palette.color(group, QPalette::Button)};
        }
        for (qsizetype i = before; i < found.size(); ++i) {
            found[i].font = widget->font();
        }
    }
    return found;
}

class Accessibility : public ::testing::TestWithParam<Language>
{
protected:
    // The program's own style, which frames the control that has the keyboard.
    static void SetUpTestSuite() { applyTouchDefaults(); }

    void SetUp() override
    {
        settings = std::make_unique<SettingsStore>(m_settingsDir.filePath(QStringLiteral("q.ini")));
        resources = &moduleResources(GetParam());
        CatalogueLoader loader(*resources, QStringLiteral(QUANTARO_PROGRAM_DIR), *settings, messages);
        ASSERT_TRUE(loader.load(catalogue));
        // The language window loads and unloads the modules of its folder: copies of them.
        for (const Language& language : kLanguages) {
            const QString name = QString::fromLatin1(language.module);
            ASSERT_TRUE(QFile::copy(QStringLiteral(QUANTARO_PROGRAM_DIR "/") + name, m_program.filePath(name)));
        }
        m_lightPalette = QApplication::palette();
    }

    void TearDown() override { QApplication::setPalette(m_lightPalette); }

    UiServices services() { return UiServices{&messages, &screen, &shell, settings.get(), resources}; }

    /** Every window the program shows, by name: each conversion window of kConvertedCategories. */
    std::vector<std::pair<QString, WindowFactory>> windows()
    {
        needs.catalogue = &catalogue;
        needs.programFolder = QStringLiteral(QUANTARO_PROGRAM_DIR);
        needs.languageFolder = m_program.path();
        needs.deviceLanguage = GetParam().deviceLanguage;
        needs.http = &http;
        needs.notifications = &notifications;
        needs.clock = &clock;
        std::vector<std::pair<QString, WindowFactory>> found;
        for (const test::ProgramWindow& window : test::everyWindow()) {
            const test::WindowKind kind = window.kind;
            if (kind != test::WindowKind::Convert) {
                found.emplace_back(QString::fromLatin1(window.name),
                                   [this, kind](const UiServices& s) { return test::openWindow(kind, s, needs); });
                continue;
            }
            for (const auto& [name, category] : kConvertedCategories) {
                found.emplace_back(QString::fromLatin1(name), [this, kind, category = category](const UiServices& s) {
                    return test::openWindow(kind, s, needs, category);
                });
            }
        }
        return found;
    }

    /** Opens every window in every shape and hands it over, shown, with a value to convert. */
    void forEveryWindow(const std::function<void(const QString&, QuantaroDialog&)>& check)
    {
        for (const auto& [name, open] : windows()) {
            for (const QSize shape : kShapes) {
                screen.size = shape;
                std::unique_ptr<QuantaroDialog> window = open(services());
                ASSERT_TRUE(window->isCreated()) << name.toStdString();
                window->resize(shape);
                window->show();
                if (auto* input = window->control<QLineEdit>(convertdlg::kInput)) {
                    input->setText(QStringLiteral("12.5"));
                }
                // A field's clear button shows, and is read, only while the field holds text.
                for (auto* field : window->findChildren<QLineEdit*>()) {
                    if (field->isClearButtonEnabled() && field->text().isEmpty()) {
                        field->setText(QStringLiteral("m"));
                    }
                }
                QApplication::processEvents();
                check(QStringLiteral("%1 %2x%3").arg(name).arg(shape.width()).arg(shape.height()), *window);
                window->hide();
            }
        }
    }

    QTemporaryDir m_settingsDir;
    QTemporaryDir m_program;
    QPalette m_lightPalette;
    std::unique_ptr<SettingsStore> settings;
    test::RecordingMessageBoxes messages;
    test::RecordingShell shell;
    test::FixedScreen screen;
    test::VirtualClock clock;
    AcceptingNotifications notifications;
    SilentHttp http;
    const ResourceSource* resources = nullptr;
    Catalogue catalogue;
    test::WindowNeeds needs;
};

TEST_P(Accessibility, EveryControlIsSpokenByAName)
{
    forEveryWindow([this](const QString& step, QuantaroDialog& window) {
        QStringList faults;
        QStringList spoken;
        walk(QAccessible::queryAccessibleInterface(&window), *resources, step, faults, spoken);
        EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
        if (qEnvironmentVariableIsSet("QUANTARO_PRINT_SPOKEN")) {
            std::cout << step.toStdString() << ": " << spoken.join(QStringLiteral(" | ")).toStdString() << "\n";
        }
    });
}

TEST_P(Accessibility, EveryTextStandsOutFromItsBackgroundInALightAndADarkPalette)
{
    for (const bool dark : {false, true}) {
        QApplication::setPalette(dark ? darkPalette() : m_lightPalette);
        // The lowest ratio of text of normal size and of large text, and where it is.
        std::map<bool, std::pair<double, QString>> lowest{{false, {21.0, {}}}, {true, {21.0, {}}}};
        // Pictures of both palettes under the build folder, for a person to look at.
        const QString folder =
            QStringLiteral(QUANTARO_BINARY_DIR "/renders/palettes/") + QString::fromLatin1(GetParam().code);
        ASSERT_TRUE(QDir().mkpath(folder));
        forEveryWindow([&](const QString& step, QuantaroDialog& window) {
            QString file = step;
            file.replace(QLatin1Char(' '), QLatin1Char('_'));
            EXPECT_TRUE(window.grab().save(folder + (dark ? QStringLiteral("/dark_") : QStringLiteral("/light_")) +
                                           file + QStringLiteral(".png")));
            // The menus' selected items, which are windows of their own.
            if (BottomMenuBar* bar = window.menuBar()) {
                for (QMenu* menu : bar->allMenus()) {
                    emit menu->aboutToShow();
                    EXPECT_GE(contrastRatio(menu->palette().color(QPalette::Highlight),
                                            menu->palette().color(QPalette::HighlightedText)),
                              kMinimumTextContrast)
                        << (dark ? "dark " : "light ") << step.toStdString() << " menu " << menu->title().toStdString();
                }
            }
            // The title's fixed green passes on a light palette only as large text, at any size of window.
            for (const TextOnGround& text : visibleTexts(window, *resources)) {
                const double ratio = contrastRatio(text.text, text.ground);
                const bool large = isLarge(text.font);
                EXPECT_GE(ratio, large ? kLargeTextContrast : kMinimumTextContrast)
                    << (dark ? "dark " : "light ") << step.toStdString() << ": " << text.what.toStdString() << " "
                    << text.text.name().toStdString() << " on " << text.ground.name().toStdString() << " at "
                    << text.font.pointSizeF() << " pt" << (text.font.bold() ? " bold" : "");
                if (ratio < lowest[large].first) {
                    lowest[large] = {ratio, step + QLatin1Char(' ') + text.what};
                }
            }
        });
        if (qEnvironmentVariableIsSet("QUANTARO_PRINT_SPOKEN")) {
            for (const auto& [large, least] : lowest) {
                std::cout << (dark ? "dark" : "light") << (large ? " large" : " normal") << " text lowest "
                          << least.first << " at " << least.second.toStdString() << "\n";
            }
        }
    }
}

// Whichever control has the keyboard shows it: a frame just outside its edge in an accent colour
// that stands out from the window's ground there (a picture button shows its focus picture instead).
TEST_P(Accessibility, TheControlWithTheKeyboardIsFramedUnderALightAndADarkPalette)
{
    for (const bool dark : {false, true}) {
        QApplication::setPalette(dark ? darkPalette() : m_lightPalette);
        forEveryWindow([&](const QString& step, QuantaroDialog& window) {
            window.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&window)) << step.toStdString();
            for (QWidget* control : window.findChildren<QWidget*>()) {
                if (!control->isVisible() || !control->isEnabled() || control->focusProxy() ||
                    (control->focusPolicy() & Qt::TabFocus) == 0) {
                    continue;
                }
                control->setFocus(Qt::TabFocusReason);
                QApplication::processEvents();
                // A picture button says on taking the keyboard that its own focus picture shows it.
                if (control->property(kOwnFocusPictureProperty).toBool()) {
                    continue;
                }
                const std::string where = (dark ? "dark " : "light ") + step.toStdString() + " " +
                                          control->objectName().toStdString() + " " +
                                          control->metaObject()->className();
                const QColor frame = focusFrameColour(control);
                EXPECT_GE(contrastRatio(frame, backgroundBehind(control->parentWidget())), kFocusFrameContrast)
                    << where;
                // The middle of each side, just outside the edge, is drawn in the frame's colour.
                const QRect around =
                    QRect(control->mapTo(&window, QPoint()), control->size())
                        .adjusted(-kFocusFrameWidth, -kFocusFrameWidth, kFocusFrameWidth, kFocusFrameWidth);
                const QImage seen = window.grab(around).toImage();
                const int w = seen.width();
                const int h = seen.height();
                for (const QPoint at :
                     {QPoint(0, h / 2), QPoint(w - 1, h / 2), QPoint(w / 2, 0), QPoint(w / 2, h - 1)}) {
                    EXPECT_EQ(seen.pixelColor(at).name().toStdString(), frame.name().toStdString())
                        << where << " at " << at.x() << "," << at.y();
                }
            }
        });
    }
}

INSTANTIATE_TEST_SUITE_P(AllLanguages, Accessibility, ::testing::ValuesIn(kLanguages),
                         [](const ::testing::TestParamInfo<Language>& param) { return std::string(param.param.code); });

} // namespace
} // namespace quantaro
