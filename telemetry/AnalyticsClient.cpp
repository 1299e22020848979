#include "telemetry/AnalyticsClient.h"

#include <atomic>
#include <condition_variable>
#include <list>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "common/textconv.h"
#include "config/endpoints.h"
#include "net/OvCurlDownloader.h"
#include "rapidjson/stringbuffer.h"
#include "rapidjson/writer.h"
#include "telemetry/identity.h"

namespace {

const char kEventCategory[] = "2.2";

struct Task {
    std::wstring name;
    std::wstring label;
};

}  // namespace

// Everything the worker uses. The worker holds its own reference, so a
// client destroyed during a post leaves this alive until the worker ends.
struct AnalyticsClient::Shared {
    mutable std::mutex lock;       // guards everything below but disabled
    std::condition_variable wake;  // a queued event, or stop
    std::condition_variable ended;
    std::list<Task> queue;  // oldest first
    std::wstring clientId;
    std::wstring measurementId;
    std::wstring apiSecret;
    bool stop = false;
    bool busy = false;     // the worker is posting
    bool running = false;  // a worker was launched and has not ended
    std::atomic<bool> disabled{false};

    std::wstring ensureClientId();
    void post(const Task& task);
    static void work(std::shared_ptr<Shared> self);
};

std::wstring AnalyticsClient::Shared::ensureClientId() {
    {
        std::lock_guard<std::mutex> guard(lock);
        if (!clientId.empty()) return clientId;
    }
    // The adapter query runs without the lock; an empty result is tried again next time.
    const std::wstring id = telemetry::identity::makeDeviceId();
    std::lock_guard<std::mutex> guard(lock);
    if (clientId.empty()) clientId = id;
    return clientId;
}

void AnalyticsClient::Shared::post(const Task& task) {
    std::wstring address;
    std::wstring id;
    {
        std::lock_guard<std::mutex> guard(lock);
        address =
            url(config::endpoints::origin(config::endpoints::Host::Analytics), measurementId, apiSecret);
        id = clientId;
    }
    // The answer is of no use; the transfer layer logs failures.
    std::string response;
    OvCurlDownloader::postRequest(common::wideToAnsi(address), body(id, task.name, task.label), {}, response);
}

void AnalyticsClient::Shared::work(std::shared_ptr<Shared> self) {
    for (;;) {
        self->ensureClientId();
        Task task;
        {
            std::unique_lock<std::mutex> guard(self->lock);
            self->wake.wait(guard, [&] { return self->stop || !self->queue.empty(); });
            if (self->stop) {
                self->running = false;
                self->ended.notify_all();
                return;
            }
            task = std::move(self->queue.front());
            self->queue.pop_front();
            self->busy = true;
        }
        self->post(task);
        std::lock_guard<std::mutex> guard(self->lock);
        self->busy = false;
    }
}

AnalyticsClient::AnalyticsClient() : shared_(std::make_shared<Shared>()) {}

AnalyticsClient::~AnalyticsClient() {
    std::unique_lock<std::mutex> guard(shared_->lock);
    shared_->stop = true;
    shared_->queue.clear();
    shared_->wake.notify_all();
    // Only an idle worker is waited for: it ends as soon as it wakes. One
    // that is posting may be held up by the server for long.
    if (!shared_->busy) shared_->ended.wait(guard, [&] { return !shared_->running; });
}

void AnalyticsClient::setMeasurement(const std::wstring& measurementId, const std::wstring& apiSecret) {
    std::lock_guard<std::mutex> guard(shared_->lock);
    shared_->measurementId = measurementId;
    shared_->apiSecret = apiSecret;
}

std::wstring AnalyticsClient::getClientId() {
    return shared_->ensureClientId();
}

void AnalyticsClient::sendEvent(const std::wstring& name, const std::wstring& label) {
    if (shared_->disabled) return;
    {
        std::lock_guard<std::mutex> guard(shared_->lock);
        if (shared_->queue.size() >= kQueueLimit) return;
        shared_->queue.push_back({name, label});
        shared_->wake.notify_one();
        if (shared_->running) return;
        shared_->running = true;
    }
    try {
        std::thread(&Shared::work, shared_).detach();
    } catch (const std::system_error&) {
        // The event stays queued; the next sendEvent tries to launch again.
        std::lock_guard<std::mutex> guard(shared_->lock);
        shared_->running = false;
    }
}

void AnalyticsClient::sendEventNow(const std::wstring& name, const std::wstring& label) {
    if (shared_->disabled) return;
    shared_->ensureClientId();
    shared_->post({name, label});
}

void AnalyticsClient::disable() {
    shared_->disabled = true;
}

std::size_t AnalyticsClient::pendingEvents() const {
    std::lock_guard<std::mutex> guard(shared_->lock);
    return shared_->queue.size() + (shared_->busy ? 1 : 0);
}

std::string AnalyticsClient::body(const std::wstring& clientId, const std::wstring& name,
                                  const std::wstring& label) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    auto text = [&writer](const std::wstring& value) {
        const std::string narrow = common::wideToAnsi(value);
        writer.String(narrow.c_str(), static_cast<rapidjson::SizeType>(narrow.size()));
    };
    writer.StartObject();
    writer.Key("client_id");
    text(clientId);
    writer.Key("events");
    writer.StartArray();
    writer.StartObject();
    writer.Key("name");
    text(name);
    writer.Key("params");
    writer.StartObject();
    writer.Key("event_category");
    writer.String(kEventCategory);
    writer.Key("event_label");
    text(label);
    writer.EndObject();
    writer.EndObject();
    writer.EndArray();
    writer.EndObject();
    return std::string(buffer.GetString(), buffer.GetSize());
}

std::wstring AnalyticsClient::url(const std::wstring& origin, const std::wstring& measurementId,
                                  const std::wstring& apiSecret) {
    return origin + L"/mp/collect?measurement_id=" + measurementId + L"&api_secret=" + apiSecret;
}
