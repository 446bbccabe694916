// Renders the About and version check windows to PNG files under the build folder, for a person to
// look at in every shape and at handheld sizes.
#include "about/caboutdlg.h"
#include "about/ccheckversiondlg.h"
#include "app/resourcesource.h"
#include "support/fakes.h"
#include "testpaths.h"

#include <QApplication>
#include <QDir>
#include <gtest/gtest.h>

namespace quantaro {
namespace {

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

TEST(AboutRenderTest, WindowsOfEveryShapeRenderToPng)
{
    const QString folder = QStringLiteral(QUANTARO_BINARY_DIR "/renders/about");
    ASSERT_TRUE(QDir().mkpath(folder));
    const ResourceSource english(QStringLiteral(QUANTARO_SOURCE_DIR "/lang/en/res"));
    test::RecordingMessageBoxes messages;
    test::RecordingShell shell;
    test::FixedScreen screen;
    NewerVersionHttp http;
    for (const QSize size : {QSize(360, 640), QSize(240, 320), QSize(640, 360), QSize(320, 240), QSize(480, 480)}) {
        screen.size = size;
        const UiServices services{&messages, &screen, &shell, nullptr, &english};
        const QString suffix = QStringLiteral("_%1x%2.png").arg(size.width()).arg(size.height());
        CAboutDlg about(services);
        about.resize(size);
        about.show();
        EXPECT_TRUE(about.grab().save(folder + QStringLiteral("/about") + suffix));
        CCheckVersionDlg check(services, http, QStringLiteral("http://127.0.0.1:9/cvf/quantaro.cvf"));
        check.resize(size);
        check.show();
        QApplication::processEvents();
        EXPECT_EQ(check.state(), CCheckVersionDlg::State::Newer);
        EXPECT_TRUE(check.grab().save(folder + QStringLiteral("/versioncheck") + suffix));
    }
}

} // namespace
} // namespace quantaro
