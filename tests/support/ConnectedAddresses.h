#pragma once

#include <string>
#include <vector>

// The dotted IPv4 addresses of this machine's connected interfaces other than loopback, as the
// system lists them through calls the program does not make (getifaddrs; GetAdaptersAddresses).
std::vector<std::string> ConnectedAddresses();
