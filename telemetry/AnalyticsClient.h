// Sends analytics measurement events: one POST per event naming the device,
// the event and a label. sendEvent queues for a background worker (started
// by the first queued event, posting strictly in order); sendEventNow posts
// on the calling thread, for paths that end the process right afterwards.
//
// Threads: sendEvent, sendEventNow, getClientId and pendingEvents from any
// thread; setMeasurement and disable from the owner's thread (the model's
// init and stop).
//
// Destruction never waits on the network. It tells the worker to end and
// drops the events still queued; an idle worker is waited for (it ends at
// once), a worker in the middle of a post is left to finish that post by
// itself and then ends. The worker keeps only state it shares with the
// client, so it never touches a destroyed client.
//
//   AnalyticsClient client;
//   client.setMeasurement(L"G-XXXX", L"secret");
//   client.sendEvent(L"download_run", openId);
#pragma once

#include <cstddef>
#include <memory>
#include <string>

class AnalyticsClient {
public:
    // Events waiting beyond this many are dropped.
    static constexpr std::size_t kQueueLimit = 100;

    AnalyticsClient();
    ~AnalyticsClient();
    AnalyticsClient(const AnalyticsClient&) = delete;
    AnalyticsClient& operator=(const AnalyticsClient&) = delete;

    void setMeasurement(const std::wstring& measurementId, const std::wstring& apiSecret);
    // The device id, computed on first need (and again while it is empty).
    std::wstring getClientId();

    // Queues the event unless disabled or kQueueLimit events wait already.
    void sendEvent(const std::wstring& name, const std::wstring& label);
    // Posts the event on this thread unless disabled; returns when done.
    void sendEventNow(const std::wstring& name, const std::wstring& label);
    // From now on both sends do nothing.
    void disable();

    // Events queued or being posted.
    std::size_t pendingEvents() const;

    // The compact JSON body (strings in the system code page).
    static std::string body(const std::wstring& clientId, const std::wstring& name,
                            const std::wstring& label);
    // origin + "/mp/collect?measurement_id=...&api_secret=...", values as given.
    static std::wstring url(const std::wstring& origin, const std::wstring& measurementId,
                            const std::wstring& apiSecret);

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};
