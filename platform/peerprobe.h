#pragma once

namespace quantaro {

/** The two places where a handheld keeps the address of its network peer. */
enum class PeerKey {
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

/** Looks at the machine's interfaces: a point-to-point interface that is up with an address for
 *  PeerKey::PointToPoint, any other non-loopback interface that is up with an address for
 *  PeerKey::Desktop. */
class LinuxPeerProbe final : public PeerProbe
{
public:
    bool peerAddressKnown(PeerKey key) override;
};

} // namespace quantaro
