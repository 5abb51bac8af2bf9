#include "ui/SignalServerDlg.h"

#include "AppResources.h"
#include "DialogTemplates.h"
#include "Strings.h"
#include "platform/ModuleInfo.h"
#include "platform/PathText.h"
#include "platform/Winsock.h"
#include "resource.h"
#include "ui/VersionText.h"
#include "ui/wnd/CIcon.h"

#include <cstdio>

namespace {

constexpr char kDefaultPort[] = "10003";
constexpr char kLogFileName[] = "NR-QD8K.csv";
constexpr char kPointerFileName[] = "NR-QD8K.ini";
constexpr char kSettingsFileName[] = "NR-QD8K.qd";
constexpr COLORREF kColourOn = 0x0000FF;
constexpr COLORREF kColourOff = 0x000000;
constexpr COLORREF kColourStopped = 0x7F7F7F;

struct MessageMapEntry {
    enum Code { kClicked, kChange, kToggled } code;
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
};

}  // namespace

CSignalServerDlg::CSignalServerDlg(std::string homeFolder, CWnd* pParent)
    : CDialog(SignalServerDialogTemplate(), pParent), m_strHomeFolder(std::move(homeFolder)) {
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
    m_bReady = FALSE;
    m_bLogHeaderPending = FALSE;
    m_fontState.CreatePointFont(180, kFaceGothic);
    m_staticState.SetFont(&m_fontState);
    m_brushOn.CreateSolidBrush(kColourOn);
    m_brushOff.CreateSolidBrush(kColourOff);
    m_brushStopped.CreateSolidBrush(kColourStopped);
    m_editPort.SetWindowText(kDefaultPort);
    ShowDefaults();

    ReadPointerFile();
    AppendTrace("cfg : %s\r\n", m_strSettingsFile.c_str());
    m_bReady = TRUE;
    m_editTrace.ShowWindow(SW_HIDE);
    return true;
}

void CSignalServerDlg::ShowDefaults() {
    for (int i = 0; i < kDiChannels; ++i) {
        m_diChannels[i] =
            DiChannel{&m_editDiName[kDiChannels - 1 - i], &m_staticLamp[kDiChannels - 1 - i]};
    }
    m_bServerRunning = FALSE;
    for (int i = 0; i < kDiChannels; ++i) {
        m_bDiState[i] = FALSE;
        char name[8];
        std::snprintf(name, sizeof name, "DI%d", i + 1);
        m_diChannels[i].pName->SetWindowText(name);
        m_diChannels[i].pName->SetLimitText(kDiNameLimitBytes);
    }
    m_strTitle = kAppName;
    m_strLogFile = ResolvePath(kLogFileName, m_strHomeFolder);
    m_strPointerFile = ResolvePath(kPointerFileName, m_strHomeFolder);
    m_editLogFile.SetWindowText(m_strLogFile.Get());
    m_strSettingsFile = ResolvePath(kSettingsFileName, m_strHomeFolder);
}

void CSignalServerDlg::EnumerateAdapters() {
    m_nAdapters = EnumerateAdapterTable(CurrentInterfaceTables(), m_adapters);
}

void CSignalServerDlg::OnDestroy() {
    // The worker uses the record and its controls: it ends before they go.
    m_bClosing = true;
    RequestStop();
    WaitForWorkerToEnd();
}
