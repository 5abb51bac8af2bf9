#pragma once

#include <string>
#include <vector>

// How often the text holds the part.
size_t Count(const std::string& text, const std::string& part);

// The DI columns of a CSV log's rows from 127.0.0.1, sorted; and those that nr-load's reports 0
// to count - 1 leave (report n sends the state byte n % 256).
std::vector<std::string> LoggedStates(const std::string& csv);
std::vector<std::string> StatesOfLoadReports(int count);
