#include "ui/wnd/UiThread.h"

#include "ui/wnd/UiQueue.h"

namespace {

std::unique_ptr<UiQueue> g_queue;

}  // namespace

void UiThread::Install() {
    // Without it no call from another thread would ever be run: IsInstalled tells start-up.
    g_queue = UiQueue::Make();
}

bool UiThread::IsInstalled() {
    return g_queue != nullptr;
}

void UiThread::Uninstall() {
    if (g_queue) g_queue->Drain();
    g_queue.reset();
}

bool UiThread::IsCurrent() {
    return !g_queue || g_queue->IsUiThread();
}

void UiThread::Call(const std::function<void()>& work) {
    if (IsCurrent()) {
        work();
        return;
    }
    g_queue->Send(work);
}

void UiThread::Post(std::function<void()> work) {
    if (IsCurrent()) {
        work();
        return;
    }
    g_queue->Post(std::move(work));
}

void UiThread::ServeUntil(const std::function<bool()>& done) {
    for (;;) {
        g_queue->Drain();
        if (done()) return;
        g_queue->WaitForWork();
    }
}

void UiThread::Wake() {
    if (g_queue) g_queue->Wake();
}

void UiThread::RunPending() {
    if (g_queue) g_queue->Drain();
}
