// Every window of the program in every language, shape and handheld size: rendered to PNG files
// under the build folder for a person to look at, and checked for what a person would see wrong
// (controls that overlap, leave the window or the room above the menu bar, or cut their texts).
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
#include "ui/controls.h"
#include "ui/dialogtemplate.h"
#include "ui/relayoutfromtemplate.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

namespace quantaro {
namespace {

using test::AcceptingNotifications;
using test::kLanguages;
using test::Language;
using test::moduleResources;
using test::WindowFactory;

const QSize kSizes[] = {QSize(360, 640), QSize(640, 360), QSize(480, 480), QSize(240, 320), QSize(320, 240)};

// Categories whose unit names are among the longest, and one with sub-categories (two-line title).
const char* const kConvertedCategories[] = {"RAD", "SPD", "TMP"};

/** Answers every request with a version file that announces a newer version. */
class NewerVersionHttp final : public HttpClient
{
public:
    HttpResult get(const QString&, const BodySink& sink, const HttpLimits&) override
    {
        const QByteArray body = "##Quantaro-CheckVersionFile##\n1.10 beta\nhttps://a.example/\nhttps://b.example/\n";
        sink(body.constData(), static_cast<std::size_t>(body.size()));
        return {HttpOutcome::Complete, 200};
    }
};

QString describe(const QWidget* control)
{
    return QStringLiteral("%1 (id %2)").arg(control->objectName()).arg(controlIdOf(control));
}

// The text a control shows in one line, and the room it has for it; empty for controls without one.
std::optional<std::pair<QString, int>> singleLineText(const QWidget* control)
{
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        if (label->wordWrap() || label->text().isEmpty() || label->text().contains(QLatin1Char('\n')) ||
            !label->pixmap().isNull()) {
            return std::nullopt;
        }
        return std::make_pair(label->text(), label->contentsRect().width());
    }
    if (const auto* box = qobject_cast<const QCheckBox*>(control)) {
        // The room beside the indicator and its spacing.
        return std::make_pair(
            box->text(), box->width() - (box->sizeHint().width() - box->fontMetrics().horizontalAdvance(box->text())));
    }
    return std::nullopt;
}

/** What would look wrong in a window: overlapping or misplaced controls and texts cut off. */
QStringList faults(const QuantaroDialog& window)
{
    QStringList found;
    const QRect room(0, 0, window.width(), window.height() - kMenuBarHeight);
    QList<QWidget*> shown;
    for (QWidget* control : controlsById(&window)) {
        if (control->isVisible() && !control->geometry().isEmpty()) {
            shown << control;
        }
    }
    for (int i = 0; i < shown.size(); ++i) {
        if (!room.contains(shown[i]->geometry())) {
            found << describe(shown[i]) + QStringLiteral(" leaves the room above the menu bar");
        }
        for (int j = i + 1; j < shown.size(); ++j) {
            if (shown[i]->geometry().intersects(shown[j]->geometry())) {
                found << describe(shown[i]) + QStringLiteral(" overlaps ") + describe(shown[j]);
            }
        }
        if (const auto text = singleLineText(shown[i])) {
            const int needed = shown[i]->fontMetrics().horizontalAdvance(text->first);
            if (needed > text->second) {
                found
                    << describe(shown[i]) +
                           QStringLiteral(" cuts \"%1\" (%2 px in %3)").arg(text->first).arg(needed).arg(text->second);
            }
        }
        if (shown[i]->font().pointSizeF() > 0 && shown[i]->font().pointSizeF() < fontscale::kSmallestPoints - 1) {
            found << describe(shown[i]) + QStringLiteral(" has an unreadable font");
        }
    }
    return found;
}

class WindowRenders : public ::testing::TestWithParam<Language>
{
protected:
    void SetUp() override
    {
        settings = std::make_unique<SettingsStore>(m_settingsDir.filePath(QStringLiteral("q.ini")));
        folder = QStringLiteral(QUANTARO_BINARY_DIR "/renders/all/") + QString::fromLatin1(GetParam().code);
        ASSERT_TRUE(QDir().mkpath(folder));
        resources = &moduleResources(GetParam());
        CatalogueLoader loader(*resources, QStringLiteral(QUANTARO_PROGRAM_DIR), *settings, messages);
        ASSERT_TRUE(loader.load(catalogue));
    }

    UiServices services() { return UiServices{&messages, &screen, &shell, settings.get(), resources}; }

    /** Opens one window of the shared table over this test's catalogue and fakes. */
    WindowFactory opening(test::WindowKind kind, int category = 0)
    {
        needs.catalogue = &catalogue;
        needs.programFolder = QStringLiteral(QUANTARO_PROGRAM_DIR);
        needs.deviceLanguage = GetParam().deviceLanguage;
        needs.http = &http;
        needs.notifications = &notifications;
        needs.clock = &clock;
        return [this, kind, category](const UiServices& s) { return test::openWindow(kind, s, needs, category); };
    }

    /** Renders the window at every size, checks it, and says what looked wrong. */
    void renderEverySize(const QString& name, const WindowFactory& open,
                         const std::function<void(QuantaroDialog&)>& prepare = {})
    {
        for (const QSize size : kSizes) {
            screen.size = size;
            std::unique_ptr<QuantaroDialog> window = open(services());
            ASSERT_TRUE(window->isCreated()) << name.toStdString();
            window->resize(size);
            window->show();
            if (prepare) {
                prepare(*window);
            }
            QApplication::processEvents();
            const QString file =
                folder + QStringLiteral("/%1_%2x%3.png").arg(name).arg(size.width()).arg(size.height());
            EXPECT_TRUE(window->grab().save(file)) << file.toStdString();
            const QStringList wrong = faults(*window);
            EXPECT_TRUE(wrong.isEmpty()) << file.toStdString() << ":\n  " << wrong.join("\n  ").toStdString();
            window->hide();
        }
    }

    QTemporaryDir m_settingsDir;
    std::unique_ptr<SettingsStore> settings;
    test::RecordingMessageBoxes messages;
    test::RecordingShell shell;
    test::FixedScreen screen;
    test::VirtualClock clock;
    AcceptingNotifications notifications;
    NewerVersionHttp http;
    test::WindowNeeds needs;
    const ResourceSource* resources = nullptr;
    Catalogue catalogue;
    QString folder;
};

TEST_P(WindowRenders, HomeWindow)
{
    renderEverySize(QStringLiteral("home"), opening(test::WindowKind::Home));
}

TEST_P(WindowRenders, LanguageWindow)
{
    // The window loads and unloads the modules of its folder itself: copies, so that it never
    // unloads the ones the other windows of this test use.
    QTemporaryDir program;
    for (const Language& language : kLanguages) {
        const QString name = QString::fromLatin1(language.module);
        ASSERT_TRUE(QFile::copy(QStringLiteral(QUANTARO_PROGRAM_DIR "/") + name, program.filePath(name)));
    }
    needs.languageFolder = program.path();
    renderEverySize(QStringLiteral("language"), opening(test::WindowKind::Language));
}

TEST_P(WindowRenders, ConversionWindowWithItsLongestUnitNames)
{
    for (const char* code : kConvertedCategories) {
        renderEverySize(QStringLiteral("convert_%1").arg(QString::fromLatin1(code)),
                        opening(test::WindowKind::Convert, rubricIndexOf(QString::fromLatin1(code))),
                        [](QuantaroDialog& window) {
                            auto* from = window.control<QListWidget>(convertdlg::kFromList);
                            auto* to = window.control<QListWidget>(convertdlg::kToList);
                            from->setCurrentRow(0);
                            to->setCurrentRow(to->count() - 1);
                            window.control<QLineEdit>(convertdlg::kInput)->setText(QStringLiteral("1234.5"));
                        });
    }
}

TEST_P(WindowRenders, HiddenUnitsWindow)
{
    renderEverySize(QStringLiteral("hiddenunits"), opening(test::WindowKind::HiddenUnits));
}

TEST_P(WindowRenders, UpdateSettingsWindow)
{
    renderEverySize(QStringLiteral("updatesettings"), opening(test::WindowKind::UpdateSettings));
}

TEST_P(WindowRenders, ManualRatesWindow)
{
    renderEverySize(QStringLiteral("manualrates"), opening(test::WindowKind::ManualRates), [](QuantaroDialog& window) {
        window.control<QComboBox>(manualrates::kCurrencyCombo)->setCurrentIndex(0);
    });
}

TEST_P(WindowRenders, AboutWindow)
{
    renderEverySize(QStringLiteral("about"), opening(test::WindowKind::About));
}

TEST_P(WindowRenders, VersionCheckWindow)
{
    renderEverySize(QStringLiteral("versioncheck"), opening(test::WindowKind::CheckVersion));
}

INSTANTIATE_TEST_SUITE_P(AllLanguages, WindowRenders, ::testing::ValuesIn(kLanguages),
                         [](const ::testing::TestParamInfo<Language>& param) { return std::string(param.param.code); });

} // namespace
} // namespace quantaro
