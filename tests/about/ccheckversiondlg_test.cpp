#include "about/ccheckversiondlg.h"
#include "about/versionfile.h"
#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "platform/curlhttpclient.h"
#include "support/fakes.h"
#include "support/scriptedhttpserver.h"
#include "support/shorthttplimits.h"
#include "testpaths.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quantaro {
namespace {

using namespace versioncheck;
using test::HttpStep;
using test::ScriptedHttpServer;

const QByteArray kMagic = "##Quantaro-CheckVersionFile##";
const QString kDownload = QStringLiteral("https://quantaro.example.org/download");
const QString kNews = QStringLiteral("http://quantaro.example.org/news.html");

const ResourceSource& english()
{
    static const ResourceSource source(QStringLiteral(QUANTARO_SOURCE_DIR "/lang/en/res"));
    return source;
}

HttpLimits shortLimits()
{
    return test::shortHttpLimits(300, 3000);
}

class VersionCheckTest : public ::testing::Test
{
protected:
    UiServices services() { return UiServices{&m_messages, &m_screen, &m_shell, &m_settings, &english()}; }

    /** Opens the window against the server the settings name and lets it run its check. */
    std::unique_ptr<CCheckVersionDlg> open(HttpClient& http, const std::optional<QString>& url)
    {
        auto window = std::make_unique<CCheckVersionDlg>(services(), http, url, shortLimits());
        window->show();
        for (int turn = 0; turn < 10 && window->state() == CCheckVersionDlg::State::Checking; ++turn) {
            QApplication::processEvents();
        }
        return window;
    }
    std::unique_ptr<CCheckVersionDlg> openAgainst(const QString& base)
    {
        m_settings.putString(settings::kSettings, settings::kUpdateServer, base);
        return open(m_http, versionFileUrl(m_settings));
    }
    static QString text(const CCheckVersionDlg& window, int id)
    {
        const auto* label = window.control<QLabel>(id);
        return label ? label->text() : QStringLiteral("<missing>");
    }
    static bool linksShown(const CCheckVersionDlg& window)
    {
        const bool first = window.control(kFirstLinkButton)->isVisible();
        EXPECT_EQ(window.control(kSecondLinkButton)->isVisible(), first);
        EXPECT_EQ(window.control(kNewerMark)->isVisible(), first);
        return first;
    }
    /** What the shell got from clicking 5001, then 5002. */
    QStringList clickLinks(CCheckVersionDlg& window)
    {
        m_shell.opened.clear();
        window.control<QPushButton>(kFirstLinkButton)->click();
        window.control<QPushButton>(kSecondLinkButton)->click();
        return m_shell.opened;
    }

    QTemporaryDir m_dir;
    SettingsStore m_settings{m_dir.filePath(QStringLiteral("q.ini"))};
    test::RecordingMessageBoxes m_messages;
    test::RecordingShell m_shell;
    test::FixedScreen m_screen{QSize(360, 640)};
    CurlHttpClient m_http{settings::kApplication};
};

struct ServedCase
{
    const char* name;
    QByteArray body;
    int status;
    CCheckVersionDlg::State state;
    QString statusText;
    QStringList opened;
};

class ServedVersionFileTest : public VersionCheckTest, public testing::WithParamInterface<ServedCase>
{
};

TEST_P(ServedVersionFileTest, ShowsTheOutcomeAndOpensOnlyWebAddresses)
{
    const ServedCase& c = GetParam();
    ScriptedHttpServer server(test::httpResponse(c.body, c.status));
    ASSERT_TRUE(server.listening());

    auto window = openAgainst(server.baseUrl());

    EXPECT_EQ(window->state(), c.state);
    EXPECT_EQ(text(*window, kStatus), c.statusText);
    EXPECT_EQ(text(*window, kVersion), QStringLiteral("Your version: 1.05"));
    const bool newer = c.state == CCheckVersionDlg::State::Newer;
    EXPECT_EQ(linksShown(*window), newer);
    if (newer) {
        EXPECT_EQ(clickLinks(*window), c.opened);
        EXPECT_TRUE(window->isVisible());
    }
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_TRUE(server.requests().front().startsWith(QStringLiteral("GET /cvf/quantaro.cvf HTTP/1.1\r\n")));
    EXPECT_TRUE(m_messages.messages.empty());
}

const QString kUpToDate = QStringLiteral("You have the latest version.");
const QByteArray kLinks = "\n" + kDownload.toLatin1() + "\n" + kNews.toLatin1() + "\n";

INSTANTIATE_TEST_SUITE_P(
    Bodies, ServedVersionFileTest,
    testing::Values(
        ServedCase{"NewerVersion",
                   kMagic + "\n1.06" + kLinks,
                   200,
                   CCheckVersionDlg::State::Newer,
                   "Version 1.06 is available.",
                   {kDownload, kNews}},
        ServedCase{"SameVersion", kMagic + "\n1.05" + kLinks, 200, CCheckVersionDlg::State::UpToDate, kUpToDate, {}},
        ServedCase{"OlderVersion", kMagic + "\n1.049" + kLinks, 200, CCheckVersionDlg::State::UpToDate, kUpToDate, {}},
        ServedCase{"BetaShownWhole",
                   kMagic + "\n1.10 beta" + kLinks,
                   200,
                   CCheckVersionDlg::State::Newer,
                   "Version 1.10 beta is available.",
                   {kDownload, kNews}},
        ServedCase{"MagicInCapitals",
                   kMagic.toUpper() + "\n1.06" + kLinks,
                   200,
                   CCheckVersionDlg::State::Newer,
                   "Version 1.06 is available.",
                   {kDownload, kNews}},
        ServedCase{"CarriageReturns",
                   kMagic + "\r\n1.06\r\n" + kDownload.toLatin1() + "\r\n" + kNews.toLatin1(),
                   200,
                   CCheckVersionDlg::State::Newer,
                   "Version 1.06 is available.",
                   {kDownload, kNews}},
        ServedCase{"TwoLinesOpenNothing",
                   kMagic + "\n1.06\n",
                   200,
                   CCheckVersionDlg::State::Newer,
                   "Version 1.06 is available.",
                   {}},
        ServedCase{"OtherSchemesOpenNothing",
                   kMagic + "\n2.0\nfile:///usr/bin/xterm\njavascript:alert(1)\n",
                   200,
                   CCheckVersionDlg::State::Newer,
                   "Version 2.0 is available.",
                   {}},
        ServedCase{"ErrorPage",
                   "<html><body>Not Found</body></html>\n",
                   404,
                   CCheckVersionDlg::State::UpToDate,
                   kUpToDate,
                   {}},
        ServedCase{"EmptyBody", "", 200, CCheckVersionDlg::State::UpToDate, kUpToDate, {}}),
    [](const testing::TestParamInfo<ServedCase>& p) { return std::string(p.param.name); });

TEST_F(VersionCheckTest, FailsWithoutTheButtonsWhenNoFileArrives)
{
    const QString failed =
        QStringLiteral("The update server could not be reached. Check the connection and try again later.");
    ScriptedHttpServer broken({HttpStep::send(test::httpHead(200, 1000) + kMagic + "\n1.0")});
    ScriptedHttpServer silent({HttpStep::send(test::httpHead(200, 1000)), HttpStep::hold()});
    struct Case
    {
        const char* name;
        QString base;
    };
    for (const Case& c :
         {Case{"nothing listens", QStringLiteral("http://127.0.0.1:%1").arg(test::closedLoopbackPort())},
          Case{"broken transfer", broken.baseUrl()}, Case{"silent server", silent.baseUrl()},
          Case{"refused scheme", QStringLiteral("ftp://127.0.0.1")}}) {
        auto window = openAgainst(c.base);
        EXPECT_EQ(window->state(), CCheckVersionDlg::State::Failed) << c.name;
        EXPECT_EQ(text(*window, kStatus), failed) << c.name;
        EXPECT_FALSE(linksShown(*window)) << c.name;
    }
}

/** Records what the window looked like when the transfer began, and serves a newer version. */
class ObservingHttp final : public HttpClient
{
public:
    HttpResult get(const QString& url, const BodySink& sink, const HttpLimits&) override
    {
        requested = url;
        visible = window && window->isVisible();
        status = window ? window->control<QLabel>(kStatus)->text() : QString();
        waitCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        const QByteArray body = kMagic + "\n1.5\n" + kDownload.toLatin1() + "\n" + kNews.toLatin1() + "\n";
        return {sink(body.constData(), static_cast<std::size_t>(body.size())) ? HttpOutcome::Complete
                                                                              : HttpOutcome::SinkStopped,
                200};
    }
    CCheckVersionDlg* window = nullptr;
    QString requested;
    bool visible = false;
    QString status;
    bool waitCursor = false;
};

TEST_F(VersionCheckTest, TheWindowIsDrawnWithTheCheckingTextBeforeTheTransferUnderTheWaitCursor)
{
    ObservingHttp http;
    CCheckVersionDlg window(services(), http, QStringLiteral("http://127.0.0.1:9/cvf/quantaro.cvf"));
    http.window = &window;
    window.show();
    QApplication::processEvents();

    EXPECT_EQ(http.requested, QStringLiteral("http://127.0.0.1:9/cvf/quantaro.cvf"));
    EXPECT_TRUE(http.visible);
    EXPECT_EQ(http.status, QStringLiteral("Checking for a newer version…"));
    EXPECT_TRUE(http.waitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(window.state(), CCheckVersionDlg::State::Newer);
    // The check runs once, however often the window is shown.
    http.requested.clear();
    window.hide();
    window.show();
    window.check();
    QApplication::processEvents();
    EXPECT_TRUE(http.requested.isEmpty());
}

TEST_F(VersionCheckTest, ScreenTurnsKeepTheTextsAndTheButtons)
{
    ObservingHttp http;
    auto window = open(http, QStringLiteral("http://127.0.0.1:9/cvf/quantaro.cvf"));
    ASSERT_EQ(window->state(), CCheckVersionDlg::State::Newer);
    struct Turn
    {
        QSize screen;
        int templateId;
    };
    for (const Turn& turn : {Turn{{640, 360}, 131}, Turn{{480, 480}, 135}, Turn{{240, 320}, 130}}) {
        m_screen.size = turn.screen;
        window->resize(turn.screen);
        EXPECT_EQ(window->currentTemplate(), turn.templateId);
        EXPECT_EQ(text(*window, kStatus), QStringLiteral("Version 1.5 is available."));
        EXPECT_EQ(text(*window, kVersion), QStringLiteral("Your version: 1.05"));
        EXPECT_TRUE(linksShown(*window));
        EXPECT_EQ(clickLinks(*window), (QStringList{kDownload, kNews}));
    }
}

TEST_F(VersionCheckTest, AnUpToDateAnswerKeepsTheButtonsHiddenThroughATurn)
{
    ScriptedHttpServer server(test::httpResponse(kMagic + "\n1.0\n"));
    auto window = openAgainst(server.baseUrl());
    m_screen.size = QSize(640, 360);
    window->resize(640, 360);
    EXPECT_EQ(text(*window, kStatus), kUpToDate);
    EXPECT_FALSE(linksShown(*window));
}

} // namespace
} // namespace quantaro
