#pragma once

#include <string>

// The name this computer goes by on the network, in CP932; empty when the system gives none.
std::string ComputerName();
