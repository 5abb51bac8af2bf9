#include "support/ConnectedAddresses.h"

#include "platform/Winsock.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

std::vector<std::string> ConnectedAddresses() {
    ifaddrs* first = nullptr;
    if (::getifaddrs(&first) != 0) return {};
    std::vector<std::string> addresses;
    for (const ifaddrs* it = first; it != nullptr; it = it->ifa_next) {
        // Running is the kernel's "connected"; loopback has no hardware address, and is not listed.
        const bool connected = (it->ifa_flags & IFF_RUNNING) && !(it->ifa_flags & IFF_LOOPBACK);
        if (!connected || it->ifa_addr == nullptr || it->ifa_addr->sa_family != AF_INET) continue;
        const auto* address = reinterpret_cast<const sockaddr_in*>(it->ifa_addr);
        addresses.push_back(wsock::inet_ntoa(address->sin_addr.s_addr));
    }
    ::freeifaddrs(first);
    return addresses;
}
