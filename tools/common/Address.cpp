#include "Address.h"

namespace nr::tools {

std::optional<Endpoint> ResolveIpv4(const std::string& host, std::uint16_t port,
                                    std::string* error) {
    const std::optional<std::uint32_t> address = LookUpIpv4(host, error);
    if (!address) return std::nullopt;
    return Endpoint{*address, port};
}

Endpoint LoopbackAddress(std::uint16_t port) {
    return {0x7F000001, port};
}

std::string FormatAddress(const Endpoint& address) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        text += std::to_string((address.address >> shift) & 0xFF);
        text += shift > 0 ? "." : ":";
    }
    return text + std::to_string(address.port);
}

}  // namespace nr::tools
