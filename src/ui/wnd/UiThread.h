#pragma once

#include <functional>

// The one place where another thread hands work to the UI thread. A call from the UI thread
// itself runs at once. Waiting calls return after the UI thread has run them; posted calls
// keep their order with every other call but do not wait.
class UiThread {
public:
    // On the UI thread, once the application object exists.
    static void Install();
    // False when Install could not make the descriptor that wakes the UI thread.
    static bool IsInstalled();
    static void Uninstall();
    static bool IsCurrent();

    static void Call(const std::function<void()>& work);
    static void Post(std::function<void()> work);

    // UI thread only: runs the calls other threads hand over, and nothing else, until done()
    // holds. Used where the UI thread must wait for a thread that itself waits for the UI.
    static void ServeUntil(const std::function<bool()>& done);
    // Makes a ServeUntil look at its condition again.
    static void Wake();
    // UI thread only: runs whatever is queued now.
    static void RunPending();
};
