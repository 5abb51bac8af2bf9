#include "platform/Winsock.h"

#include <cstdio>

namespace wsock {

std::string inet_ntoa(uint32_t address) {
    // Network byte order: the first byte in memory is the first number.
    const auto* bytes = reinterpret_cast<const unsigned char*>(&address);
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
    return text;
}

}  // namespace wsock
