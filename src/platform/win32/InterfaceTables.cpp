#include "platform/InterfaceTables.h"

#include "platform/win32/WideText.h"

// Before windows.h, which without WIN32_LEAN_AND_MEAN brings the old winsock.h in its place.
#include <iphlpapi.h>
#include <windows.h>
#include <winsock2.h>

#include <memory>

namespace {

// A table IP Helper fills: asked for its size first, asked again while it grows meanwhile.
template <typename Table, typename Read>
std::unique_ptr<Table, decltype(&std::free)> ReadTable(Read read) {
    ULONG size = 0;
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::unique_ptr<Table, decltype(&std::free)> table(
            static_cast<Table*>(std::malloc(size > 0 ? size : 1)), &std::free);
        if (!table) break;
        const DWORD result = read(table.get(), &size);
        if (result == NO_ERROR) return table;
        if (result != ERROR_INSUFFICIENT_BUFFER) break;
    }
    return {nullptr, &std::free};
}

// The description is in the system's code page; the program holds CP932.
std::string DescriptionOf(const MIB_IFROW& row) {
    const std::string_view bytes(reinterpret_cast<const char*>(row.bDescr),
                                 std::min<DWORD>(row.dwDescrLen, MAXLEN_IFDESCR));
    const std::string_view text = bytes.substr(0, bytes.find('\0'));
    const int length = static_cast<int>(text.size());
    std::wstring wideText(text.size(), L'\0');
    const int converted =
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, wideText.data(), length);
    wideText.resize(static_cast<size_t>(std::max(converted, 0)));
    return wide::ToCp932(wideText).value_or(std::string(text));
}

class SystemInterfaceTableSource : public InterfaceTableSource {
public:
    std::optional<std::vector<uint32_t>> GetIfIndexes() const override {
        const auto table = ReadTable<MIB_IFTABLE>(
            [](MIB_IFTABLE* t, ULONG* size) { return ::GetIfTable(t, size, FALSE); });
        if (!table) return std::nullopt;
        std::vector<uint32_t> indexes;
        for (DWORD i = 0; i < table->dwNumEntries; ++i) indexes.push_back(table->table[i].dwIndex);
        return indexes;
    }

    std::optional<InterfaceRow> GetIfEntry(uint32_t index) const override {
        MIB_IFROW row{};
        row.dwIndex = index;
        if (::GetIfEntry(&row) != NO_ERROR) return std::nullopt;
        return InterfaceRow{row.dwIndex, row.dwOperStatus, row.dwPhysAddrLen, row.dwSpeed,
                            DescriptionOf(row)};
    }

    std::optional<std::vector<IpAddrRow>> GetIpAddrTable() const override {
        const auto table = ReadTable<MIB_IPADDRTABLE>(
            [](MIB_IPADDRTABLE* t, ULONG* size) { return ::GetIpAddrTable(t, size, FALSE); });
        if (!table) return std::nullopt;
        std::vector<IpAddrRow> rows;
        for (DWORD i = 0; i < table->dwNumEntries; ++i) {
            const MIB_IPADDRROW& row = table->table[i];
            rows.push_back({row.dwAddr, row.dwIndex, row.dwMask});
        }
        return rows;
    }
};

}  // namespace

const InterfaceTableSource& SystemInterfaceTables() {
    static const SystemInterfaceTableSource system;
    return system;
}
