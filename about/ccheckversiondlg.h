#pragma once

#include "generated/ids/versioncheck.h"
#include "platform/httpclient.h"
#include "ui/quantarodialog.h"

#include <QString>
#include <optional>

namespace quantaro {

/** Template, menu, control and string numbers of the version check window. */
namespace versioncheck {
inline constexpr TemplateTriple kTemplates{kPortraitTemplate, kLandscapeTemplate, kSquareTemplate};
inline constexpr int kMenu = 3002;
inline constexpr int kStringChecking = 80;
inline constexpr int kStringUpToDate = 81;
inline constexpr int kStringNewer = 82;
inline constexpr int kStringFailed = 83;
} // namespace versioncheck

/**
 * Tells whether a newer version of the program exists. Once the window has been drawn it fetches the
 * publisher's version file (blocking, under the wait cursor), compares the version written there
 * with the program's own and shows the outcome; when the file announces a newer version, two
 * buttons open the addresses that the file gives, provided they are web addresses.
 */
class CCheckVersionDlg : public QuantaroDialog
{
    Q_OBJECT
public:
    enum class State
    {
        Checking, ///< the check has not ended yet
        UpToDate, ///< no newer version, or the answer was no version file
        Newer,    ///< the file announces a newer version
        Failed,   ///< the server could not be reached or the transfer failed
    };

    /** url is the version file's address; none when the settings name no usable server. */
    CCheckVersionDlg(UiServices services, HttpClient& http, std::optional<QString> url, HttpLimits limits = {},
                     QWidget* parent = nullptr);

    State state() const { return m_state; }
    /** Draws the window and runs the check, once; the window's first show queues this. */
    void check();

protected:
    void onInitDialog() override;
    void afterRelayout() override;

private:
    void showTexts();
    void setLinkControlsVisible(bool visible);
    void openLink(const QString& link);

    HttpClient& m_http;
    std::optional<QString> m_url;
    HttpLimits m_limits;
    State m_state = State::Checking;
    bool m_checkStarted = false;
    QString m_versionText;
    QString m_statusText;
    QString m_firstLink;
    QString m_secondLink;
};

} // namespace quantaro
