#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Operational states, numbered as IP Helper numbers them.
inline constexpr uint32_t kIfOperStatusNonOperational = 0;
inline constexpr uint32_t kIfOperStatusUnreachable = 1;
inline constexpr uint32_t kIfOperStatusDisconnected = 2;
inline constexpr uint32_t kIfOperStatusConnecting = 3;
inline constexpr uint32_t kIfOperStatusConnected = 4;
inline constexpr uint32_t kIfOperStatusOperational = 5;

// One interface, as GetIfEntry reports it.
struct InterfaceRow {
    uint32_t dwIndex = 0;
    uint32_t dwOperStatus = kIfOperStatusNonOperational;
    uint32_t dwPhysAddrLen = 0;  // 0: loopback, or no hardware address
    uint32_t dwSpeed = 0;        // bits per second; 0 when unknown, saturated at 0xFFFFFFFF
    std::string bDescr;          // the interface name
};

// One IPv4 address, as GetIpAddrTable reports it.
struct IpAddrRow {
    uint32_t dwAddr = 0;  // network byte order
    uint32_t dwIndex = 0;
    uint32_t dwMask = 0;  // network byte order
};

// The machine's interface and address tables. Every read may fail (nullopt); a failed read
// says nothing about the other tables.
class InterfaceTableSource {
public:
    virtual ~InterfaceTableSource() = default;
    // Indexes of the interface table's rows, in the table's order. They need not be 1..N:
    // indexes stay sparse once interfaces have come and gone.
    virtual std::optional<std::vector<uint32_t>> GetIfIndexes() const = 0;
    // Fails for an index no interface has (any more).
    virtual std::optional<InterfaceRow> GetIfEntry(uint32_t index) const = 0;
    // The IPv4 addresses in the system's order, unsorted.
    virtual std::optional<std::vector<IpAddrRow>> GetIpAddrTable() const = 0;
};

// The system's own tables, read afresh on every call: the kernel's on Linux, IP Helper's on
// Windows.
const InterfaceTableSource& SystemInterfaceTables();
// The tables the window reads: the system's, read afresh on every call, unless a test has put
// others in their place (nullptr puts the system's back).
const InterfaceTableSource& CurrentInterfaceTables();
void ReplaceInterfaceTables(const InterfaceTableSource* source);
