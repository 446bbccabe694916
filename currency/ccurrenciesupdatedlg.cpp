#include "currency/ccurrenciesupdatedlg.h"

#include "app/cconverterapp.h"
#include "app/placeholderfill.h"
#include "app/savefailurenotice.h"
#include "app/settingsstore.h"
#include "app/updateserver.h"
#include "currency/ratedates.h"
#include "currency/ratedownloader.h"
#include "currency/ratemerge.h"
#include "platform/clock.h"
#include "platform/notificationservice.h"
#include "ui/waitcursor.h"

#include <QCheckBox>
#include <QDateTime>
#include <QLabel>
#include <QStringList>
#include <QtEndian>

namespace quantaro {

namespace {

constexpr qsizetype kTimeStampBytes = 8;
const QString kTwentyFourHourTime = QStringLiteral("HH:mm");

} // namespace

QString lastUpdateText(const QString& format, int64_t seconds, const QLocale& locale)
{
    const QDateTime local = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toLocalTime();
    return fillPlaceholders(format,
                            {{currencyupdate::kDateMarker, locale.toString(local.date(), QLocale::ShortFormat)},
                             {currencyupdate::kTimeMarker, locale.toString(local.time(), kTwentyFourHourTime)}},
                            PercentPairs::AsWritten, LaterPlaces::AsWritten);
}

CCurrenciesUpdateDlg::CCurrenciesUpdateDlg(UiServices services, NotificationService& notifications, const Clock& clock,
                                           std::function<bool()> download, QString application, QWidget* parent)
    : QuantaroDialog(currencyupdate::kTemplates, services, parent), m_notifications(notifications), m_clock(clock),
      m_download(std::move(download)), m_application(std::move(application))
{
    setMenuBarFromResource(currencyupdate::kMenu);
    onCommand(currencyupdate::kDownloadButton, [this] { downloadNow(); });
}

void CCurrenciesUpdateDlg::onInitDialog()
{
    SettingsStore* store = services().settings;
    const std::optional<QByteArray> last =
        store ? store->getBinary(settings::kSettings, settings::kLastCurrencyUpdate) : std::nullopt;
    // Only this program writes the value, always 8 bytes; anything else counts as no update.
    if (last && last->size() == kTimeStampBytes) {
        m_lastUpdateText =
            lastUpdateText(string(currencyupdate::kLastUpdateFormat), qFromLittleEndian<qint64>(last->constData()));
    } else {
        m_lastUpdateText = string(currencyupdate::kNeverUpdated);
    }
    const int32_t syncAuto = store ? store->getInt(settings::kSettings, settings::kSyncAuto, settings::kSyncAutoDefault)
                                   : settings::kSyncAutoDefault;
    if (auto* box = control<QCheckBox>(currencyupdate::kAutomaticUpdateBox)) {
        box->setChecked(syncAuto != 0);
    }
    m_sourcesText = sourcesText();
}

QString CCurrenciesUpdateDlg::sourcesText() const
{
    const SettingsStore* store = services().settings;
    const std::optional<QString> server = store ? updateServerBase(*store) : std::nullopt;
    if (!server || !server->isEmpty()) {
        return {};
    }
    struct Source
    {
        int format;
        const QString& date;
        const QString& outcome;
    };
    const Source sources[] = {
        {currencyupdate::kBankRatesFormat, settings::kBankRatesDate, settings::kBankRatesOutcome},
        {currencyupdate::kOpenRatesFormat, settings::kOpenRatesDate, settings::kOpenRatesOutcome},
    };
    QStringList lines;
    for (const Source& source : sources) {
        const QDate day = storedDate(store->getString(settings::kSettings, source.date));
        QString line = fillPlaceholders(
            string(source.format),
            {{currencyupdate::kDateMarker,
              day.isValid() ? QLocale().toString(day, QLocale::ShortFormat) : string(currencyupdate::kNoRatesYet)}},
            PercentPairs::AsWritten, LaterPlaces::AsWritten);
        const int32_t outcome =
            store->getInt(settings::kSettings, source.outcome, static_cast<int32_t>(SourceOutcome::Used));
        if (outcome == static_cast<int32_t>(SourceOutcome::Failed)) {
            line += string(currencyupdate::kSourceFailed);
        } else if (outcome == static_cast<int32_t>(SourceOutcome::Stale)) {
            line += string(currencyupdate::kSourceStale);
        }
        lines += line;
    }
    return lines.join(QLatin1Char('\n'));
}

int CCurrenciesUpdateDlg::downloadedMessage() const
{
    const SettingsStore* store = services().settings;
    // Only a download of both sources records their outcomes.
    if (store == nullptr || sourcesText().isEmpty()) {
        return currencyupdate::kDownloadSucceeded;
    }
    const auto used = static_cast<int32_t>(SourceOutcome::Used);
    if (store->getInt(settings::kSettings, settings::kBankRatesOutcome, used) != used) {
        return currencyupdate::kBankPartFailed;
    }
    if (store->getInt(settings::kSettings, settings::kOpenRatesOutcome, used) != used) {
        return currencyupdate::kOpenPartFailed;
    }
    return currencyupdate::kDownloadSucceeded;
}

void CCurrenciesUpdateDlg::afterRelayout()
{
    if (auto* label = control<QLabel>(currencyupdate::kLastUpdateLabel)) {
        label->setText(m_lastUpdateText);
    }
    if (auto* label = control<QLabel>(currencyupdate::kSourcesLabel)) {
        label->setText(m_sourcesText);
    }
}

void CCurrenciesUpdateDlg::downloadNow()
{
    SettingsStore* store = services().settings;
    const int failedWritesBefore = store ? store->failedWrites() : 0;
    bool succeeded = false;
    {
        WaitCursor wait;
        succeeded = m_download && m_download();
        if (succeeded) {
            const int64_t now = m_clock.now();
            if (services().settings) {
                tellIfNotSaved(storeLastCurrencyUpdate(*services().settings, now));
            }
            m_lastUpdateText = lastUpdateText(string(currencyupdate::kLastUpdateFormat), now);
            m_sourcesText = sourcesText();
            afterRelayout();
        }
    }
    if (succeeded) {
        const int message = downloadedMessage();
        showMessage(message, message == currencyupdate::kDownloadSucceeded ? MessageIcon::Information
                                                                           : MessageIcon::Exclamation);
    } else if (store && store->failedWrites() != failedWritesBefore) {
        // The rates came but could not be stored: the network is not to blame, the disk is. Told even
        // when a failed save was told before, since this is the answer to the person's own request.
        showMessageText(saveFailureMessage(resources(), store->folder(), store->lastWriteError()), MessageIcon::Error);
    } else {
        showMessage(currencyupdate::kDownloadFailed, MessageIcon::Error);
    }
}

void CCurrenciesUpdateDlg::onOk()
{
    SettingsStore* store = services().settings;
    const auto* box = control<QCheckBox>(currencyupdate::kAutomaticUpdateBox);
    if (store && box) {
        const int32_t cable = store->getInt(settings::kSettings, settings::kSyncAuto, settings::kSyncAutoDefault);
        const bool ticked = box->isChecked();
        if (ticked && cable == 0) {
            switchOn();
        } else if (!ticked && cable != 0) {
            switchOff(cable);
        } else if (!ticked) {
            // A network function registration can outlive a refused cable registration; with the
            // box showing cleared, OK must not leave it firing.
            cancelNetworkFunction();
        }
    }
    QuantaroDialog::onOk();
}

void CCurrenciesUpdateDlg::switchOn()
{
    SettingsStore& store = *services().settings;
    // A network function registration left from an earlier half-refused switch-on would lose its
    // handle when the new one is stored, and could then never be cancelled.
    cancelNetworkFunction();
    const int64_t now = m_clock.now();
    const QDateTime nowUtc = QDateTime::fromSecsSinceEpoch(now, Qt::UTC);
    const QDateTime start = QDateTime::fromSecsSinceEpoch(now - currencyupdate::kRegistrationLeadSeconds, Qt::UTC);
    // addYears keeps month, day and time; 29 February becomes the 28th when the target year has none.
    const QDateTime end = nowUtc.addYears(currencyupdate::kRegistrationYears);
    const int32_t cable = m_notifications.registerApplication(notification::kCableConnectionEvent, m_application,
                                                              kConnectionRunWord, start, end);
    if (cable != notification::kNoHandle) {
        tellIfNotSaved(store.putInt(settings::kSettings, settings::kSyncAuto, cable));
    }
    const int32_t network = m_notifications.registerApplication(notification::kNetworkFunctionEvent, m_application,
                                                                kConnectionRunWord, start, end);
    if (network != notification::kNoHandle) {
        tellIfNotSaved(store.putInt(settings::kSettings, settings::kSyncAutoRndis, network));
    }
}

void CCurrenciesUpdateDlg::switchOff(int32_t cableHandle)
{
    SettingsStore& store = *services().settings;
    m_notifications.cancel(cableHandle);
    const int32_t network = store.getInt(settings::kSettings, settings::kSyncAutoRndis, settings::kSyncAutoDefault);
    if (network != notification::kNoHandle) {
        m_notifications.cancel(network);
    }
    SettingsChanges changes;
    changes.putInt(settings::kSettings, settings::kSyncAuto, 0);
    changes.putInt(settings::kSettings, settings::kSyncAutoRndis, 0);
    tellIfNotSaved(store.write(changes));
}

void CCurrenciesUpdateDlg::cancelNetworkFunction()
{
    SettingsStore& store = *services().settings;
    const int32_t network = store.getInt(settings::kSettings, settings::kSyncAutoRndis, settings::kSyncAutoDefault);
    if (network != 0) {
        m_notifications.cancel(network);
        tellIfNotSaved(store.putInt(settings::kSettings, settings::kSyncAutoRndis, 0));
    }
}

} // namespace quantaro
