#include "support/ConnectedAddresses.h"

#include "platform/Winsock.h"

#include <winsock2.h>
#include <ws2tcpip.h>
// Needs the two above before it.
#include <iphlpapi.h>

std::vector<std::string> ConnectedAddresses() {
    ULONG size = 1 << 16;
    std::vector<unsigned char> buffer(size);
    auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
    if (::GetAdaptersAddresses(AF_INET, 0, nullptr, adapter, &size) != NO_ERROR) return {};
    std::vector<std::string> addresses;
    for (; adapter != nullptr; adapter = adapter->Next) {
        if (adapter->OperStatus != IfOperStatusUp || adapter->PhysicalAddressLength == 0) continue;
        for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
            const auto* address = reinterpret_cast<const sockaddr_in*>(unicast->Address.lpSockaddr);
            addresses.push_back(wsock::inet_ntoa(address->sin_addr.s_addr));
        }
    }
    return addresses;
}
