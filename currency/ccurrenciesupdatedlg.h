#pragma once

#include "generated/ids/currencyupdate.h"
#include "ui/quantarodialog.h"

#include <QLocale>
#include <QString>
#include <cstdint>
#include <functional>

namespace quantaro {

class Clock;
class NotificationService;

/** Template, control and string numbers of the update settings window. */
namespace currencyupdate {
inline constexpr TemplateTriple kTemplates{kPortraitTemplate, kLandscapeTemplate, kSquareTemplate};
/** The window's OK and Cancel menu. */
inline constexpr int kMenu = 3002;
inline constexpr int kDownloadFailed = 1002;
inline constexpr int kDownloadSucceeded = 1003;
inline constexpr int kLastUpdateFormat = 1004;
inline constexpr int kNeverUpdated = 1005;
inline constexpr int kBankRatesFormat = 1036;
inline constexpr int kOpenRatesFormat = 1037;
inline constexpr int kNoRatesYet = 1038;
inline constexpr int kSourceFailed = 1039;
inline constexpr int kSourceStale = 1040;
inline constexpr int kBankPartFailed = 1041;
inline constexpr int kOpenPartFailed = 1042;
/** The markers of string 1004 that the date and the time replace, the first of each only. */
inline const QString kDateMarker = QStringLiteral("%D%");
inline const QString kTimeMarker = QStringLiteral("%T%");
/** The registrations start this long before now, so that a clock set back a little still fires them. */
inline constexpr int64_t kRegistrationLeadSeconds = 2 * 24 * 60 * 60;
/** ... and end this many years after now. */
inline constexpr int kRegistrationYears = 100;
} // namespace currencyupdate

/** The last-update text: the first date marker of format replaced by the local short date of
 *  seconds (since 1970 UTC), then the first time marker by its local 24-hour time. */
QString lastUpdateText(const QString& format, int64_t seconds, const QLocale& locale = QLocale());

/**
 * The update settings window: shows when the exchange rates were last downloaded, downloads them on
 * request, and switches the automatic update on connection on or off by registering the program
 * with the notification service (for a wired connection and for a USB network function) or
 * cancelling those registrations. The registrations change only on OK.
 */
class CCurrenciesUpdateDlg : public QuantaroDialog
{
    Q_OBJECT
public:
    /** download runs the rate download (true on success); application is the program's full path,
     *  which the registrations start with the connection run word. */
    CCurrenciesUpdateDlg(UiServices services, NotificationService& notifications, const Clock& clock,
                         std::function<bool()> download, QString application, QWidget* parent = nullptr);

    const QString& lastUpdate() const { return m_lastUpdateText; }
    /** Each source's line: its rates' day and what became of its last download. */
    const QString& sources() const { return m_sourcesText; }

protected:
    void onInitDialog() override;
    void onOk() override;
    void afterRelayout() override;

private:
    void downloadNow();
    /** The sources' lines from the settings; empty with a publisher's server, the one source then. */
    QString sourcesText() const;
    /** The message after a successful download: which source, if any, gave nothing. */
    int downloadedMessage() const;
    void switchOn();
    void switchOff(int32_t cableHandle);
    void cancelNetworkFunction();

    NotificationService& m_notifications;
    const Clock& m_clock;
    std::function<bool()> m_download;
    QString m_application;
    QString m_lastUpdateText;
    QString m_sourcesText;
};

} // namespace quantaro
