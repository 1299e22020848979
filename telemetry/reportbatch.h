// What the event reporter sends: the JSON batch of queued events and the two
// header lines that sign a request. Pure functions of their inputs (apart
// from the fresh event ids), so they can be checked without a server.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <vector>

#include "rapidjson/document.h"

// winbase.h maps ReportEvent to the event-log call; this program does not use
// that call, and the name is ours from here on.
#undef ReportEvent

// JSON values of report bodies: RapidJSON with the C-runtime allocator.
using JsonAllocator = rapidjson::CrtAllocator;
using JsonValue = rapidjson::GenericValue<rapidjson::UTF8<>, JsonAllocator>;

// Adds an event's own members to its "properties" object. String values are
// in the system code page; copy them into the allocator, e.g.
//   [](JsonValue& p, JsonAllocator& a) { p.AddMember("failure_reason", JsonValue("xp", a), a); }
using FillProperties = std::function<void(JsonValue& properties, JsonAllocator& allocator)>;

struct ReportEvent {
    std::wstring eventKey;
    uint64_t timestamp = 0;         // ms since 1970 UTC, whole seconds (a multiple of 1000)
    FillProperties fillProperties;  // may be empty
};

namespace telemetry {
namespace reportbatch {

// Who is reporting; the same for every event.
struct Identity {
    std::wstring openId;
    std::wstring deviceId;
    std::wstring language;
};

// The events, oldest first, as a pretty-printed JSON array (4-space indent),
// each with a new event id; "[]" for none. Calls every fillProperties.
std::string body(const std::list<ReportEvent>& events, const Identity& identity);

// The request time T: epoch seconds * 1000 + the tick count modulo 1000.
uint64_t requestTime(uint64_t epochSeconds, DWORD tickCount);

// "timestamp: T" and "signature: " + the last 8 characters of the MD5 of the
// salt, T and eventCount * 1024. Empty when the digest cannot be made.
std::vector<std::string> signatureHeaders(uint64_t requestTime, std::size_t eventCount);

}  // namespace reportbatch
}  // namespace telemetry
