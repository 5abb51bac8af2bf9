#pragma once

#include "platform/SharedText.h"
#include "platform/WakeEvent.h"
#include "platform/Winsock.h"
#include "server/DiChannels.h"
#include "ui/AdapterTable.h"
#include "ui/wnd/AfxTypes.h"
#include "ui/wnd/CButton.h"
#include "ui/wnd/CDialog.h"
#include "ui/wnd/CEdit.h"
#include "ui/wnd/CFont.h"
#include "ui/wnd/CStatic.h"
#include "ui/wnd/CWinThread.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

struct ServeRun;
struct WaitingConnection;

// One input: its name edit and its lamp.
struct DiChannel {
    CEdit* pName;
    CStatic* pLamp;
};

// The main window and the record of all the running system's state. Its methods live in the
// files of their subsystem, named above each group.
class CSignalServerDlg : public CDialog {
public:
    // Its files live in the home folder, and relative paths resolve there (start-up finds it).
    explicit CSignalServerDlg(std::string homeFolder, CWnd* pParent = nullptr);
    ~CSignalServerDlg() override;

    // Handlers: public for the message map, and for tests that act as the operator does.
    // server/ServerControl.cpp
    void OnButtonServer();
    // eventlog/EventLog.cpp
    void OnDiNameChanged();
    void OnLoggingToggled();
    void OnBrowseLogFile();
    // ui/TitleBarDlg.cpp
    void OnChangeTitle();
    // settings/SettingsCommands.cpp
    void OnSaveSettings();
    void OnLoadSettings();

    // ui/TracePane.cpp
    // printf-style; at most 255 bytes per call reach the hidden trace pane. Any thread.
    // gnu_printf: checked as C99 formats (%zu) also by mingw, whose "printf" means msvcrt's.
    void AppendTrace(const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));
    // eventlog/EventLog.cpp
    void WriteLogRecord(const char* peerAddress);
    // settings/SettingsReader.cpp
    BOOL LoadSettings(std::string path);
    // settings/SettingsWriter.cpp
    void SaveSettings();

    // Controls and state that tests read and set.
    CStatic m_staticPeer;
    CStatic m_staticState;
    CStatic m_staticLocalAddr;
    CEdit m_editLogFile;
    CStatic m_staticVersion;
    CButton m_checkLogging;
    CEdit m_editDiName[kDiChannels];  // DI5 first, as the controls are declared
    CEdit m_editTrace;
    CEdit m_editPort;
    CButton m_buttonServer;
    std::atomic<BOOL> m_bDiState[kDiChannels] = {};
    DiChannel m_diChannels[kDiChannels] = {};
    SharedText m_strLogFile;  // as given; read by the worker while the UI thread may replace it
    std::string m_strSettingsFile;
    std::string m_strPointerFile;
    std::string m_strTitle;
    BOOL m_bReady = FALSE;
    std::atomic<BOOL> m_bLogHeaderPending{FALSE};

protected:
    // ui/SignalServerDlg.cpp
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnDestroy() override;
    void BindMessageMap() override;
    // ui/LampColours.cpp
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, unsigned nCtlColor) override;

    std::atomic<BOOL> m_bServerRunning{FALSE};
    // Where each trace text goes as well, when set before start-up; called on either thread.
    std::function<void(std::string_view)> m_traceCopy;

private:
    // ui/SignalServerDlg.cpp
    void ShowDefaults();
    void EnumerateAdapters();
    // ui/LampColours.cpp
    HBRUSH StatusBrush(const CWnd* pWnd) const;
    // server/ServerControl.cpp
    static unsigned ServerThreadProc(void* param);
    HRESULT StartListening(int port);
    void RequestStop();
    void WaitForWorkerToEnd();
    // server/ServeLoop.cpp
    void ServeLoop();
    void AcceptPending(ServeRun& run);
    void ServeArrived(ServeRun& run, SOCKET sock);
    void ServeConnection(const WaitingConnection& connection, ServeRun& run);
    void DropConnection(const WaitingConnection& connection, const char* reason);
    void StopServing(SOCKET sockListen);
    // eventlog/EventLog.cpp
    void ReportLogFailure(const char* message);
    // settings/SettingsReader.cpp
    void ReadPointerFile();

    CStatic m_staticLamp[kDiChannels];  // DI5 first
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
    // Where the program keeps its files, and where relative paths in them lead; no trailing
    // separator. Set once, before the worker can exist.
    const std::string m_strHomeFolder;
    // The logging box as the worker reads it: kept by the UI thread whenever the box changes,
    // so that a report never waits for the UI thread to read it.
    std::atomic<BOOL> m_bLoggingEnabled{FALSE};
    std::unique_ptr<CWinThread> m_pWorker;
    // Wakes the worker at once when the server is to stop.
    WakeEvent m_eventStop;
    // Set while the window closes: nobody is left to answer a message then.
    std::atomic<bool> m_bClosing{false};
};
