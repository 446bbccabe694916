#include "about/caboutdlg.h"
#include "about/programinfo.h"
#include "app/resourcesource.h"
#include "support/fakes.h"
#include "testpaths.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace quantaro {
namespace {

using namespace about;

const QString kEnglish = QStringLiteral(QUANTARO_SOURCE_DIR "/lang/en/res");

class AboutTest : public ::testing::Test
{
protected:
    UiServices services(const ResourceSource& resources)
    {
        return UiServices{&m_messages, &m_screen, &m_shell, nullptr, &resources};
    }
    static QString text(const CAboutDlg& window, int id)
    {
        const auto* label = window.control<QLabel>(id);
        return label ? label->text() : QStringLiteral("<missing>");
    }

    test::RecordingMessageBoxes m_messages;
    test::RecordingShell m_shell;
    test::FixedScreen m_screen{QSize(360, 640)};
    ResourceSource m_english{kEnglish};
};

const PublisherAddresses kAddresses{QStringLiteral("help@velmora.test"), QStringLiteral("https://velmora.test")};

TEST_F(AboutTest, EveryShapeShowsTheFormattedTextsAndBothAddresses)
{
    CAboutDlg window(services(m_english), nullptr, kAddresses);
    window.show();
    struct Turn
    {
        QSize screen;
        int templateId;
    };
    for (const Turn& turn : {Turn{{360, 640}, 100}, Turn{{640, 360}, 101}, Turn{{480, 480}, 134}, Turn{{320, 240}, 101},
                             Turn{{240, 320}, 100}}) {
        m_screen.size = turn.screen;
        window.resize(turn.screen);
        EXPECT_EQ(window.currentTemplate(), turn.templateId);
        EXPECT_EQ(text(window, kVersion), QStringLiteral("Version 1.05"));
        EXPECT_EQ(text(window, kYear), QStringLiteral("© 2008 Velmora"));
        EXPECT_EQ(text(window, kContactLink), kAddresses.contact);
        EXPECT_EQ(text(window, kWebLink), kAddresses.web);
    }
    EXPECT_EQ(window.accessibleName(), QStringLiteral("About, Version 1.05"));
    EXPECT_TRUE(m_messages.messages.empty());
}

TEST_F(AboutTest, AnAddressTheBuildDoesNotNameIsNotShown)
{
    for (const PublisherAddresses& addresses :
         {PublisherAddresses{QString(), QString()}, PublisherAddresses{kAddresses.contact, QString()}}) {
        CAboutDlg window(services(m_english), nullptr, addresses);
        window.show();
        for (const QSize screen : {QSize(360, 640), QSize(640, 360)}) {
            m_screen.size = screen;
            window.resize(screen);
            for (const int id : {kContactCaption, kContactLink}) {
                EXPECT_EQ(window.control<QLabel>(id)->isVisible(), !addresses.contact.isEmpty()) << id;
            }
            for (const int id : {kWebCaption, kWebLink}) {
                EXPECT_FALSE(window.control<QLabel>(id)->isVisible()) << id;
            }
        }
    }
}

TEST_F(AboutTest, TheLinksOpenTheShownAddressesAndTheWindowStaysOpen)
{
    CAboutDlg window(services(m_english), nullptr, kAddresses);
    window.show();
    struct Case
    {
        int id;
        QString opened;
    };
    for (const Case& c :
         {Case{kContactLink, QStringLiteral("mailto:") + kAddresses.contact}, Case{kWebLink, kAddresses.web}}) {
        auto* link = window.control<QLabel>(c.id);
        ASSERT_NE(link, nullptr);
        m_shell.opened.clear();
        QTest::mouseClick(link, Qt::LeftButton);
        QTest::keyClick(link, Qt::Key_Space);
        EXPECT_EQ(m_shell.opened, (QStringList{c.opened, c.opened})) << c.id;
        EXPECT_TRUE(window.isVisible());
    }
    // What is shown is what opens, with nothing between "mailto:" and the address.
    window.control<QLabel>(kContactLink)->setText(QStringLiteral("someone@example.org"));
    m_shell.opened.clear();
    QTest::mouseClick(window.control<QLabel>(kContactLink), Qt::LeftButton);
    EXPECT_EQ(m_shell.opened, QStringList{QStringLiteral("mailto:someone@example.org")});
    // The other texts open nothing.
    QTest::mouseClick(window.control<QLabel>(kVersion), Qt::LeftButton);
    QTest::mouseClick(window.control<QLabel>(kYear), Qt::LeftButton);
    EXPECT_EQ(m_shell.opened.size(), 1);
}

TEST_F(AboutTest, OnlyTheLinksTakeTheLinkColour)
{
    CAboutDlg window(services(m_english));
    window.show();
    QApplication::processEvents();
    for (const int id : {kContactLink, kWebLink}) {
        auto* link = window.control<QLabel>(id);
        EXPECT_EQ(link->palette().color(link->foregroundRole()), kLinkColour) << id;
    }
    for (const int id : {kVersion, kYear}) {
        auto* label = window.control<QLabel>(id);
        EXPECT_NE(label->palette().color(label->foregroundRole()), kLinkColour) << id;
    }
}

TEST_F(AboutTest, TemplateTextsWithoutAPlaceholderAreShownUnchanged)
{
    // A module whose texts carry no "%s".
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("dialogs"))));
    for (const int number : {100, 101, 134}) {
        QFile in(kEnglish + QStringLiteral("/dialogs/%1.ui").arg(number));
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        QByteArray ui = in.readAll();
        ui.replace("Version %s", "Release of the year").replace("\xc2\xa9 %s Velmora", "Velmora");
        QFile out(dir.filePath(QStringLiteral("dialogs/%1.ui").arg(number)));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(ui);
    }
    ResourceSource plain(dir.path());
    CAboutDlg window(services(plain));
    window.show();
    EXPECT_EQ(text(window, kVersion), QStringLiteral("Release of the year"));
    EXPECT_EQ(text(window, kYear), QStringLiteral("Velmora"));
}

} // namespace
} // namespace quantaro
