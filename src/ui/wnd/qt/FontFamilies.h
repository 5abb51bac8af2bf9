#pragma once

#include <QFont>

// The Windows face first, then the families drawn to its metrics that Debian ships.
QFont MakeFont(const char* cp932FaceName, double pointSize);
