#pragma once

#include "server/DiChannels.h"

#include <array>
#include <ctime>
#include <string>
#include <string_view>

// The lines of the CSV event log, each ending in "\n" (written as CR LF). Fields are never
// quoted: spreadsheets in the field read the file as the Windows version writes it.

// The header, with the current signal names of DI1 to DI5 as column titles.
std::string FormatCsvHeader(const std::array<std::string, kDiChannels>& names);

// Whether a line of the log is a header line.
bool IsCsvHeader(std::string_view line);

// One report: local date and time, the unit's address, the five states as 1 or 0.
std::string FormatCsvRow(const std::tm& localTime, std::string_view peerAddress,
                         const bool (&states)[kDiChannels]);
