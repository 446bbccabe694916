#include "platform/peerprobe.h"

#include <QByteArray>
#include <QtGlobal>
#include <optional>

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace quantaro {

namespace {

constexpr char kPeerOverrideVariable[] = "QUANTARO_PEER";

// QUANTARO_PEER=present or absent decides the answer for every key, so the connection run mode can
// be tried on a machine whose only interface is loopback (or kept offline on a connected one).
std::optional<bool> peerOverride()
{
    const QByteArray value = qgetenv(kPeerOverrideVariable).trimmed().toLower();
    if (value == "present") {
        return true;
    }
    if (value == "absent") {
        return false;
    }
    return std::nullopt;
}

} // namespace

bool LinuxPeerProbe::peerAddressKnown(PeerKey key)
{
    if (const std::optional<bool> forced = peerOverride()) {
        return *forced;
    }
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return false;
    }
    bool found = false;
    for (ifaddrs* entry = list; entry != nullptr && !found; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr) {
            continue;
        }
        const int family = entry->ifa_addr->sa_family;
        if (family != AF_INET && family != AF_INET6) {
            continue;
        }
        const unsigned flags = entry->ifa_flags;
        if ((flags & IFF_UP) == 0 || (flags & IFF_RUNNING) == 0 || (flags & IFF_LOOPBACK) != 0) {
            continue;
        }
        const bool pointToPoint = (flags & IFF_POINTOPOINT) != 0;
        found = (key == PeerKey::PointToPoint) ? pointToPoint : !pointToPoint;
    }
    freeifaddrs(list);
    return found;
}

} // namespace quantaro
