// Runs one work item on a thread of its own and stops it with a bounded wait.
//
//   thread_.start(new MemberFuncRunable<Model>(this, &Model::_threadWork));
//   ...
//   thread_.signal();      // ask the item to finish
//   thread_.stop(1000);    // wait at most 1 s, then terminate
//
// The item polls isStopping() or sleeps in waitForSignal() to notice the
// request. stop() does not set the flag itself. Not thread-safe: start, stop
// and the destructor belong to the owner's thread; signal and isStopping may
// be called from anywhere. The destructor does nothing: owners stop() in
// their own take-down.
#pragma once

#include <windows.h>

#include <atomic>

#include "common/Handle.h"
#include "common/Runable.h"

class RunableThread {
public:
    RunableThread() = default;
    RunableThread(const RunableThread&) = delete;
    RunableThread& operator=(const RunableThread&) = delete;

    // Runs item->run() once on a new thread and takes the item. False, item
    // not taken, when this holder already has a thread or none could be
    // started. A holder that was stopped can start again.
    bool start(Runable* item);

    // Sets the stop flag and wakes waitForSignal().
    void signal();
    bool isStopping() const { return stopping_.load(); }
    // True while a started thread has not ended yet. Owner's thread.
    bool isRunning() const { return thread_ && WaitForSingleObject(thread_.get(), 0) == WAIT_TIMEOUT; }

    // For the item: sleeps up to timeoutMs; true when woken by signal().
    bool waitForSignal(DWORD timeoutMs);

    // Waits up to timeoutMs for the thread, terminates it if it is still
    // running, then releases the item. A terminated item gets no chance to
    // clean up, so items should honour the stop flag.
    void stop(DWORD timeoutMs);

private:
    Runable* work_ = nullptr;
    common::Handle thread_;
    common::Handle wake_;
    std::atomic<bool> stopping_{false};
};
