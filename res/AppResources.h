#pragma once

#include "ui/wnd/AppResources.h"

// The program's name: its executable's, its window's default title and caption, and its
// per-user data folder's.
inline constexpr char kAppName[] = "NR-QD8K";

// What the window layer shows that belongs to the program.
AppResources ProgramResources();
