#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/SharedText.h"
#include "platform/WakeEvent.h"
#include "platform/Winsock.h"
#include "ui/AdapterTable.h"
#include "ui/wnd/AfxTypes.h"
#include "ui/wnd/CButton.h"
#include "ui/wnd/CDialog.h"
#include "ui/wnd/CEdit.h"
#include "ui/wnd/CFont.h"
#include "ui/wnd/CStatic.h"
#include "ui/wnd/CWinThread.h"

inline constexpr int kDiChannels = 5;

struct ServeRun;
struct WaitingConnection;

// One input: its name edit and its lamp.
struct DiChannel {
    CEdit* pName;
    CStatic* pLamp;
};

// The main window and the record of all the running system's state. Its methods live in the
// files of their subsystem: server/, settings/, eventlog/ and ui/.
class CSignalServerDlg : public CDialog {
public:
    explicit CSignalServerDlg(CWnd* pParent = nullptr);
    ~CSignalServerDlg() override;

    // printf-style; at most 255 bytes per call reach the hidden trace pane. Any thread.
    void AppendTrace(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Handlers.
    void OnButtonServer();
    void OnDiNameChanged();
    void OnLoggingToggled();
    void OnBrowseLogFile();
    void OnChangeTitle();
    void OnSaveSettings();
    void OnLoadSettings();

    HRESULT StartListening(int port);
    void ServeLoop();
    void WriteLogRecord(const char* peerAddress);
    BOOL LoadSettings(std::string path);
    void SaveSettings();
    void EnumerateAdapters();

    CStatic m_staticPeer;
    CStatic m_staticState;
    CStatic m_staticLocalAddr;
    CEdit m_editLogFile;
    CStatic m_staticVersion;
    CButton m_checkLogging;
    CEdit m_editDiName[kDiChannels];  // DI5 first, as the controls are declared
    CEdit m_editTrace;
    CEdit m_editPort;
    CStatic m_staticLamp[kDiChannels];  // DI5 first
    CButton m_buttonServer;
    HICON m_hIcon = nullptr;
    CBrush m_brushOn;
    CBrush m_brushOff;
    CBrush m_brushStopped;
    CFont m_fontState;
    WORD m_wVersion[4] = {};
    std::string m_strVersion;
    int m_nAdapters = 0;
    AdapterEntry m_adapters[kMaxAdapters] = {};
    SOCKET m_sockListen = INVALID_SOCKET;
    std::atomic<BOOL> m_bServerRunning{FALSE};
    std::atomic<BOOL> m_bDiState[kDiChannels] = {};
    DiChannel m_diChannels[kDiChannels] = {};
    // Where the program keeps its files, and where relative paths in them lead; no trailing
    // separator. Set once, before the worker can exist.
    std::string m_strHomeFolder;
    SharedText m_strLogFile;  // as given; read by the worker while the UI thread may replace it
    std::string m_strSettingsFile;
    std::string m_strPointerFile;
    std::string m_strTitle;
    BOOL m_bReady = FALSE;
    std::atomic<BOOL> m_bLogHeaderPending{FALSE};
    // Where each trace text goes as well, when set before start-up; called on either thread.
    std::function<void(std::string_view)> m_traceCopy;
    // The logging box as the worker reads it: kept by the UI thread whenever the box changes,
    // so that a report never waits for the UI thread to read it.
    std::atomic<BOOL> m_bLoggingEnabled{FALSE};

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, unsigned nCtlColor) override;
    void OnDestroy() override;
    void BindMessageMap() override;

private:
    void ReadPointerFile();
    void ReportLogFailure(const char* message);
    void WaitForWorkerToEnd();
    void RequestStop();
    void AcceptPending(ServeRun& run);
    void ServeArrived(ServeRun& run, SOCKET sock);
    void ServeConnection(const WaitingConnection& connection, ServeRun& run);
    void DropConnection(const WaitingConnection& connection, const char* reason);
    void StopServing(SOCKET sockListen);
    void ShowDefaults();

    std::unique_ptr<CWinThread> m_pWorker;
    // Wakes the worker at once when the server is to stop.
    WakeEvent m_eventStop;
    // Set while the window closes: nobody is left to answer a message then.
    std::atomic<bool> m_bClosing{false};
};
