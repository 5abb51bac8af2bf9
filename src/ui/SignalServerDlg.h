#pragma once

#include "eventlog/EventLog.h"
#include "mqtt/MqttPublisher.h"
#include "mqtt/MqttSettings.h"
#include "server/DiChannels.h"
#include "server/ServerListener.h"
#include "server/ServerListeners.h"
#include "server/SignalServer.h"
#include "ui/AdapterTable.h"
#include "ui/UnitListDlg.h"
#include "ui/wnd/CButton.h"
#include "ui/wnd/CDialog.h"
#include "ui/wnd/CEdit.h"
#include "ui/wnd/CFont.h"
#include "ui/wnd/CStatic.h"
#include "ui/wnd/CWinThread.h"
#include "units/UnitTable.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

// One input: its name edit and its lamp.
struct DiChannel {
    CEdit* pName;
    CStatic* pLamp;
};

// The main window and the record of what the operator sees. It composes the core (the server,
// the log, the unit table) and listens to it; its handlers live in the files named above each
// group.
class CMqttDlg;

class CSignalServerDlg : public CDialog, private ServerListener, private UnitTableListener {
public:
    // Its files live in the home folder, and relative paths resolve there (start-up finds it).
    explicit CSignalServerDlg(std::string homeFolder, CWnd* pParent = nullptr);
    ~CSignalServerDlg() override;

    // Handlers: public for the message map, and for tests that act as the operator does.
    // ui/ServerControl.cpp
    void OnButtonServer();
    // ui/LogCommands.cpp
    void OnDiNameChanged();
    void OnLoggingToggled();
    void OnBrowseLogFile();
    // ui/TitleBarDlg.cpp
    void OnChangeTitle();
    // ui/SettingsCommands.cpp
    void OnSaveSettings();
    void OnLoadSettings();
    // ui/UnitCommands.cpp
    void OnUnitList();
    // ui/MqttCommands.cpp
    void OnMqttSettings();

    // ui/TracePane.cpp
    // printf-style; at most 255 bytes per call reach the hidden trace pane. Any thread.
    void AppendTrace(const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));
    // ui/SettingsCommands.cpp
    bool LoadSettings(std::string path);
    void SaveSettings();
    // ui/LogCommands.cpp
    // The log file as the settings file and the file line give it; relative to the home folder.
    void SetLogFile(const std::string& path);
    // ui/UnitCommands.cpp
    // From a settings file or the unit list.
    void SetSilentSeconds(int seconds);

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
    std::atomic<bool> m_bDiState[kDiChannels] = {};
    DiChannel m_diChannels[kDiChannels] = {};
    std::string m_strSettingsFile;
    std::string m_strPointerFile;
    std::string m_strTitle;
    // The broker the settings file names; publishing follows it at the next start.
    MqttSettings m_mqttSettings;
    bool m_bReady = false;
    CUnitListDlg m_dlgUnits;
    CMqttDlg* m_pDlgMqtt = nullptr;  // UI thread: the broker's dialog while it shows

protected:
    // ui/SignalServerDlg.cpp
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnCancel() override;
    void OnDestroy() override;
    void BindMessageMap() override;
    // ui/LampColours.cpp
    const CBrush* OnCtlColor(CDC* pDC, CWnd* pWnd, unsigned nCtlColor) override;

private:
    // ui/SignalServerDlg.cpp: what the core tells the window.
    void OnReport(const Report& report) override;
    void OnTrace(std::string_view text) override;
    void OnAlert(std::string_view text) override;
    void OnLogWaiting(size_t rows) override;
    void OnStopped() override;
    void ShowDefaults();
    // ui/UnitCommands.cpp: what the unit table tells the window.
    void OnUnitsChanged() override;
    // Any thread: the last unit and how many are silent, shown when that changes.
    void UpdatePeerLine();
    // ui/MqttCommands.cpp. Any thread, never waits: the state of publishing is shown anew once
    // the UI thread next takes what was handed over, however often it changes meanwhile.
    void RequestMqttState();
    void ShowMqttState();
    void EnumerateAdapters();
    void ReadPointerFile();
    // ui/LampColours.cpp
    const CBrush* StatusBrush(const CWnd* pWnd) const;
    // ui/ServerControl.cpp
    static unsigned ServerThreadProc(void* param);
    bool StartListening(int port);
    void WaitForWorkerToEnd();
    // ui/LogCommands.cpp
    EventLog::Names CurrentNames() const;
    // The file line: the log's path, and how many rows wait for it.
    std::string LogFileLine(size_t waitingRows) const;

    CStatic m_staticLamp[kDiChannels];  // DI5 first
    const CIcon* m_hIcon = nullptr;
    CBrush m_brushOn;
    CBrush m_brushOff;
    CBrush m_brushStopped;
    CFont m_fontState;
    uint16_t m_wVersion[4] = {};
    std::string m_strVersion;
    int m_nAdapters = 0;
    AdapterEntry m_adapters[kMaxAdapters] = {};
    // Where the program keeps its files, and where relative paths in them lead; no trailing
    // separator. Set once, before the worker can exist.
    const std::string m_strHomeFolder;
    // The core: the window hears everything first, then the log records the report, the unit
    // table takes it, and it is handed to the publisher.
    ServerListeners m_listeners;
    SignalServer m_server{m_listeners};
    EventLog m_log{m_strHomeFolder, m_listeners};
    MqttPublisher m_publisher{m_listeners};
    UnitTable m_units;  // after the publisher it tells
    std::unique_ptr<CWinThread> m_pWorker;
    std::mutex m_peerMutex;
    std::string m_strLastPeer;  // under m_peerMutex: the unit that reported last
    std::string m_strPeerLine;  // under m_peerMutex: as last set
    std::atomic<int> m_nSilentShown{0};
    std::atomic<bool> m_bMqttStatePending{false};
    // Set once the window is ending: nobody is left to answer a message then.
    std::atomic<bool> m_bClosing{false};
};
