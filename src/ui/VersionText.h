#pragma once

#include <cstdint>
#include <string>

// "Version 1.02" for the file version 1.0.2.0: the parts behind the point run together, and
// the revision shows only when it is not 0. Without a version: "Version ?".
std::string FormatVersionText(const uint16_t (*version)[4]);
