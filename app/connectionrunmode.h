#pragma once

#include <cstdint>
#include <functional>

namespace quantaro {

class Clock;
class PeerProbe;
class SettingsStore;

/** Timing of the connection run mode. */
namespace connection {
inline constexpr int64_t kMinimumUpdateAgeSeconds = 28800;
inline constexpr int kFirstPauseMs = 500;
inline constexpr int64_t kPeerWaitSeconds = 180;
inline constexpr int kPeerKeyPauseMs = 500;
inline constexpr int kTurnEndPauseMs = 1000;
inline constexpr int kBeforeDownloadPauseMs = 3000;
inline constexpr int64_t kDownloadRetrySeconds = 180;
inline constexpr int64_t kRetryPauseSeconds = 2;
inline constexpr int kRetryTurnMs = 1000;
} // namespace connection

/** How a connection run ended. */
enum class ConnectionOutcome
{
    TooRecent,  ///< the last update is younger than eight hours: nothing done
    NoPeer,     ///< no peer address appeared before the peer deadline: no download tried
    Downloaded, ///< a download succeeded
    GaveUp,     ///< every download failed until the download deadline
    Stopped,    ///< the program was asked to end (a signal) before the run was over
};

struct ConnectionRunResult
{
    ConnectionOutcome outcome = ConnectionOutcome::TooRecent;
    int attempts = 0;
};

/** Reads the time of the last successful rate download; 0 when it is absent or not 8 bytes. */
int64_t lastCurrencyUpdate(const SettingsStore& settings);

/**
 * The windowless run mode that the platform starts when the device connects: waits for a network
 * peer, then downloads the exchange rates until that succeeds or the deadline passes. Silent in
 * every failure; it shows nothing and needs no language module.
 */
class ConnectionRunMode
{
public:
    ConnectionRunMode(const SettingsStore& settings, Clock& clock, PeerProbe& peers, std::function<bool()> download);

    ConnectionRunResult run();

    /** Asked between the run's steps: once it answers true the run ends before its next step. A
     *  download already started is finished, so its rates are stored whole or not at all. */
    void setStopRequest(std::function<bool()> stopRequested);

private:
    bool waitForPeer();
    bool stopRequested() const;

    const SettingsStore& m_settings;
    Clock& m_clock;
    PeerProbe& m_peers;
    std::function<bool()> m_download;
    std::function<bool()> m_stopRequested;
};

} // namespace quantaro
