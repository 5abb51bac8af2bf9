#include "ui/SignalServerDlg.h"

#include "DialogTemplates.h"
#include "Strings.h"
#include "platform/ModuleInfo.h"
#include "platform/PathText.h"
#include "platform/Winsock.h"
#include "resource.h"
#include "server/Report.h"
#include "settings/HomeFiles.h"
#include "settings/SettingsFile.h"
#include "ui/VersionText.h"
#include "ui/wnd/CIcon.h"
#include "ui/wnd/UiThread.h"

#include <cstdio>

namespace {

constexpr ColourRef kColourOn = 0x0000FF;
constexpr ColourRef kColourOff = 0x000000;
constexpr ColourRef kColourStopped = 0x7F7F7F;

struct MessageMapEntry {
    enum Code { kClicked, kChange, kToggled, kCommand } code;
    int id;
    void (CSignalServerDlg::*handler)();
};

constexpr MessageMapEntry kMessageMap[] = {
    {MessageMapEntry::kClicked, IDC_BUTTON_SERVER, &CSignalServerDlg::OnButtonServer},
    {MessageMapEntry::kChange, IDC_EDIT_DI1, &CSignalServerDlg::OnDiNameChanged},
    {MessageMapEntry::kChange, IDC_EDIT_DI2, &CSignalServerDlg::OnDiNameChanged},
    {MessageMapEntry::kChange, IDC_EDIT_DI3, &CSignalServerDlg::OnDiNameChanged},
    {MessageMapEntry::kChange, IDC_EDIT_DI4, &CSignalServerDlg::OnDiNameChanged},
    {MessageMapEntry::kChange, IDC_EDIT_DI5, &CSignalServerDlg::OnDiNameChanged},
    {MessageMapEntry::kToggled, IDC_CHECK_LOGGING, &CSignalServerDlg::OnLoggingToggled},
    {MessageMapEntry::kClicked, IDC_BUTTON_BROWSE_LOG, &CSignalServerDlg::OnBrowseLogFile},
    {MessageMapEntry::kClicked, IDC_BUTTON_TITLE, &CSignalServerDlg::OnChangeTitle},
    {MessageMapEntry::kClicked, IDC_BUTTON_SAVE, &CSignalServerDlg::OnSaveSettings},
    {MessageMapEntry::kClicked, IDC_BUTTON_LOAD, &CSignalServerDlg::OnLoadSettings},
    {MessageMapEntry::kCommand, IDM_UNIT_LIST, &CSignalServerDlg::OnUnitList},
    {MessageMapEntry::kCommand, IDM_MQTT_SETTINGS, &CSignalServerDlg::OnMqttSettings},
};

}  // namespace

CSignalServerDlg::CSignalServerDlg(std::string homeFolder, CWnd* pParent)
    : CDialog(SignalServerDialogTemplate(), pParent),
      m_dlgUnits(m_units, {kColourOn, kColourOff, kColourStopped}),
      m_strHomeFolder(std::move(homeFolder)),
      m_units(ResolvePath(kUnitsFileName, m_strHomeFolder), m_listeners) {
    m_listeners.Add(*this);
    m_listeners.Add(m_log);
    m_listeners.Add(m_units);
    // After the table: the availability its OnIdle tells goes out with the same batch.
    m_listeners.Add(m_publisher);
    m_units.AddListener(*this);
    m_units.AddListener(m_publisher);
    m_publisher.OnStatusChange([this] { RequestMqttState(); });
    m_dlgUnits.m_onSilentSeconds = [this](int seconds) { SetSilentSeconds(seconds); };
    for (int i = 0; i < kDiChannels; ++i) {
        m_diChannels[i] =
            DiChannel{&m_editDiName[kDiChannels - 1 - i], &m_staticLamp[kDiChannels - 1 - i]};
    }
    m_hIcon = LoadIconResource(IDR_MAINFRAME);
    std::optional<ModuleInfo::Version> version = ModuleInfo::Current().FileVersion();
    if (version) std::copy(version->begin(), version->end(), m_wVersion);
    m_strVersion = FormatVersionText(version ? &m_wVersion : nullptr);
}

CSignalServerDlg::~CSignalServerDlg() {
    DestroyWindow();
}

void CSignalServerDlg::BindMessageMap() {
    for (const MessageMapEntry& entry : kMessageMap) {
        auto handler = [this, method = entry.handler] { (this->*method)(); };
        switch (entry.code) {
            case MessageMapEntry::kClicked:
                OnClicked(entry.id, handler);
                break;
            case MessageMapEntry::kChange:
                OnChange(entry.id, handler);
                break;
            case MessageMapEntry::kToggled:
                OnToggled(entry.id, handler);
                break;
            case MessageMapEntry::kCommand:
                OnCommand(entry.id, handler);
                break;
        }
    }
}

void CSignalServerDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_STATIC_PEER, m_staticPeer);
    DDX_Control(pDX, IDC_STATIC_STATE, m_staticState);
    DDX_Control(pDX, IDC_STATIC_LOCALADDR, m_staticLocalAddr);
    DDX_Control(pDX, IDC_EDIT_LOGFILE, m_editLogFile);
    DDX_Control(pDX, IDC_STATIC_VERSION, m_staticVersion);
    DDX_Control(pDX, IDC_CHECK_LOGGING, m_checkLogging);
    for (int i = 0; i < kDiChannels; ++i) {
        DDX_Control(pDX, IDC_EDIT_DI5 - i, m_editDiName[i]);
    }
    DDX_Control(pDX, IDC_EDIT_TRACE, m_editTrace);
    DDX_Control(pDX, IDC_EDIT_PORT, m_editPort);
    for (int i = 0; i < kDiChannels; ++i) {
        DDX_Control(pDX, IDC_LAMP_DI5 - i, m_staticLamp[i]);
    }
    DDX_Control(pDX, IDC_BUTTON_SERVER, m_buttonServer);
}

bool CSignalServerDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetIcon(m_hIcon);
    DragAcceptFiles(true);
    m_staticVersion.SetWindowText(m_strVersion);

    EnumerateAdapters();
    char line[128];
    std::string address =
        m_nAdapters > 0 ? wsock::inet_ntoa(m_adapters[0].dwAddr) : std::string(kTextNoLocalAddr);
    std::snprintf(line, sizeof line, kFormatLocalAddrLine, address.c_str());
    m_staticLocalAddr.SetWindowText(line);

    m_staticPeer.SetWindowText("");
    m_buttonServer.SetWindowText(kTextStartServer);
    m_staticState.SetWindowText(kTextStopped);
    AppendTrace("%s", kTextTraceBanner);
    m_bReady = false;
    m_fontState.CreatePointFont(180, kFaceGothic);
    m_staticState.SetFont(&m_fontState);
    m_brushOn.CreateSolidBrush(kColourOn);
    m_brushOff.CreateSolidBrush(kColourOff);
    m_brushStopped.CreateSolidBrush(kColourStopped);
    m_editPort.SetWindowText(kDefaultPortText);
    ShowDefaults();
    m_units.Restore();

    ReadPointerFile();
    ShowMqttState();
    m_log.WriteWaitingRows();
    AppendTrace("cfg : %s\r\n", m_strSettingsFile.c_str());
    m_bReady = true;
    m_editTrace.ShowWindow(kSwHide);
    return true;
}

void CSignalServerDlg::ShowDefaults() {
    for (int i = 0; i < kDiChannels; ++i) {
        m_bDiState[i] = false;
        char name[8];
        std::snprintf(name, sizeof name, "DI%d", i + 1);
        m_diChannels[i].pName->SetWindowText(name);
        m_diChannels[i].pName->SetLimitText(kDiNameLimitBytes);
    }
    m_strTitle = kAppName;
    SetLogFile(ResolvePath(kLogFileName, m_strHomeFolder));
    m_strPointerFile = ResolvePath(kPointerFileName, m_strHomeFolder);
    m_strSettingsFile = ResolvePath(kSettingsFileName, m_strHomeFolder);
}

void CSignalServerDlg::EnumerateAdapters() {
    m_nAdapters = EnumerateAdapterTable(CurrentInterfaceTables(), m_adapters);
}

void CSignalServerDlg::ReadPointerFile() {
    std::optional<std::string> settingsFile = ::ReadPointerFile(m_strPointerFile);
    if (!settingsFile) return;
    m_strSettingsFile = *settingsFile;
    if (LoadSettings(m_strSettingsFile)) OnButtonServer();
}

// A message still coming (a signal ended the window before the worker's alert showed) would
// otherwise hold the ended window open until someone answered it.
void CSignalServerDlg::OnCancel() {
    m_bClosing = true;
    CDialog::OnCancel();
}

void CSignalServerDlg::OnDestroy() {
    // The worker uses the record and its controls: it ends before they go.
    m_bClosing = true;
    m_server.RequestStop();
    WaitForWorkerToEnd();
    m_dlgUnits.DestroyWindow();
    m_units.Save();
    // What the worker handed over last names controls that are about to go.
    UiThread::RunPending();
}

void CSignalServerDlg::OnReport(const Report& report) {
    for (int i = 0; i < kDiChannels; ++i) {
        m_bDiState[i] = report.Input(i);
        m_diChannels[i].pLamp->InvalidateRect();
    }
    {
        std::lock_guard lock(m_peerMutex);
        m_strLastPeer = report.unitAddress;
    }
    UpdatePeerLine();
}

void CSignalServerDlg::OnTrace(std::string_view text) {
    m_editTrace.ReplaceSel(text);
}

// Serving goes on while the operator reads it: no unit waits for an OK.
void CSignalServerDlg::OnAlert(std::string_view text) {
    UiThread::Post([this, text = std::string(text)] {
        if (m_bClosing) {
            OnTrace(text);
        } else {
            MessageBox(text);
        }
    });
}

void CSignalServerDlg::OnLogWaiting(size_t rows) {
    m_editLogFile.SetWindowTextLater(LogFileLine(rows));
}

void CSignalServerDlg::OnStopped() {
    for (int i = 0; i < kDiChannels; ++i) {
        m_bDiState[i] = false;
        m_diChannels[i].pLamp->InvalidateRect();
    }
    m_buttonServer.SetWindowText(kTextStartServer);
    m_staticState.SetWindowText(kTextStopped);
    {
        std::lock_guard lock(m_peerMutex);
        m_strLastPeer.clear();
    }
    UpdatePeerLine();
}
