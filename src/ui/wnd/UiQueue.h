#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

// The UI thread's end of every hand-over from another thread. Posted work waits here, the same
// for both back ends; each back end says how the UI thread is woken, how it rests and how a
// caller is held until its call has run.
class UiQueue {
public:
    // On the UI thread; nullptr when the system refuses what it needs.
    static std::unique_ptr<UiQueue> Make();
    virtual ~UiQueue() = default;

    virtual bool IsUiThread() const = 0;
    // Returns once the UI thread has run what was handed over before it, then the work.
    virtual void Send(const std::function<void()>& work) = 0;
    // Runs after everything handed over before it, without waiting. A busy worker must not
    // wake the UI thread at each post: it is woken only when no wake is on its way and it is
    // not resting after a drain, and takes what came meanwhile in one go when the rest is over.
    void Post(std::function<void()> work);
    // UI thread only: runs what is posted now, then rests.
    void Drain();
    virtual void Wake() = 0;
    // UI thread only: until work is handed over, Wake is called or a short time has passed;
    // runs sent work, and nothing else.
    virtual void WaitForWork() = 0;

protected:
    // About one frame of the screen: what the operator sees never waits longer.
    static constexpr int kRestMs = 16;

    // For a waiting call: after all posted before it, the UI thread woken even while resting.
    void PostUrgent(std::function<void()> work);
    // Any thread: the UI thread is to call Drain soon.
    virtual void WakeToDrain() = 0;
    // UI thread only: the UI thread is to call Drain once kRestMs have passed.
    virtual void Rest() = 0;

private:
    enum class State { kIdle, kWakePending, kResting };

    std::mutex m_mutex;
    std::deque<std::function<void()>> m_items;
    State m_state = State::kIdle;
};
