// Sends named events about the run to the report server. Callers queue an
// event and return at once; one worker wakes every 20 s (and once more when
// stopped), sends everything queued as one signed JSON batch, and forgets it:
// no retry, no persistence.
//
// Process-wide, created by the first instance() call and never destroyed.
// report() works from any thread at any time, also before init(); those
// events wait for the first cycle after init(). init() and stop() belong to
// the window thread.
//
//   OvReporter::instance()->report(L"install_fail", [](JsonValue& p, JsonAllocator& a) {
//       p.AddMember("failure_reason", JsonValue("timeout", a), a);
//   });
//   ...
//   OvReporter::instance()->stop(3000);   // at shutdown: one last batch, bounded wait
#pragma once

#include <windows.h>

#include <list>
#include <mutex>
#include <string>

#include "common/RunableThread.h"
#include "telemetry/reportbatch.h"

class OvReporter {
public:
    static OvReporter* instance();

    OvReporter(const OvReporter&) = delete;
    OvReporter& operator=(const OvReporter&) = delete;

    // Queues the event with the current time. fillProperties (may be empty)
    // runs later on the worker; it must not wait for a thread that reports.
    void report(const std::wstring& eventKey, FillProperties fillProperties = {});

    // Sets who reports and starts the worker; its first cycle comes 20 s
    // later. Only the first call counts.
    void init(const std::wstring& openId, const std::wstring& deviceId, const std::wstring& language);

    // Makes the worker run one more cycle, which sends what is queued by
    // now, and end; waits up to waitMs, then terminates it. Events reported
    // afterwards are never sent.
    void stop(DWORD waitMs);

    // The worker loop; not called directly.
    void _threadReport();

private:
    OvReporter() = default;
    ~OvReporter() = default;

    void sendQueued();

    std::list<ReportEvent> queue_;               // oldest first
    std::mutex queueLock_;                       // guards queue_
    RunableThread worker_;                       // its signal is the wake-up for stop
    telemetry::reportbatch::Identity identity_;  // written by init before the worker starts
    bool started_ = false;
};
