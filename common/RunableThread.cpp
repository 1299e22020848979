#include "common/RunableThread.h"

#include <process.h>

namespace {

// TerminateThread only requests the end; this bounds the wait for it.
const DWORD kTerminateWaitMs = 5000;

unsigned __stdcall threadProc(void* arg) {
    static_cast<Runable*>(arg)->run();
    return 0;
}

}  // namespace

bool RunableThread::start(Runable* item) {
    if (thread_ || !item) return false;
    stopping_ = false;
    wake_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    // _beginthreadex rather than CreateThread so the CRT is set up for the thread.
    const uintptr_t handle = _beginthreadex(nullptr, 0, &threadProc, item, 0, nullptr);
    if (handle == 0) {
        // Reporting success here would leave the caller waiting on a thread
        // that never ran; the item stays with the caller instead.
        wake_.reset();
        return false;
    }
    thread_.reset(reinterpret_cast<HANDLE>(handle));
    work_ = item;
    return true;
}

void RunableThread::signal() {
    stopping_ = true;
    if (wake_) SetEvent(wake_.get());
}

bool RunableThread::waitForSignal(DWORD timeoutMs) {
    if (!wake_) return isStopping();
    return WaitForSingleObject(wake_.get(), timeoutMs) == WAIT_OBJECT_0;
}

void RunableThread::stop(DWORD timeoutMs) {
    if (thread_ && WaitForSingleObject(thread_.get(), timeoutMs) == WAIT_TIMEOUT) {
        TerminateThread(thread_.get(), static_cast<DWORD>(-1));
        if (WaitForSingleObject(thread_.get(), kTerminateWaitMs) != WAIT_OBJECT_0) {
            // Still executing inside the item: leaking it beats freeing
            // memory the thread may yet touch.
            work_ = nullptr;
        }
    }
    thread_.reset();
    if (work_) {
        work_->release();
        work_ = nullptr;
    }
    wake_.reset();
}
