// Runs work items and timer callbacks on the window thread.
//
// Workers never touch windows; they post a Runable through a UiTaskOwner and
// the window thread runs it from its message loop, one item at a time, in the
// order the posts reached the queue. Every posted item is owned by the
// dispatcher and released after it ran or was skipped.
//
// Cancellation is per owner and is checked right before an item runs: items
// of a cancelled owner that are still queued are released without running.
// An item that is already running is not interrupted. The owner counts its
// pending items rather than marking them, so after cancel() the next post
// makes the owner live again and the first of its items dispatched from then
// on runs, whichever post it came from.
//
//   class Model {
//       UiTaskOwner ui_;
//       void _threadWork() {             // worker thread
//           int result = compute();
//           ui_.post(new FunctionRunable([this, result] { onDone(result); }));
//       }
//       void shutdown() { ui_.cancel(); }  // before the object goes away
//   };
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>

#include "common/Runable.h"

class UiTaskOwner;

// Process-wide; created on the calling thread by the first instance() call,
// which initLog makes on the window thread before any poster exists. Never
// destroyed.
class UiDispatcher {
public:
    static UiDispatcher& instance();

    UiDispatcher(const UiDispatcher&) = delete;
    UiDispatcher& operator=(const UiDispatcher&) = delete;

    // Any thread. Takes the item in every case; returns the system post's result.
    bool post(const UiTaskOwner* owner, Runable* item);
    // Any thread.
    void cancel(const UiTaskOwner* owner);

    // Window thread only. startTimer returns the timer id, or 0 when the
    // system refused (the item then stays with the caller).
    unsigned startTimer(unsigned intervalMs, Runable* item);
    void killTimer(unsigned id);

    DWORD ownerThreadId() const { return ownerThread_; }

private:
    UiDispatcher();
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void dispatch(WPARAM owner, Runable* item);
    void tick(UINT_PTR id);

    CRITICAL_SECTION lock_;
    DWORD ownerThread_ = 0;
    HWND window_ = nullptr;
    std::map<UINT_PTR, Runable*> timers_;  // window thread only
    unsigned timerCounter_ = 0;
    std::map<WPARAM, std::int32_t> ownerCounters_;  // guarded by lock_
};

// An owner key for posts: embed one per object that posts, and cancel() it
// when the object shuts down. Only its address matters.
class UiTaskOwner {
public:
    UiTaskOwner() = default;
    UiTaskOwner(const UiTaskOwner&) = delete;
    UiTaskOwner& operator=(const UiTaskOwner&) = delete;

    // Any thread; the dispatcher owns the item from now on.
    bool post(Runable* item);
    // Any thread; see the cancellation rule above.
    void cancel();
};

// Posts a callable through a process-wide owner. An empty function is
// refused (false) rather than left to throw on the window thread.
bool postToUiThread(std::function<void()> fn);

// A repeating timer on the dispatcher, owned by a window-thread object.
// All calls, and the destructor, on the window thread. The item runs on every
// tick until stop() or until this object goes away.
class UiTimer {
public:
    UiTimer() = default;
    ~UiTimer();
    UiTimer(const UiTimer&) = delete;
    UiTimer& operator=(const UiTimer&) = delete;

    // False, item not taken, for 0 ms, a null item or a refused timer.
    // A timer this object already holds is stopped first.
    bool start(unsigned intervalMs, Runable* item);
    // Stops the timer and releases its item; nothing when none is held.
    void stop();
    bool isRunning() const { return id_ != 0; }

private:
    unsigned id_ = 0;
};
