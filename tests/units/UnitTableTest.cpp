#include "server/Report.h"
#include "support/ServingCore.h"
#include "support/SystemFiles.h"
#include "support/UnitClient.h"
#include "support/Waiting.h"
#include "units/UnitFile.h"
#include "units/UnitTable.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using Clock = UnitTable::Clock;
using std::chrono::seconds;
using enum UnitStatus;

// What the table tells, in order: "+a" a unit reporting, "-a" a unit silent.
struct Told : UnitTableListener {
    void OnUnitReporting(const std::string& address) override { events.push_back("+" + address); }
    void OnUnitSilent(const std::string& address) override { events.push_back("-" + address); }
    Texts Take() { return std::exchange(events, {}); }
    Texts events;
};

// The table on a clock the test moves, its file in a temporary folder.
class UnitTableTest : public testing::Test, public ServerListener {
protected:
    UnitTableTest() { Reopen(); }

    void Reopen() {
        table = std::make_unique<UnitTable>(File(), *this, [this] { return now; });
        table->AddListener(told);
    }
    std::string File() const { return folder.File("NR-QD8K.units"); }
    void ReportFrom(const std::string& address, uint8_t state, std::time_t time = 1000) {
        table->OnReport(Report{address, 1, state, time});
    }
    UnitRow Row(const std::string& address) {
        for (const UnitRow& row : table->Rows())
            if (row.address == address) return row;
        return {};
    }
    void OnTrace(std::string_view text) override { trace += text; }

    TempFolder folder;
    Clock::time_point start = Clock::now();
    Clock::time_point now = start;
    Told told;
    std::string trace;
    std::unique_ptr<UnitTable> table;
};

// Each address keeps its last state and time and counts its reports; nothing is written per
// report, only when the save interval has passed and the worker is idle, or at a stop.
TEST_F(UnitTableTest, KeepsEachUnitsLastReportAndWritesItNowAndThen) {
    ReportFrom("127.0.0.2", 0x01, 1000);
    ReportFrom("127.0.0.10", 0x1F, 1001);
    ReportFrom("127.0.0.2", 0x15, 1002);
    EXPECT_EQ(Row("127.0.0.2"), (UnitRow{"127.0.0.2", 0x15, 1002, 2, kReporting}));
    EXPECT_EQ(Row("127.0.0.10"), (UnitRow{"127.0.0.10", 0x1F, 1001, 1, kReporting}));
    table->OnIdle();
    EXPECT_EQ(told.Take(), (Texts{"+127.0.0.10", "+127.0.0.2"}));
    EXPECT_FALSE(FileExists(File()));
    ASSERT_TRUE(table->WakeAt());
    EXPECT_EQ(*table->WakeAt(), start + UnitTable::kSaveInterval);
    now = *table->WakeAt();
    table->OnIdle();
    EXPECT_EQ(ReadFileBytes(File()), "127.0.0.10,1001,31,1\r\n127.0.0.2,1002,21,2\r\n");
    EXPECT_EQ(table->WakeAt(), std::nullopt);
    ReportFrom("127.0.0.2", 0x00, 1003);
    table->OnStopped();
    EXPECT_EQ(ReadFileBytes(File()), "127.0.0.10,1001,31,1\r\n127.0.0.2,1003,0,3\r\n");
}

// A unit quiet for the silent time is marked when the worker wakes at that time, and comes back
// with its next report; the listeners hear each change once, from the worker, and the trace
// names it. A new silent time marks the units heard since the start again; 0 marks none.
TEST_F(UnitTableTest, MarksUnitsQuietForTheSilentTime) {
    table->SetSilentSeconds(10);
    ReportFrom("127.0.0.2", 1);
    now += seconds(4);
    ReportFrom("127.0.0.3", 1);
    table->OnIdle();
    told.Take();
    EXPECT_EQ(table->WakeAt(), start + seconds(10));
    now = start + seconds(10);
    table->OnIdle();
    EXPECT_EQ(Row("127.0.0.2").status, kSilent);
    EXPECT_EQ(Row("127.0.0.3").status, kReporting);
    EXPECT_EQ(table->SilentCount(), 1);
    EXPECT_EQ(told.Take(), Texts{"-127.0.0.2"});
    EXPECT_EQ(table->WakeAt(), start + seconds(14));

    now += seconds(1);
    ReportFrom("127.0.0.2", 1);
    EXPECT_EQ(table->SilentCount(), 0);
    table->OnIdle();
    EXPECT_EQ(told.Take(), Texts{"+127.0.0.2"});
    EXPECT_EQ(trace, "unit silent: 127.0.0.2\r\nunit back: 127.0.0.2\r\n");

    now += seconds(5);  // .3 quiet for 12 s, .2 for 5 s
    table->SetSilentSeconds(6);
    EXPECT_EQ(Row("127.0.0.3").status, kSilent);
    EXPECT_EQ(Row("127.0.0.2").status, kReporting);
    EXPECT_EQ(told.Take(), Texts{});
    table->OnIdle();
    EXPECT_EQ(told.Take(), Texts{"-127.0.0.3"});
    EXPECT_EQ(table->WakeAt(), start + seconds(17));
    table->SetSilentSeconds(0);
    EXPECT_EQ(table->SilentCount(), 0);
    table->OnIdle();
    EXPECT_EQ(told.Take(), Texts{"+127.0.0.3"});
}

// The next start brings every row back, marked as from before it, until its unit reports; such a
// row never turns silent, and its count goes on. A clear empties the table and its file.
TEST_F(UnitTableTest, RowsComeBackMarkedAfterARestartUntilTheyReport) {
    ReportFrom("127.0.0.2", 0x03, 1000);
    ReportFrom("127.0.0.3", 0x04, 1001);
    table->OnStopped();
    Reopen();
    table->SetSilentSeconds(1);
    table->Restore();
    EXPECT_EQ(table->Rows(), (std::vector<UnitRow>{{"127.0.0.2", 0x03, 1000, 1, kPrevious},
                                                   {"127.0.0.3", 0x04, 1001, 1, kPrevious}}));
    ReportFrom("127.0.0.3", 0x05, 1002);
    now += seconds(30);
    table->OnIdle();
    EXPECT_EQ(Row("127.0.0.2").status, kPrevious);
    EXPECT_EQ(Row("127.0.0.3"), (UnitRow{"127.0.0.3", 0x05, 1002, 2, kSilent}));
    EXPECT_EQ(told.Take(), Texts{"-127.0.0.3"});

    table->Clear();
    EXPECT_EQ(table->Rows(), std::vector<UnitRow>{});
    EXPECT_EQ(table->SilentCount(), 0);
    EXPECT_EQ(ReadFileBytes(File()), "");
}

// A file that cannot be written is tried again a save interval later, not at every wake, and
// keeps nothing of a half write; the trace says so.
TEST_F(UnitTableTest, TriesAnUnwritableFileAgainLater) {
    table = std::make_unique<UnitTable>(folder.File("later/NR-QD8K.units"), *this,
                                        [this] { return now; });
    ReportFrom("127.0.0.2", 1);
    now += UnitTable::kSaveInterval;
    table->OnIdle();
    EXPECT_EQ(trace, "units file write error\r\n");
    EXPECT_EQ(table->WakeAt(), now + UnitTable::kSaveInterval);
    std::filesystem::create_directory(FileSystemPath(folder.File("later")));
    table->OnIdle();
    EXPECT_FALSE(FileExists(folder.File("later/NR-QD8K.units")));
    now += UnitTable::kSaveInterval;
    table->OnIdle();
    EXPECT_EQ(ReadFileBytes(folder.File("later/NR-QD8K.units")), "127.0.0.2,1000,1,1\r\n");
}

// Lines of the file that are not a unit's are passed over: the program never reads a row it
// did not write.
TEST(UnitFile, ReadsOnlyWholeRows) {
    const struct {
        const char* line;
        bool read;
    } cases[] = {
        {"192.168.0.10,1715934615,21,7", true},
        {"255.255.255.255,0,255,18446744073709551615", true},
        {"192.168.0.10,1715934615,256,7", false},
        {"192.168.0.256,1,1,1", false},
        {"192.168.0.010,1,1,1", false},
        {"192.168.0,1,1,1", false},
        {"192.168.0.10.1,1,1,1", false},
        {"192.168.0.10,1,1", false},
        {"192.168.0.10,1,1,1,1", false},
        {"192.168.0.10,x,1,1", false},
        {"192.168.0.10,1,1,-1", false},
        {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(ParseUnitLine(c.line).has_value(), c.read);
    }
}

// Served: the worker wakes by itself when a unit's silent time is up, also when the time was
// set after the unit reported, with no report to wake it.
class ServedUnitTableTest : public ServingCoreTest {
protected:
    ServedUnitTableTest() {
        listeners.Add(units);
        units.AddListener(told);
    }
    UnitTable units{folder.File("NR-QD8K.units"), listeners};
    Told told;
};

TEST_F(ServedUnitTableTest, WorkerWakesForSilence) {
    EXPECT_EQ(RunUnit(port, {{"\x01\x03"}, false, false, "127.0.0.2"}).reply, "\x01\x03");
    units.SetSilentSeconds(1);
    server.RequestWake();
    EXPECT_TRUE(WaitUntil([&] { return units.SilentCount() == 1; }, 3000));
    Stop();
    EXPECT_EQ(told.Take(), (Texts{"+127.0.0.2", "-127.0.0.2"}));
    EXPECT_EQ(ReadFileBytes(folder.File("NR-QD8K.units")).substr(0, 10), "127.0.0.2,");
}

}  // namespace
