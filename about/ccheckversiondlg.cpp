#include "about/ccheckversiondlg.h"

#include "about/controltext.h"
#include "about/programinfo.h"
#include "about/versionfile.h"
#include "ui/waitcursor.h"

#include <QCoreApplication>
#include <QLabel>

namespace quantaro {

using namespace versioncheck;

CCheckVersionDlg::CCheckVersionDlg(UiServices services, HttpClient& http, std::optional<QString> url, HttpLimits limits,
                                   QWidget* parent)
    : QuantaroDialog(kTemplates, services, parent), m_http(http), m_url(std::move(url)), m_limits(limits)
{
    onCommand(kFirstLinkButton, [this] { openLink(m_firstLink); });
    onCommand(kSecondLinkButton, [this] { openLink(m_secondLink); });
}

void CCheckVersionDlg::onInitDialog()
{
    m_versionText = formatWithOneString(controlText(control(kVersion)), kProgramVersion);
    setMenuBarFromResource(kMenu);
    if (auto* status = control<QLabel>(kStatus)) {
        status->setWordWrap(true);
        status->setTextFormat(Qt::PlainText);
    }
    setLinkControlsVisible(false);
    m_statusText = string(kStringChecking);
    showTexts();
    // The check blocks; it runs once the window has been shown, from the event loop.
    QMetaObject::invokeMethod(this, &CCheckVersionDlg::check, Qt::QueuedConnection);
}

void CCheckVersionDlg::afterRelayout()
{
    showTexts();
}

void CCheckVersionDlg::showTexts()
{
    setControlText(control(kVersion), m_versionText);
    setControlText(control(kStatus), m_statusText);
}

void CCheckVersionDlg::setLinkControlsVisible(bool visible)
{
    for (const int id : {kFirstLinkButton, kSecondLinkButton, kNewerMark}) {
        if (QWidget* widget = control(id)) {
            widget->setVisible(visible);
        }
    }
}

void CCheckVersionDlg::check()
{
    if (m_checkStarted) {
        return;
    }
    m_checkStarted = true;
    VersionFileReader reader;
    HttpResult result{HttpOutcome::BadUrl, 0};
    {
        // The window is drawn before the blocking transfer, so the user sees what is going on.
        repaint();
        WaitCursor wait;
        repaint();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (m_url) {
            const auto sink = [&reader](const char* bytes, std::size_t size) {
                return reader.feed(QByteArrayView(bytes, static_cast<qsizetype>(size)));
            };
            result = m_http.get(*m_url, sink, m_limits);
        }
    }
    // A body cut short is a failure unless every line that matters had arrived; what the server
    // answers otherwise, an error page included, is read as a version file.
    if (result.outcome == HttpOutcome::Complete) {
        reader.finish();
    } else if (!reader.isDone()) {
        m_state = State::Failed;
        m_statusText = string(kStringFailed);
        showTexts();
        return;
    }
    const VersionFileVerdict verdict = judgeVersionFile(reader.lines());
    if (verdict.newer) {
        m_state = State::Newer;
        m_firstLink = verdict.firstLink;
        m_secondLink = verdict.secondLink;
        m_statusText = formatWithOneString(string(kStringNewer), verdict.versionLine);
        setLinkControlsVisible(true);
    } else {
        m_state = State::UpToDate;
        m_statusText = string(kStringUpToDate);
    }
    showTexts();
}

void CCheckVersionDlg::openLink(const QString& link)
{
    // The addresses come from the network: only a web address goes to the shell, never a file,
    // a script or a program.
    if (isWebAddress(link)) {
        openWithShell(services(), link);
    }
}

} // namespace quantaro
