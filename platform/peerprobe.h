#pragma once

#include <QByteArray>
#include <optional>
#include <vector>

namespace quantaro {

/** The two places where a handheld keeps the address of its network peer. */
enum class PeerKey
{
    PointToPoint, ///< a dial-up or cable peer
    Desktop,      ///< a desktop pass-through or any other link
};

/** Answers whether a network peer address is known, so the connection run mode can tell that the
 *  device is online before it downloads anything. */
class PeerProbe
{
public:
    virtual ~PeerProbe() = default;
    virtual bool peerAddressKnown(PeerKey key) = 0;
};

/** What the probe needs to know of one address of one network interface. */
struct InterfaceRecord
{
    bool up = false;      ///< administratively up
    bool running = false; ///< the link carries traffic
    bool loopback = false;
    bool pointToPoint = false;
    bool hasInetAddress = false; ///< an IPv4 or IPv6 address (not a link-layer one)
};

/** Whether the interfaces show a peer for the key: an interface that is up and running, not
 *  loopback, with an internet address, point-to-point for PeerKey::PointToPoint and any other kind
 *  for PeerKey::Desktop. */
bool peerAmong(const std::vector<InterfaceRecord>& interfaces, PeerKey key);

/** Environment variable that decides the peer probe's answer: "present" or "absent". */
inline constexpr char kPeerOverrideVariable[] = "QUANTARO_PEER";

/** The answer QUANTARO_PEER's value forces ("present" or "absent", in any case, spaces around them
 *  allowed); nothing for anything else. */
std::optional<bool> parsePeerOverride(const QByteArray& value);

/** Looks at the machine's interfaces: a point-to-point interface that is up with an address for
 *  PeerKey::PointToPoint, any other non-loopback interface that is up with an address for
 *  PeerKey::Desktop. A forced answer, chosen at start-up, stands for every key instead. */
class LinuxPeerProbe final : public PeerProbe
{
public:
    explicit LinuxPeerProbe(std::optional<bool> forced = std::nullopt) : m_forced(forced) {}
    bool peerAddressKnown(PeerKey key) override;

private:
    std::optional<bool> m_forced;
};

} // namespace quantaro
