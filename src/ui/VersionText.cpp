#include "ui/VersionText.h"

#include <cstdio>

std::string FormatVersionText(const uint16_t (*version)[4]) {
    if (version == nullptr) return "Version ?";
    const uint16_t* part = *version;
    char text[64];
    if (part[3] != 0) {
        std::snprintf(text, sizeof text, "Version %d.%d%d%d", part[0], part[1], part[2], part[3]);
    } else {
        std::snprintf(text, sizeof text, "Version %d.%d%d", part[0], part[1], part[2]);
    }
    return text;
}
