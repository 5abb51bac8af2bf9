#pragma once

#include "server/DiChannels.h"
#include "ui/UnitListRows.h"
#include "ui/wnd/CButton.h"
#include "ui/wnd/CDialog.h"
#include "ui/wnd/CEdit.h"
#include "ui/wnd/CListCtrl.h"
#include "ui/wnd/CStatic.h"

#include <array>
#include <atomic>
#include <functional>
#include <string>
#include <unordered_map>

class UnitTable;

// The window "ユニット一覧": a row per unit the table holds, kept up to date at the screen's pace
// while it shows, the silent time and a button that clears the table. Beside the main window,
// which keeps working; Escape or its close box closes it.
class CUnitListDlg : public CDialog {
public:
    using Names = std::array<std::string, kDiChannels>;

    CUnitListDlg(UnitTable& units, LampColours colours);
    ~CUnitListDlg() override;

    // UI thread: shows it in front, with the signal names and silent time given.
    void Open(const Names& names, int silentSeconds);
    bool IsOpen() const { return m_bOpen; }
    // Any thread, never waits: the rows are shown anew once the UI thread next takes what was
    // handed over, however often it is asked meanwhile.
    void RequestRefresh();
    // UI thread.
    void SetSignalNames(const Names& names);
    void ShowSilentSeconds(int seconds);
    // How publishing to the broker stands, CP932.
    void ShowMqttState(const std::string& text);

    // The operator applied a silent time.
    std::function<void(int seconds)> m_onSilentSeconds;

    CListCtrl m_listUnits;
    CEdit m_editSilent;
    CButton m_buttonApply;
    CButton m_buttonClear;
    CStatic m_staticMqtt;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void BindMessageMap() override;
    void OnCancel() override;
    void OnDestroy() override { m_bOpen = false; }

private:
    void OnApplySilent();
    void OnClear();
    void OnColumnClick(int column);
    void Refresh();
    ListRow RowOf(const UnitRow& unit);

    UnitTable& m_units;
    const LampColours m_colours;
    Names m_names;
    int m_nSilentSeconds = 0;
    std::string m_strMqttState;
    int m_nSortColumn = kColumnAddress;
    bool m_bAscending = true;
    std::atomic<bool> m_bOpen{false};
    std::atomic<bool> m_refreshPending{false};
    // UI thread only: what is shown, so that only what changed is shown anew.
    uint64_t m_nShownGeneration = 0;
    bool m_bResort = true;
    std::unordered_map<std::string, std::pair<UnitRow, ListRow>> m_rowCache;
};
