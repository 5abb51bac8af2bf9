#pragma once

#include <atomic>
#include <memory>
#include <thread>

using AFX_THREADPROC = unsigned (*)(void*);

// A thread that runs one procedure. It is joined, never detached: its owner waits for it with
// HasEnded (which the UI thread can poll while serving the thread's calls) and Join.
class CWinThread {
public:
    CWinThread(AFX_THREADPROC proc, void* param);
    ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    bool HasEnded() const { return m_ended.load(std::memory_order_acquire); }
    void Join();

private:
    std::atomic<bool> m_ended{false};
    std::thread m_thread;
};

// nullptr when the system cannot make another thread.
std::unique_ptr<CWinThread> AfxBeginThread(AFX_THREADPROC proc, void* param);
