#pragma once

#include "platform/InterfaceTables.h"

#include <cstdint>

// One entry of the adapter table, as the window record holds 256 of them.
struct AdapterEntry {
    char szDescr[256];  // NUL-terminated, at most 255 bytes of text
    uint32_t dwAddr;    // IPv4 address, network byte order
    uint32_t dwMask;    // subnet mask, network byte order
};

inline constexpr int kMaxAdapters = 256;

// Fills table[0..result-1] with the machine's IPv4 addresses that belong to connected
// interfaces with a hardware address, in the address table's order (entry 0 is the address the
// window shows); returns the number of entries. Failures only leave entries out.
int EnumerateAdapterTable(const InterfaceTableSource& source, AdapterEntry (&table)[kMaxAdapters]);
