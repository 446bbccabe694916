#include "platform/peerprobe.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace quantaro {

// QUANTARO_PEER=present or absent decides the answer for every key, so the connection run mode can
// be tried on a machine whose only interface is loopback (or kept offline on a connected one).
std::optional<bool> parsePeerOverride(const QByteArray& value)
{
    const QByteArray word = value.trimmed().toLower();
    if (word == "present") {
        return true;
    }
    if (word == "absent") {
        return false;
    }
    return std::nullopt;
}

bool peerAmong(const std::vector<InterfaceRecord>& interfaces, PeerKey key)
{
    for (const InterfaceRecord& record : interfaces) {
        if (!record.hasInetAddress || !record.up || !record.running || record.loopback) {
            continue;
        }
        if (record.pointToPoint == (key == PeerKey::PointToPoint)) {
            return true;
        }
    }
    return false;
}

bool LinuxPeerProbe::peerAddressKnown(PeerKey key)
{
    if (m_forced) {
        return *m_forced;
    }
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return false;
    }
    std::vector<InterfaceRecord> interfaces;
    for (ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        const unsigned flags = entry->ifa_flags;
        const int family = entry->ifa_addr != nullptr ? entry->ifa_addr->sa_family : AF_UNSPEC;
        interfaces.push_back({(flags & IFF_UP) != 0, (flags & IFF_RUNNING) != 0, (flags & IFF_LOOPBACK) != 0,
                              (flags & IFF_POINTOPOINT) != 0, family == AF_INET || family == AF_INET6});
    }
    freeifaddrs(list);
    return peerAmong(interfaces, key);
}

} // namespace quantaro
