#include "Strings.h"
#include "platform/Cp932.h"
#include "resource.h"
#include "support/FixedClock.h"
#include "support/UnitClient.h"
#include "ui/support/WindowTest.h"

#include <atomic>
#include <cstdio>
#include <thread>

namespace {

using Lines = std::vector<std::string>;

std::string Utf8(const char* cp932) {
    return cp932::ToUtf8(cp932);
}

// What the unit list shows of a unit that reported at the fixed clock's time.
std::string Line(int unit, int state, int count, const char* status) {
    std::string line = "127.0.0." + std::to_string(unit) + "\t2024/11/28 21:47:36";
    for (int i = 0; i < 5; ++i) line += (state >> i) & 1 ? "\t1" : "\t0";
    return line + "\t" + std::to_string(count) + "\t" + Utf8(status);
}

const std::string kTitles = Utf8(kTextColumnAddress) + "\t" + Utf8(kTextColumnTime) +
                            "\tDI1\tDI2\tDI3\tDI4\tDI5\t" + Utf8(kTextColumnCount) + "\t" +
                            Utf8(kTextColumnState);

class UnitListTest : public ServingWindowTest {
protected:
    CUnitListDlg& List() { return Dialog().m_dlgUnits; }
    WndHandle* ListControl() { return List().m_listUnits.GetSafeHwnd(); }

    // As the operator opens it: the main window's context menu, from a right click.
    void OpenList() {
        prompter.plannedMenuChoices.push_back(IDM_UNIT_LIST);
        op::RightClick(Control(IDC_STATIC_STATE));
        ASSERT_TRUE(List().IsOpen());
    }
    void Report(int unit, int state) {
        const std::string from = "127.0.0." + std::to_string(unit);
        const std::string frame{'\x01', static_cast<char>(state)};
        ASSERT_EQ(RunUnit(port, {{frame}, false, false, from.c_str()}).reply, frame);
    }
    // What Ctrl+A (unless only the selection is wanted), Ctrl+C in the list put on the
    // clipboard, line by line.
    Lines Copied(bool all = true) {
        op::ServeEvents(50);  // rows handed over are shown at the screen's pace
        if (all) op::Press(ListControl(), 'A', op::kControl);
        op::Press(ListControl(), 'C', op::kControl);
        Lines lines;
        const std::string text = op::ClipboardText();
        for (size_t from = 0, end; (end = text.find('\n', from)) != std::string::npos;
             from = end + 1) {
            std::string line = text.substr(from, end - from);
            if (line.ends_with('\r')) line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }
    std::string SilentCountText(int count) {
        char text[64];
        std::snprintf(text, sizeof text, kFormatSilentCount, count);
        return text;
    }

    FixedClock clock;
};

// Twenty units report different states, some more often than others: the list holds each one's
// last state and count, sorted by address as numbers. Two that stop reporting are marked
// silent after the time set in the list, their lamps grey, and the main window counts them. A
// restart brings every row back, marked as from before it.
TEST_F(UnitListTest, ShowsEveryUnitsLastStateAndMarksTheSilentOnes) {
    Served([&] {
        for (int unit = 2; unit <= 21; ++unit) {
            for (int n = unit % 3; n >= 0; --n) Report(unit, unit + n);
        }
        return 0;
    });
    OpenList();
    Lines expected{kTitles};
    for (int unit = 2; unit <= 21; ++unit) {
        expected.push_back(Line(unit, unit, unit % 3 + 1, kTextStateReporting));
    }
    EXPECT_EQ(Copied(), expected);

    List().m_editSilent.SetWindowText("1");
    op::Click(List().m_buttonApply.GetSafeHwnd());
    std::atomic<bool> reporting{true};
    std::thread others([&] {
        while (reporting) {
            for (int unit = 4; unit <= 21; ++unit) Report(unit, 0x15);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    });
    const bool marked = WaitUntil(
        [&] { return Text(Dialog().m_staticPeer).ends_with("\n" + SilentCountText(2)); }, 5000);
    const Lines copied = Copied();
    const op::Picture list = op::Shot(ListControl());
    reporting = false;
    others.join();
    ASSERT_TRUE(marked) << Text(Dialog().m_staticPeer);
    ASSERT_EQ(copied.size(), 21u);
    EXPECT_EQ(copied[1], Line(2, 2, 3, kTextStateSilent));
    EXPECT_EQ(copied[2], Line(3, 3, 1, kTextStateSilent));
    for (op::Colour lamp :
         {op::Colour{0xFF, 0, 0}, op::Colour{0, 0, 0}, op::Colour{0x7F, 0x7F, 0x7F}})
        EXPECT_TRUE(list.Holds(lamp));
    // Marking turned off, no unit is silent, and the main window says so without a report.
    List().m_editSilent.SetWindowText("0");
    op::Click(List().m_buttonApply.GetSafeHwnd());
    EXPECT_TRUE(
        WaitUntil([&] { return Text(Dialog().m_staticPeer).find('\n') == std::string::npos; }));

    Close();
    Open();
    OpenList();
    const Lines restored = Copied();
    ASSERT_EQ(restored.size(), 21u);
    EXPECT_EQ(restored[1], Line(2, 2, 3, kTextStatePrevious));
    EXPECT_EQ(restored[20].substr(restored[20].rfind('\t') + 1), Utf8(kTextStatePrevious));
}

// The rows sort by address as numbers at first, by a clicked column after, its order turned by
// a second click; the titles follow the signal names. Escape closes the list and the main
// window goes on; a clear empties the list and its file.
TEST_F(UnitListTest, SortsFollowsTheNamesAndClears) {
    Served([&] {
        for (int count = 1; count <= 3; ++count) Report(10, 1);
        for (int count = 1; count <= 2; ++count) Report(9, 2);
        Report(2, 4);
        return 0;
    });
    OpenList();
    auto order = [&] {
        std::string units;
        for (const std::string& line : Copied()) units += line.substr(0, line.find('\t')) + " ";
        return units;
    };
    const std::string title = Utf8(kTextColumnAddress) + " ";
    EXPECT_EQ(order(), title + "127.0.0.2 127.0.0.9 127.0.0.10 ");
    op::ClickColumnTitle(ListControl(), kColumnDi1 + 1);
    EXPECT_EQ(order(), title + "127.0.0.2 127.0.0.10 127.0.0.9 ");
    op::ClickColumnTitle(ListControl(), kColumnCount);
    EXPECT_EQ(order(), title + "127.0.0.2 127.0.0.9 127.0.0.10 ");
    op::ClickColumnTitle(ListControl(), kColumnCount);
    EXPECT_EQ(order(), title + "127.0.0.10 127.0.0.9 127.0.0.2 ");
    // The selection stays with its unit when the unit's row moves.
    op::Press(ListControl(), op::kHome);
    Served([&] {
        for (int count = 1; count <= 2; ++count) Report(9, 2);
        return 0;
    });
    const Lines selected = Copied(false);
    ASSERT_EQ(selected.size(), 2u);
    EXPECT_TRUE(selected[1].starts_with("127.0.0.10\t")) << selected[1];
    EXPECT_EQ(order(), title + "127.0.0.9 127.0.0.10 127.0.0.2 ");
    Dialog().m_diChannels[1].pName->SetWindowText("Pump");
    std::string renamed = kTitles;
    EXPECT_EQ(Copied()[0], renamed.replace(renamed.find("DI2"), 3, "Pump"));

    op::Press(ListControl(), op::kEscape);
    EXPECT_FALSE(List().IsOpen());
    EXPECT_FALSE(List().IsWindowVisible());
    Report(11, 1);
    EXPECT_TRUE(WaitUntil([&] { return Text(Dialog().m_staticPeer).ends_with(" : 127.0.0.11"); }));
    OpenList();
    EXPECT_EQ(Copied().size(), 5u);
    op::Click(List().m_buttonClear.GetSafeHwnd());
    EXPECT_EQ(Copied(), Lines{renamed});
    EXPECT_EQ(ReadFileBytes(folder.File("NR-QD8K.units")), "");
}

// The menu comes from a right click, Shift+F10 or the Menu key, where the focused control has
// no menu of its own; dismissed, it opens nothing.
TEST_F(UnitListTest, TheContextMenuOpensTheList) {
    WndHandle* button = Control(IDC_BUTTON_TITLE);
    const std::vector<std::vector<int>> offered(3, {IDM_UNIT_LIST, IDM_MQTT_SETTINGS});
    op::RightClick(Control(IDC_STATIC_VERSION));
    op::Press(button, op::kF10, op::kShift);
    op::Press(button, op::kMenuKey);
    EXPECT_EQ(prompter.menus, offered);
    EXPECT_FALSE(List().IsOpen());
    prompter.plannedMenuChoices.push_back(IDM_UNIT_LIST);
    op::Press(button, op::kMenuKey);
    EXPECT_TRUE(List().IsOpen());
}

// The silent time goes into the settings file only when it is set, after the ten lines, and a
// settings file brings it back into the list; one without it turns marking off.
TEST_F(UnitListTest, TheSilentTimeIsASetting) {
    const std::string path = folder.File("line.qd");
    WriteFileBytes(path, "#$SILENTSEC=7\r\n");
    prompter.plannedFiles.push_back(cp932::ToUtf8(path));
    Dialog().OnLoadSettings();
    OpenList();
    EXPECT_EQ(Text(List().m_editSilent), "7");
    Dialog().SaveSettings();
    EXPECT_TRUE(ReadFileBytes(path).ends_with("NR-QD8K.csv\r\n#$SILENTSEC=7\r\n"));
    WriteFileBytes(path, "#$PORT=10004\r\n");
    prompter.plannedFiles.push_back(cp932::ToUtf8(path));
    Dialog().OnLoadSettings();
    EXPECT_EQ(Text(List().m_editSilent), "0");
    Dialog().SaveSettings();
    EXPECT_TRUE(ReadFileBytes(path).ends_with("NR-QD8K.csv\r\n"));
}

}  // namespace
