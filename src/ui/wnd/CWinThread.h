#pragma once

#include <atomic>
#include <memory>
#include <thread>

using AFX_THREADPROC = unsigned (*)(void*);

// A thread that runs one procedure. It is joined, never detached.
class CWinThread {
public:
    CWinThread(AFX_THREADPROC proc, void* param);
    ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    // UI thread only: waits for the procedure to end, running meanwhile the calls the thread
    // hands the UI thread (a plain join would deadlock with them), then those it left queued,
    // so that none outlives what it works on.
    void JoinServingUi();

private:
    void Join();

    std::atomic<bool> m_ended{false};
    std::thread m_thread;
};

// nullptr when the system cannot make another thread.
std::unique_ptr<CWinThread> AfxBeginThread(AFX_THREADPROC proc, void* param);
