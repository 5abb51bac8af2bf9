#pragma once

#include "units/UnitRow.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The small file the unit table is kept in between starts: one line per unit,
// "address,time,state,count", the time in seconds since 1970 (UTC, so that a change of time
// zone moves nothing), the state byte in decimal. A line that does not read so is passed over.

std::string FormatUnitFile(const std::vector<UnitRow>& rows);
std::optional<UnitRow> ParseUnitLine(std::string_view line);

// The rows of the file, each marked as from before this start; none when there is no file.
std::vector<UnitRow> ReadUnitFile(const std::string& path);
// Replaces the file whole, or leaves it as it was: false then.
bool WriteUnitFile(const std::string& path, const std::vector<UnitRow>& rows);

// The address as a number that sorts as addresses do; nullopt for anything but dotted IPv4.
std::optional<uint32_t> ParseIpv4(std::string_view text);
