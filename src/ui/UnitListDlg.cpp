#include "ui/UnitListDlg.h"

#include "DialogTemplates.h"
#include "Strings.h"
#include "resource.h"
#include "ui/wnd/UiThread.h"
#include "units/SilentTime.h"
#include "units/UnitTable.h"

#include <cstdio>

CUnitListDlg::CUnitListDlg(UnitTable& units, LampColours colours)
    : CDialog(UnitListDialogTemplate(), nullptr), m_units(units), m_colours(colours) {}

CUnitListDlg::~CUnitListDlg() {
    DestroyWindow();
}

void CUnitListDlg::Open(const Names& names, int silentSeconds) {
    m_names = names;
    m_nSilentSeconds = silentSeconds;
    const bool made = GetSafeHwnd() != nullptr;
    m_bOpen = true;
    Create();
    if (made) {
        SetSignalNames(names);
        ShowSilentSeconds(silentSeconds);
        Refresh();
    }
}

bool CUnitListDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_editSilent.SetLimitText(kMaxSilentDigits);
    m_listUnits.SetColumns(UnitListColumns(m_names));
    m_listUnits.SetSortMark(m_nSortColumn, m_bAscending);
    m_listUnits.OnColumnClick([this](int column) { OnColumnClick(column); });
    ShowSilentSeconds(m_nSilentSeconds);
    ShowMqttState(m_strMqttState);
    m_nShownGeneration = 0;
    m_bResort = true;
    Refresh();
    return true;
}

void CUnitListDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LIST_UNITS, m_listUnits);
    DDX_Control(pDX, IDC_EDIT_SILENT, m_editSilent);
    DDX_Control(pDX, IDC_BUTTON_SILENT_APPLY, m_buttonApply);
    DDX_Control(pDX, IDC_BUTTON_CLEAR, m_buttonClear);
    DDX_Control(pDX, IDC_STATIC_UNITS_MQTT, m_staticMqtt);
}

void CUnitListDlg::BindMessageMap() {
    OnClicked(IDC_BUTTON_SILENT_APPLY, [this] { OnApplySilent(); });
    OnClicked(IDC_BUTTON_CLEAR, [this] { OnClear(); });
}

// Closed, it stays made: a report may be handing it rows meanwhile.
void CUnitListDlg::OnCancel() {
    m_bOpen = false;
    ShowWindow(kSwHide);
}

void CUnitListDlg::RequestRefresh() {
    if (m_refreshPending.exchange(true)) return;
    UiThread::Post([this] {
        // Cleared first: a change after this point needs a refresh of its own.
        m_refreshPending = false;
        Refresh();
    });
}

void CUnitListDlg::SetSignalNames(const Names& names) {
    m_names = names;
    if (GetSafeHwnd() == nullptr) return;
    for (int i = 0; i < kDiChannels; ++i) m_listUnits.SetColumnTitle(kColumnDi1 + i, names[i]);
}

void CUnitListDlg::ShowSilentSeconds(int seconds) {
    m_nSilentSeconds = seconds;
    if (GetSafeHwnd() != nullptr) m_editSilent.SetWindowText(std::to_string(seconds));
}

void CUnitListDlg::ShowMqttState(const std::string& text) {
    m_strMqttState = text;
    if (GetSafeHwnd() == nullptr) return;
    char line[160];
    std::snprintf(line, sizeof line, kFormatMqttStateLine, text.c_str());
    m_staticMqtt.SetWindowText(line);
}

// The edit takes digits only, six at most; an empty one puts the time in force back.
void CUnitListDlg::OnApplySilent() {
    const std::optional<int> seconds = ParseSilentSeconds(m_editSilent.GetWindowText());
    if (!seconds) {
        ShowSilentSeconds(m_nSilentSeconds);
        return;
    }
    if (m_onSilentSeconds) m_onSilentSeconds(*seconds);
}

void CUnitListDlg::OnClear() {
    m_units.Clear();
}

// A click on the column sorted by turns its order.
void CUnitListDlg::OnColumnClick(int column) {
    m_bAscending = column == m_nSortColumn ? !m_bAscending : true;
    m_nSortColumn = column;
    m_listUnits.SetSortMark(column, m_bAscending);
    m_bResort = true;
    Refresh();
}

void CUnitListDlg::Refresh() {
    const uint64_t generation = m_units.Generation();
    if (!m_bOpen || (generation == m_nShownGeneration && !m_bResort)) return;
    m_nShownGeneration = generation;
    m_bResort = false;
    std::vector<UnitRow> units = m_units.Rows();
    SortUnitRows(units, m_nSortColumn, m_bAscending);
    std::vector<ListRow> rows;
    rows.reserve(units.size());
    for (const UnitRow& unit : units) rows.push_back(RowOf(unit));
    // Rows go only with a clear, which takes them all.
    if (units.empty()) m_rowCache.clear();
    m_listUnits.SetRows(std::move(rows));
}

// A row is made again only when its unit changed.
ListRow CUnitListDlg::RowOf(const UnitRow& unit) {
    auto [entry, made] = m_rowCache.try_emplace(unit.address);
    if (made || entry->second.first != unit) entry->second = {unit, UnitListRow(unit, m_colours)};
    return entry->second.second;
}
