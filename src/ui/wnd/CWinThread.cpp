#include "ui/wnd/CWinThread.h"

#include "ui/wnd/UiThread.h"

#include <system_error>

CWinThread::CWinThread(AFX_THREADPROC proc, void* param)
    : m_thread([this, proc, param] {
          proc(param);
          m_ended.store(true, std::memory_order_release);
          UiThread::Wake();
      }) {}

CWinThread::~CWinThread() {
    Join();
}

void CWinThread::JoinServingUi() {
    UiThread::ServeUntil([this] { return m_ended.load(std::memory_order_acquire); });
    Join();
    UiThread::RunPending();
}

void CWinThread::Join() {
    if (m_thread.joinable()) m_thread.join();
}

std::unique_ptr<CWinThread> AfxBeginThread(AFX_THREADPROC proc, void* param) {
    try {
        return std::make_unique<CWinThread>(proc, param);
    } catch (const std::system_error&) {
        return nullptr;
    }
}
