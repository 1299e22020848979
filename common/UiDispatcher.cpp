#include "common/UiDispatcher.h"

namespace {

const UINT kRunMessage = 8888;

// Holds one lock for a scope.
class CriticalSectionLock {
public:
    explicit CriticalSectionLock(CRITICAL_SECTION& cs) : cs_(cs) { EnterCriticalSection(&cs_); }
    ~CriticalSectionLock() { LeaveCriticalSection(&cs_); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
    CRITICAL_SECTION& cs_;
};

}  // namespace

UiDispatcher& UiDispatcher::instance() {
    // Deliberately leaked: items may still be posted while the process ends.
    static UiDispatcher* dispatcher = new UiDispatcher();
    return *dispatcher;
}

UiDispatcher::UiDispatcher() {
    InitializeCriticalSection(&lock_);
    ownerThread_ = GetCurrentThreadId();
    // A message-only window: it never shows and receives no broadcasts, only
    // what we post to it. A system class saves registering one of our own.
    window_ =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&UiDispatcher::windowProc));
    }
}

LRESULT CALLBACK UiDispatcher::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<UiDispatcher*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == kRunMessage) {
        self->dispatch(wParam, reinterpret_cast<Runable*>(lParam));
        return 0;
    }
    if (self && message == WM_TIMER) {
        self->tick(wParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool UiDispatcher::post(const UiTaskOwner* owner, Runable* item) {
    if (!item) return false;
    if (!window_) {
        // Without the window, PostMessageW(nullptr) would turn into a thread
        // message for the caller's own queue and the item would be lost.
        item->release();
        return false;
    }
    const WPARAM key = reinterpret_cast<WPARAM>(owner);
    {
        CriticalSectionLock lock(lock_);
        // A cancelled owner sits at -1, so this post brings it back to 0.
        ++ownerCounters_[key];
    }
    if (PostMessageW(window_, kRunMessage, key, reinterpret_cast<LPARAM>(item))) return true;
    // The item will never be dispatched, so nobody else would free it. The
    // counter stays raised: undoing it could push a cancelled owner below -1
    // and skip its next post.
    item->release();
    return false;
}

void UiDispatcher::cancel(const UiTaskOwner* owner) {
    CriticalSectionLock lock(lock_);
    auto it = ownerCounters_.find(reinterpret_cast<WPARAM>(owner));
    if (it != ownerCounters_.end()) it->second = -1;
}

void UiDispatcher::dispatch(WPARAM owner, Runable* item) {
    bool live = false;
    {
        CriticalSectionLock lock(lock_);
        auto it = ownerCounters_.find(owner);
        if (it != ownerCounters_.end() && it->second >= 0) {
            --it->second;
            live = true;
        }
    }
    if (live) item->run();
    item->release();
}

unsigned UiDispatcher::startTimer(unsigned intervalMs, Runable* item) {
    const unsigned id = timerCounter_ + 1;
    if (!SetTimer(window_, id, intervalMs, nullptr)) return 0;
    timerCounter_ = id;
    timers_[id] = item;
    return id;
}

void UiDispatcher::killTimer(unsigned id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    Runable* item = it->second;
    timers_.erase(it);
    KillTimer(window_, id);
    item->release();
}

void UiDispatcher::tick(UINT_PTR id) {
    auto it = timers_.find(id);
    if (it != timers_.end()) it->second->run();
}

bool UiTaskOwner::post(Runable* item) {
    return UiDispatcher::instance().post(this, item);
}

void UiTaskOwner::cancel() {
    UiDispatcher::instance().cancel(this);
}

bool postToUiThread(std::function<void()> fn) {
    if (!fn) return false;
    static UiTaskOwner owner;
    return owner.post(new FunctionRunable<std::function<void()>>(std::move(fn)));
}

UiTimer::~UiTimer() {
    // A timer outliving its holder would keep calling into a destroyed object.
    stop();
}

bool UiTimer::start(unsigned intervalMs, Runable* item) {
    if (intervalMs == 0 || !item) return false;
    // Overwriting a live id would orphan that timer: it could never be stopped.
    stop();
    id_ = UiDispatcher::instance().startTimer(intervalMs, item);
    return id_ != 0;
}

void UiTimer::stop() {
    if (id_ == 0) return;
    UiDispatcher::instance().killTimer(id_);
    id_ = 0;
}
