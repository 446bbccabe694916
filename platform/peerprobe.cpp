#include "platform/peerprobe.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace quantaro {

bool LinuxPeerProbe::peerAddressKnown(PeerKey key)
{
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
