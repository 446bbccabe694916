#include "platform/desktopscreen.h"
#include "recordingdialog.h"
#include "support/fakes.h"
#include "ui/controls.h"
#include "ui/relayoutfromtemplate.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quantaro;
using namespace quantaro::test;

namespace {
class DialogTest : public ::testing::Test
{
protected:
    UiServices services() { return UiServices{&messages, &screen, nullptr, nullptr, &uiResources()}; }

    RecordingMessageBoxes messages;
    FixedScreen screen{QSize(240, 320)};
};
} // namespace

TEST_F(DialogTest, ScreenTurnsSelectTheTemplateAtTheNextSizeChange)
{
    RecordingDialog window(services());
    window.resize(240, 320);
    window.show();
    EXPECT_EQ(window.currentTemplate(), uires::kPortrait);
    EXPECT_EQ(window.calls, (std::vector<std::string>{"init", "relayout"}));

    struct Turn
    {
        QSize screen;
        int templateId;
    };
    for (const Turn& turn :
         {Turn{{320, 240}, uires::kLandscape}, Turn{{240, 320}, uires::kPortrait}, Turn{{240, 240}, uires::kSquare}}) {
        screen.size = turn.screen;
        window.resize(turn.screen);
        EXPECT_EQ(window.currentTemplate(), turn.templateId);
        // The run-time text is back after each re-layout, the template's is not left showing.
        EXPECT_EQ(window.control<QLabel>(uires::kTitle)->text(), QStringLiteral("Run-time title"));
    }
    // The menu bar follows the bottom edge.
    ASSERT_NE(window.menuBar(), nullptr);
    EXPECT_EQ(window.menuBar()->geometry(), QRect(0, 240 - kMenuBarHeight, 240, kMenuBarHeight));
}

TEST_F(DialogTest, EnterIsOkAndEscapeOrClosingIsCancel)
{
    struct Case
    {
        std::function<void(RecordingDialog&)> act;
        const char* call;
        int result;
    };
    const std::vector<Case> cases = {
        {[](RecordingDialog& w) { QTest::keyClick(w.control(uires::kEdit), Qt::Key_Return); }, "ok", QDialog::Accepted},
        {[](RecordingDialog& w) { QTest::keyClick(w.control(uires::kList), Qt::Key_Escape); }, "cancel",
         QDialog::Rejected},
        {[](RecordingDialog& w) { w.close(); }, "cancel", QDialog::Rejected},
        {[](RecordingDialog& w) { QTest::mouseClick(w.control<QPushButton>(kIdOk), Qt::LeftButton); }, "ok",
         QDialog::Accepted},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        RecordingDialog window(services());
        window.show();
        window.control(uires::kEdit)->setFocus();
        cases[i].act(window);
        EXPECT_EQ(window.calls.back(), cases[i].call) << i;
        EXPECT_EQ(window.result(), cases[i].result) << i;
        EXPECT_FALSE(window.isVisible()) << i;
    }
}

TEST_F(DialogTest, CommandsAndNotificationsAreRoutedById)
{
    RecordingDialog window(services());
    window.show();
    std::vector<std::string> seen;
    window.onCommand(uires::kPictureButton, [&] { seen.push_back("button"); });
    window.onCommand(uires::kAbout, [&] { seen.push_back("about"); });
    window.onNotification(uires::kEdit, Notification::TextChanged, [&] { seen.push_back("edit"); });
    window.onNotification(uires::kList, Notification::SelectionChanged, [&] { seen.push_back("list"); });
    // A handler for OK replaces the standard operation.
    window.onCommand(kIdOk, [&] { seen.push_back("own ok"); });

    QTest::mouseClick(window.control<QPushButton>(uires::kPictureButton), Qt::LeftButton);
    window.control<QLineEdit>(uires::kEdit)->setText(QStringLiteral("12*2.54"));
    window.control<QListWidget>(uires::kList)->addItem(QStringLiteral("metre"));
    window.control<QListWidget>(uires::kList)->setCurrentRow(0);
    window.menuBar()->buttons().at(2)->click();
    QTest::keyClick(window.control(uires::kEdit), Qt::Key_Return);
    // Notifications without a handler are dropped.
    window.control<QComboBox>(uires::kCombo)->setCurrentIndex(-1);

    EXPECT_EQ(seen, (std::vector<std::string>{"button", "edit", "list", "about", "own ok"}));
    EXPECT_TRUE(window.isVisible());
    window.onCommand(kIdOk, nullptr);
    window.command(kIdOk);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(DialogTest, MessageBoxesAreModuleStringsGivenByNumber)
{
    RecordingDialog window(services());
    window.showMessage(uires::kFailureText, MessageIcon::Error);
    window.showMessage(uires::kSuccessText, MessageIcon::Information);
    window.showMessage(4711, MessageIcon::Exclamation);
    ASSERT_EQ(messages.messages.size(), 3U);
    EXPECT_EQ(messages.messages[0].text, QStringLiteral("Something failed"));
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(messages.messages[1].text, QStringLiteral("All went well"));
    EXPECT_EQ(messages.messages[1].icon, MessageIcon::Information);
    EXPECT_EQ(messages.messages[2].text, QString()) << "a missing string reads as empty";
}

TEST_F(DialogTest, RealMessageBoxHasTheApplicationNameAndOneOkButton)
{
    UiServices real = services();
    real.messages = nullptr;
    RecordingDialog window(real);
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = -1;
    // Answers the box from inside its own loop; gives up (and closes every dialog) rather than hang.
    std::function<void(int)> answer = [&](int attemptsLeft) {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box) {
            caption = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = int(box->buttons().size());
            box->button(QMessageBox::Ok)->click();
        } else if (attemptsLeft > 0) {
            QTimer::singleShot(0, [&, attemptsLeft] { answer(attemptsLeft - 1); });
        } else {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (auto* dialog = qobject_cast<QDialog*>(top); dialog && dialog->isVisible()) {
                    dialog->reject();
                }
            }
        }
    };
    QTimer::singleShot(0, [&] { answer(1000); });
    window.showMessage(uires::kFailureText, MessageIcon::Error);
    EXPECT_EQ(caption, QCoreApplication::applicationName());
    EXPECT_EQ(text, QStringLiteral("Something failed"));
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(buttons, 1);
}

TEST_F(DialogTest, WindowWithoutItsTemplateIsNeverShown)
{
    for (int templateId : {uires::kMissingTemplate, uires::kBrokenTemplate}) {
        QuantaroDialog window(templateId, services());
        EXPECT_FALSE(window.isCreated());
        EXPECT_EQ(window.exec(), QuantaroDialog::kCreationFailed);
        EXPECT_FALSE(window.isVisible());
    }
}

TEST_F(DialogTest, SingleTemplateWindowScalesButKeepsItsTexts)
{
    QuantaroDialog window(uires::kSingle, services());
    ASSERT_TRUE(window.isCreated());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Fixed window"));
    auto* caption = qobject_cast<QLabel*>(window.control(uires::kTitle));
    caption->setText(QStringLiteral("Set by the window"));
    window.show();
    window.resize(240, 320);
    EXPECT_EQ(caption->text(), QStringLiteral("Set by the window"));
    EXPECT_EQ(caption->geometry(), mapFromDesign(QRect(16, 16, 328, 40), QSize(360, 640), QSize(240, 320)));
}

TEST_F(DialogTest, DesktopWindowOpensAtTheDesignSizeOfItsShape)
{
    setEmulatedScreen(std::nullopt);
    screen.size = QSize(1920, 1080);
    EXPECT_EQ(RecordingDialog(services()).size(), QSize(640, 360));
    setEmulatedScreen(QSize(240, 320));
    EXPECT_EQ(RecordingDialog(services()).size(), QSize(240, 320)) << "an emulated handheld fills its screen";
    setEmulatedScreen(std::nullopt);
}

TEST_F(DialogTest, RealHandheldWindowsFillTheScreenWhateverTheirTemplatesSize)
{
    setEmulatedScreen(std::nullopt);
    for (const QSize real : {QSize(240, 320), QSize(320, 240), QSize(360, 640), QSize(640, 360), QSize(480, 480)}) {
        screen.size = real;
        EXPECT_EQ(RecordingDialog(services()).size(), real);
        // One template for every shape, drawn for 360x640, still fits a landscape screen.
        EXPECT_EQ(QuantaroDialog(uires::kSingle, services()).size(), real);
    }
}

TEST(ScreenOverride, ReadsWidthByHeightAndRefusesAnythingElse)
{
    const struct
    {
        const char* text;
        std::optional<QSize> size;
    } cases[] = {
        {"240x320", QSize(240, 320)}, {" 640 X 360 ", QSize(640, 360)},
        {"999999x1", std::nullopt},   {"100000x1", QSize(100000, 1)},
        {"0x320", std::nullopt},      {"240x", std::nullopt},
        {"x320", std::nullopt},       {"240x320x", std::nullopt},
        {"-240x320", std::nullopt},   {"240*320", std::nullopt},
        {"", std::nullopt},           {"1234567x1", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseScreenOverride(QString::fromLatin1(c.text)), c.size) << c.text;
    }
}
