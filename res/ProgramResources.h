#pragma once

#include "ui/wnd/AppResources.h"

// What the window layer shows that belongs to the program.
AppResources ProgramResources();
