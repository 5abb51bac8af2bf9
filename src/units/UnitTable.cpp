#include "units/UnitTable.h"

#include "server/Report.h"
#include "server/Trace.h"
#include "units/SilentTime.h"
#include "units/UnitFile.h"

#include <algorithm>

UnitTable::UnitTable(std::string filePath, ServerListener& trace,
                     std::function<Clock::time_point()> now)
    : m_filePath(std::move(filePath)),
      m_trace(trace),
      m_now(std::move(now)),
      m_silentSeconds(kDefaultSilentSeconds) {}

void UnitTable::Restore() {
    std::vector<UnitRow> rows = ReadUnitFile(m_filePath);
    {
        std::lock_guard lock(m_mutex);
        for (UnitRow& row : rows) m_units[row.address].row = std::move(row);
        ++m_generation;
    }
    TellChanged();
}

bool UnitTable::Save() {
    std::lock_guard saving(m_saveMutex);
    std::vector<UnitRow> rows;
    {
        std::lock_guard lock(m_mutex);
        if (!m_dirty) return true;
        m_dirty = false;
        rows = RowsHeld();
    }
    if (WriteUnitFile(m_filePath, rows)) return true;
    Trace(m_trace, "units file write error\r\n");
    std::lock_guard lock(m_mutex);
    m_dirty = true;
    m_saveDue = m_now() + kSaveInterval;
    return false;
}

void UnitTable::Clear() {
    {
        std::lock_guard lock(m_mutex);
        m_units.clear();
        m_reporting.clear();
        m_toTell.clear();
        m_silentCount = 0;
        Changed();
    }
    TellChanged();
    Save();
}

void UnitTable::SetSilentSeconds(int seconds) {
    {
        std::lock_guard lock(m_mutex);
        if (seconds == m_silentSeconds) return;
        m_silentSeconds = seconds;
        Remark(m_now());
    }
    TellChanged();
}

int UnitTable::SilentSeconds() const {
    std::lock_guard lock(m_mutex);
    return m_silentSeconds;
}

std::vector<UnitRow> UnitTable::Rows() const {
    std::lock_guard lock(m_mutex);
    return RowsHeld();
}

std::vector<UnitRow> UnitTable::RowsHeld() const {
    std::vector<UnitRow> rows;
    rows.reserve(m_units.size());
    for (const auto& [address, unit] : m_units) rows.push_back(unit.row);
    return rows;
}

void UnitTable::OnReport(const Report& report) {
    const Clock::time_point now = m_now();
    {
        std::lock_guard lock(m_mutex);
        Unit& unit = m_units[report.unitAddress];
        unit.row.state = report.state;
        unit.row.time = report.time;
        ++unit.row.count;
        unit.lastSeen = now;
        if (unit.row.status == UnitStatus::kReporting) {
            m_reporting.splice(m_reporting.end(), m_reporting, unit.place);
        } else {
            // A new row has no address yet.
            unit.row.address = report.unitAddress;
            StartReporting(unit);
        }
        Changed();
    }
    TellChanged();
}

void UnitTable::OnIdle() {
    const Clock::time_point now = m_now();
    std::vector<Announcement> announcements;
    bool changed;
    bool saveDue;
    {
        std::lock_guard lock(m_mutex);
        const uint64_t generation = m_generation;
        MarkOverdue(now);
        changed = generation != m_generation;
        announcements = TakeAnnouncements();
        saveDue = m_dirty && now >= m_saveDue;
    }
    if (changed) TellChanged();
    Announce(announcements);
    if (saveDue) Save();
}

void UnitTable::OnStopped() {
    Save();
}

std::optional<UnitTable::Clock::time_point> UnitTable::WakeAt() {
    std::lock_guard lock(m_mutex);
    std::optional<Clock::time_point> at;
    if (m_silentSeconds > 0 && !m_reporting.empty()) {
        at = m_reporting.front()->lastSeen + std::chrono::seconds(m_silentSeconds);
    }
    if (m_dirty) at = std::min(at.value_or(m_saveDue), m_saveDue);
    return at;
}

void UnitTable::StartReporting(Unit& unit) {
    if (unit.row.status == UnitStatus::kSilent) --m_silentCount;
    unit.row.status = UnitStatus::kReporting;
    // Reports come in time order, and Remark adds in that order: the list stays oldest first.
    unit.place = m_reporting.insert(m_reporting.end(), &unit);
    m_toTell.insert(unit.row.address);
}

void UnitTable::MarkSilent(Unit& unit) {
    m_reporting.erase(unit.place);
    unit.row.status = UnitStatus::kSilent;
    ++m_silentCount;
    m_toTell.insert(unit.row.address);
}

void UnitTable::MarkOverdue(Clock::time_point now) {
    if (m_silentSeconds == 0) return;
    const auto silence = std::chrono::seconds(m_silentSeconds);
    while (!m_reporting.empty() && m_reporting.front()->lastSeen + silence <= now) {
        MarkSilent(*m_reporting.front());
        Changed();
    }
}

// Every unit heard since the start, marked again for a new silent time.
void UnitTable::Remark(Clock::time_point now) {
    std::vector<Unit*> heard;
    for (auto& [address, unit] : m_units) {
        if (unit.row.status != UnitStatus::kPrevious) heard.push_back(&unit);
    }
    std::ranges::sort(heard, {}, &Unit::lastSeen);
    m_reporting.clear();
    for (Unit* unit : heard) {
        // Out of the list already: StartReporting puts it back in its turn.
        if (unit->row.status == UnitStatus::kReporting) unit->row.status = UnitStatus::kPrevious;
        StartReporting(*unit);
    }
    MarkOverdue(now);
    Changed();
}

void UnitTable::Changed() {
    ++m_generation;
    if (!m_dirty) m_saveDue = m_now() + kSaveInterval;
    m_dirty = true;
}

std::vector<UnitTable::Announcement> UnitTable::TakeAnnouncements() {
    std::vector<Announcement> announcements;
    for (const std::string& address : m_toTell) {
        auto found = m_units.find(address);
        if (found == m_units.end()) continue;
        Unit& unit = found->second;
        const bool silent = unit.row.status == UnitStatus::kSilent;
        const Told now = silent ? Told::kSilent : Told::kReporting;
        if (now == unit.told) continue;
        announcements.push_back({address, silent, unit.told == Told::kSilent});
        unit.told = now;
    }
    m_toTell.clear();
    return announcements;
}

// Only what has to do with silence is traced: every report has its own lines already.
void UnitTable::Announce(const std::vector<Announcement>& announcements) {
    for (const Announcement& announcement : announcements) {
        if (announcement.silent) {
            Trace(m_trace, "unit silent: %s\r\n", announcement.address.c_str());
        } else if (announcement.wasSilent) {
            Trace(m_trace, "unit back: %s\r\n", announcement.address.c_str());
        }
        for (UnitTableListener* listener : m_listeners) {
            if (announcement.silent) {
                listener->OnUnitSilent(announcement.address);
            } else {
                listener->OnUnitReporting(announcement.address);
            }
        }
    }
}

void UnitTable::TellChanged() {
    for (UnitTableListener* listener : m_listeners) listener->OnUnitsChanged();
}
