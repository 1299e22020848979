#include "telemetry/OvReporter.h"

#include <utility>
#include <vector>

#include "common/log.h"
#include "common/textconv.h"
#include "config/endpoints.h"
#include "net/OvCurlDownloader.h"

namespace {

const char kTag[] = "OvReporter::_threadReport";
const DWORD kCycleMs = 20000;
// "[]" and other near-empty texts are not worth a request.
const std::size_t kMinBodyLength = 6;
const wchar_t kUploadPath[] = L"/collection/biz/upload";

uint64_t epochSeconds() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const uint64_t ticks = (uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;  // 100 ns since 1601
    const uint64_t kEpochOffset = 116444736000000000ULL;                              // 1601 -> 1970
    return ticks < kEpochOffset ? 0 : (ticks - kEpochOffset) / 10000000;
}

}  // namespace

// Never destroyed: the worker may still run while the process exits.
OvReporter* OvReporter::instance() {
    static OvReporter* reporter = new OvReporter();
    return reporter;
}

void OvReporter::report(const std::wstring& eventKey, FillProperties fillProperties) {
    ReportEvent event{eventKey, epochSeconds() * 1000, std::move(fillProperties)};
    std::lock_guard<std::mutex> guard(queueLock_);
    queue_.push_back(std::move(event));
}

void OvReporter::init(const std::wstring& openId, const std::wstring& deviceId,
                      const std::wstring& language) {
    if (started_) return;  // the worker reads the identity without a lock
    started_ = true;
    identity_ = {openId, deviceId, language};
    Runable* work = new MemberFuncRunable<OvReporter>(this, &OvReporter::_threadReport);
    if (!worker_.start(work)) work->release();  // not taken: still ours
}

void OvReporter::stop(DWORD waitMs) {
    worker_.signal();
    worker_.stop(waitMs);
}

void OvReporter::_threadReport() {
    for (;;) {
        OV_LOG(kTag, L"waitfor event");
        worker_.waitForSignal(kCycleMs);
        OV_LOG(kTag, L"event comming");
        // Read before the cycle, so a stop that arrives while this cycle
        // posts still gets a cycle of its own for the events queued since.
        const bool last = worker_.isStopping();
        sendQueued();
        if (last) return;
    }
}

void OvReporter::sendQueued() {
    // Taken out under the lock and built outside it, so neither the network
    // nor an event's fillProperties can hold up report().
    std::list<ReportEvent> events;
    {
        std::lock_guard<std::mutex> guard(queueLock_);
        events.swap(queue_);
    }
    const std::string body = telemetry::reportbatch::body(events, identity_);
    if (body.size() < kMinBodyLength) {
        OV_LOG(kTag, L"no body");
        return;
    }
    const uint64_t time = telemetry::reportbatch::requestTime(epochSeconds(), GetTickCount());
    const std::vector<std::string> headers = telemetry::reportbatch::signatureHeaders(time, events.size());
    if (headers.empty()) {
        OV_LOG(kTag, L"md5 calc error!!");
        return;
    }
    OV_LOG(kTag, L"post report quest");
    const std::wstring url = config::endpoints::origin(config::endpoints::Host::Report) + kUploadPath;
    std::string response;
    OvCurlDownloader::postRequest(common::wideToAnsi(url), body, headers, response);
    OV_LOG(kTag, L"report ret:%s", common::utf8ToWide(response).c_str());
}
