#include "app/connectionrunmode.h"

#include "app/settingsstore.h"
#include "platform/clock.h"
#include "platform/peerprobe.h"

#include <QtEndian>
#include <limits>

namespace quantaro {

namespace {
constexpr int kTimeStampBytes = 8;
} // namespace

int64_t lastCurrencyUpdate(const SettingsStore& settings)
{
    const std::optional<QByteArray> bytes = settings.getBinary(settings::kSettings, settings::kLastCurrencyUpdate);
    if (!bytes || bytes->size() != kTimeStampBytes) {
        return 0;
    }
    return qFromLittleEndian<qint64>(bytes->constData());
}

ConnectionRunMode::ConnectionRunMode(const SettingsStore& settings, Clock& clock, PeerProbe& peers,
                                     std::function<bool()> download)
    : m_settings(settings), m_clock(clock), m_peers(peers), m_download(std::move(download))
{
}

void ConnectionRunMode::setStopRequest(std::function<bool()> stopRequested)
{
    m_stopRequested = std::move(stopRequested);
}

bool ConnectionRunMode::stopRequested() const
{
    return m_stopRequested && m_stopRequested();
}

ConnectionRunResult ConnectionRunMode::run()
{
    ConnectionRunResult result;
    const int64_t last = lastCurrencyUpdate(m_settings);
    // A time stamp so far in the future that adding the age would overflow is simply "too recent".
    if (last > std::numeric_limits<int64_t>::max() - connection::kMinimumUpdateAgeSeconds ||
        m_clock.now() < last + connection::kMinimumUpdateAgeSeconds) {
        result.outcome = ConnectionOutcome::TooRecent;
        return result;
    }

    m_clock.sleepMs(connection::kFirstPauseMs);
    if (!waitForPeer()) {
        result.outcome = stopRequested() ? ConnectionOutcome::Stopped : ConnectionOutcome::NoPeer;
        return result;
    }

    m_clock.sleepMs(connection::kBeforeDownloadPauseMs);
    const int64_t deadline = m_clock.now() + connection::kDownloadRetrySeconds;
    for (;;) {
        if (stopRequested()) {
            result.outcome = ConnectionOutcome::Stopped;
            return result;
        }
        ++result.attempts;
        if (m_download && m_download()) {
            result.outcome = ConnectionOutcome::Downloaded;
            return result;
        }
        if (m_clock.now() >= deadline) {
            result.outcome = ConnectionOutcome::GaveUp;
            return result;
        }
        const int64_t pauseEnd = m_clock.now() + connection::kRetryPauseSeconds;
        while (m_clock.now() < pauseEnd && !stopRequested()) {
            m_clock.pumpOneMessage();
            m_clock.sleepMs(connection::kRetryTurnMs);
        }
    }
}

bool ConnectionRunMode::waitForPeer()
{
    const int64_t deadline = m_clock.now() + connection::kPeerWaitSeconds;
    bool seen = false;
    for (;;) {
        if (m_clock.now() >= deadline || stopRequested()) {
            return false;
        }
        seen = m_peers.peerAddressKnown(PeerKey::PointToPoint) || seen;
        m_clock.sleepMs(connection::kPeerKeyPauseMs);
        seen = m_peers.peerAddressKnown(PeerKey::Desktop) || seen;
        m_clock.sleepMs(connection::kPeerKeyPauseMs);
        m_clock.pumpOneMessage();
        m_clock.sleepMs(connection::kTurnEndPauseMs);
        if (seen) {
            return true;
        }
    }
}

} // namespace quantaro
