#pragma once

#include <functional>
#include <memory>

// The UI thread's end of every hand-over from another thread, one per back end: how it is
// woken and how a caller is held until its call has run.
class UiQueue {
public:
    // On the UI thread; nullptr when the system refuses what it needs.
    static std::unique_ptr<UiQueue> Make();
    virtual ~UiQueue() = default;

    virtual bool IsUiThread() const = 0;
    // Returns once the UI thread has run the work.
    virtual void Send(const std::function<void()>& work) = 0;
    // Runs after everything handed over before it, without waiting.
    virtual void Post(std::function<void()> work) = 0;
    // UI thread only: runs what is posted now.
    virtual void Drain() = 0;
    virtual void Wake() = 0;
    // UI thread only: until work is handed over, Wake is called or a short time has passed;
    // runs sent work, and nothing else.
    virtual void WaitForWork() = 0;
};
