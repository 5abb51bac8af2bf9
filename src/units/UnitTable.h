#pragma once

#include "server/ServerListener.h"
#include "units/UnitRow.h"
#include "units/UnitTableListener.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <list>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

// Every unit address that reported: its last state, time and count, and whether it has gone
// silent. A report costs one map update under a lock; silence is found when the worker wakes,
// at the time the oldest report turns silent. The rows are kept in a file, written now and
// then, at a stop and when asked, never per report, and read back at the next start.
class UnitTable : public ServerListener {
public:
    using Clock = std::chrono::steady_clock;
    // How long changed rows may wait before they are written.
    static constexpr auto kSaveInterval = std::chrono::minutes(1);

    // The file is a full path; traces go to trace. Tests replace the clock.
    UnitTable(std::string filePath, ServerListener& trace,
              std::function<Clock::time_point()> now = Clock::now);
    UnitTable(const UnitTable&) = delete;
    UnitTable& operator=(const UnitTable&) = delete;

    // Before the worker starts.
    void AddListener(UnitTableListener& listener) { m_listeners.push_back(&listener); }
    // Before the worker starts: the rows of the file, marked as from before this start.
    void Restore();
    // Any thread. Writes the rows if they changed since they were last written; false when
    // the file could not be written.
    bool Save();
    // Any thread: no rows, and none in the file.
    void Clear();
    // Any thread. Rows are marked again at once; the worker tells its listeners when it next
    // wakes, so wake it.
    void SetSilentSeconds(int seconds);
    int SilentSeconds() const;

    // Any thread.
    std::vector<UnitRow> Rows() const;
    // Changes whenever a row does.
    uint64_t Generation() const { return m_generation; }
    int SilentCount() const { return m_silentCount; }

    void OnReport(const Report& report) override;
    void OnIdle() override;
    void OnStopped() override;
    std::optional<Clock::time_point> WakeAt() override;

private:
    // What the listeners were last told of a unit.
    enum class Told { kNothing, kReporting, kSilent };
    struct Unit {
        UnitRow row;
        Clock::time_point lastSeen{};      // this start's last report
        std::list<Unit*>::iterator place;  // in m_reporting while it reports
        Told told = Told::kNothing;
    };
    struct Announcement {
        std::string address;
        bool silent;
        bool wasSilent;
    };

    // All under m_mutex.
    std::vector<UnitRow> RowsHeld() const;
    void StartReporting(Unit& unit);
    void MarkSilent(Unit& unit);
    void MarkOverdue(Clock::time_point now);
    void Remark(Clock::time_point now);
    void Changed();
    std::vector<Announcement> TakeAnnouncements();

    void Announce(const std::vector<Announcement>& announcements);
    void TellChanged();

    const std::string m_filePath;
    ServerListener& m_trace;
    const std::function<Clock::time_point()> m_now;
    std::vector<UnitTableListener*> m_listeners;

    mutable std::mutex m_mutex;
    std::map<std::string, Unit> m_units;
    std::list<Unit*> m_reporting;    // oldest report first
    std::set<std::string> m_toTell;  // addresses whose marking may have changed
    int m_silentSeconds;
    bool m_dirty = false;  // rows changed since they were last written
    Clock::time_point m_saveDue{};

    std::atomic<uint64_t> m_generation{0};
    std::atomic<int> m_silentCount{0};
    // A save is whole: of two at once, the later snapshot is the one that stays.
    std::mutex m_saveMutex;
};
