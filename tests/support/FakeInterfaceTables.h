#pragma once

#include "platform/InterfaceTables.h"

#include <array>
#include <bit>
#include <map>
#include <string>
#include <vector>

// Interface and address tables as a test writes them. GetIfEntry fails for an index without a
// row; a table reset to nullopt fails to read.
class FakeInterfaceTables : public InterfaceTableSource {
public:
    std::optional<std::vector<uint32_t>> indexes = std::vector<uint32_t>{};
    std::map<uint32_t, InterfaceRow> rows;
    std::optional<std::vector<IpAddrRow>> addresses = std::vector<IpAddrRow>{};

    std::optional<std::vector<uint32_t>> GetIfIndexes() const override { return indexes; }
    std::optional<InterfaceRow> GetIfEntry(uint32_t index) const override {
        const auto found = rows.find(index);
        if (found == rows.end()) return std::nullopt;
        return found->second;
    }
    std::optional<std::vector<IpAddrRow>> GetIpAddrTable() const override { return addresses; }

    // A wired adapter that the window would list, in the interface table.
    InterfaceRow& AddInterface(uint32_t index, std::string descr) {
        indexes->push_back(index);
        return rows[index] = {index, kIfOperStatusOperational, 6, 100'000'000, std::move(descr)};
    }
    void AddAddress(uint32_t index, uint32_t addr, uint32_t mask = 0) {
        addresses->push_back({addr, index, mask});
    }
};

// Puts tables in the kernel's place for the window while it lives.
class InterfaceTablesInPlace {
public:
    explicit InterfaceTablesInPlace(const InterfaceTableSource& tables) {
        ReplaceInterfaceTables(&tables);
    }
    ~InterfaceTablesInPlace() { ReplaceInterfaceTables(nullptr); }
    InterfaceTablesInPlace(const InterfaceTablesInPlace&) = delete;
    InterfaceTablesInPlace& operator=(const InterfaceTablesInPlace&) = delete;
};

// An IPv4 address in network byte order, whatever the host's.
inline uint32_t Ip(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
    return std::bit_cast<uint32_t>(std::array<uint8_t, 4>{a, b, c, d});
}
