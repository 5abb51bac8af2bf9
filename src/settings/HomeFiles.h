#pragma once

#include <string>

// The program's name: its executable's, its per-user folder's, its window's default title.
inline constexpr char kAppName[] = "NR-QD8K";

// What the program keeps in its home folder, and the port it starts with.
inline constexpr char kLogFileName[] = "NR-QD8K.csv";
inline constexpr char kPointerFileName[] = "NR-QD8K.ini";
inline constexpr char kSettingsFileName[] = "NR-QD8K.qd";
// The log's rows that wait while its file is held; named so that no spreadsheet opens it.
inline constexpr char kWaitingRowsFileName[] = "NR-QD8K.waiting";
// Every unit seen, kept between starts.
inline constexpr char kUnitsFileName[] = "NR-QD8K.units";
inline constexpr char kDefaultPortText[] = "10003";

struct HomeFolder;

// Why the program cannot keep its files in the home folder found, as the operator is told.
std::string HomeFolderRefusal(const HomeFolder& home);
