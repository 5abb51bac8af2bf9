#pragma once

#include "Net.h"

#include <cstdint>
#include <optional>
#include <string>

namespace nr::tools {

// The units speak IPv4 only. A host is a dotted address or a name; on failure *error says why.
std::optional<Endpoint> ResolveIpv4(const std::string& host, std::uint16_t port,
                                    std::string* error);
Endpoint LoopbackAddress(std::uint16_t port);
// "127.0.0.1:10003"
std::string FormatAddress(const Endpoint& address);

}  // namespace nr::tools
