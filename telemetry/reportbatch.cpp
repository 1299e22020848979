#include "telemetry/reportbatch.h"

#include "common/textconv.h"
#include "rapidjson/prettywriter.h"
#include "rapidjson/stringbuffer.h"
#include "telemetry/identity.h"

namespace telemetry {
namespace reportbatch {

namespace {

using JsonDocument = rapidjson::GenericDocument<rapidjson::UTF8<>, JsonAllocator, JsonAllocator>;

const char kSalt[] = "gooivnwe*hkaswyqif=";
const char kAppVersion[] = "2.2";
const int kAppId = 1;
const int kDownloaderPackage = 1;
const std::size_t kSignatureLength = 8;
const std::size_t kMinDigestLength = 16;

// Strings go in as the system code page; the transfer layer makes the body UTF-8.
JsonValue text(const std::wstring& value, JsonAllocator& allocator) {
    const std::string narrow = common::wideToAnsi(value);
    return JsonValue(narrow.c_str(), static_cast<rapidjson::SizeType>(narrow.size()), allocator);
}

JsonValue properties(const ReportEvent& event, const Identity& identity, JsonAllocator& allocator) {
    JsonValue props(rapidjson::kObjectType);
    props.AddMember("mnq_version", JsonValue(kAppVersion, allocator), allocator);
    props.AddMember("mnq_mac", text(identity.deviceId, allocator), allocator);
    props.AddMember("device_id", text(identity.deviceId, allocator), allocator);
    props.AddMember("openid", text(identity.openId, allocator), allocator);
    props.AddMember("language", text(identity.language, allocator), allocator);
    props.AddMember("downloader_package", JsonValue(kDownloaderPackage), allocator);
    if (event.fillProperties) event.fillProperties(props, allocator);
    return props;
}

JsonValue eventObject(const ReportEvent& event, const Identity& identity, JsonAllocator& allocator) {
    JsonValue object(rapidjson::kObjectType);
    object.AddMember("appId", JsonValue(kAppId), allocator);
    // A fresh id every time an event is sent; empty when no GUID could be made.
    object.AddMember("eventId", text(identity::makeGuidString(), allocator), allocator);
    object.AddMember("eventKey", text(event.eventKey, allocator), allocator);
    object.AddMember("timestamp", JsonValue(static_cast<uint64_t>(event.timestamp)), allocator);
    object.AddMember("properties", properties(event, identity, allocator), allocator);
    return object;
}

}  // namespace

std::string body(const std::list<ReportEvent>& events, const Identity& identity) {
    JsonDocument batch;
    batch.SetArray();
    JsonAllocator& allocator = batch.GetAllocator();
    for (const ReportEvent& event : events)
        batch.PushBack(eventObject(event, identity, allocator), allocator);

    rapidjson::GenericStringBuffer<rapidjson::UTF8<>, JsonAllocator> buffer;
    rapidjson::PrettyWriter<decltype(buffer), rapidjson::UTF8<>, rapidjson::UTF8<>, JsonAllocator> writer(
        buffer);
    batch.Accept(writer);
    return std::string(buffer.GetString(), buffer.GetSize());
}

uint64_t requestTime(uint64_t epochSeconds, DWORD tickCount) {
    return epochSeconds * 1000 + tickCount % 1000;
}

std::vector<std::string> signatureHeaders(uint64_t time, std::size_t eventCount) {
    const std::string timeText = std::to_string(time);
    const std::string input = kSalt + timeText + std::to_string(static_cast<uint64_t>(eventCount) * 1024);
    const std::string digest = identity::md5Hex(input.data(), static_cast<std::ptrdiff_t>(input.size()));
    if (digest.size() < kMinDigestLength) return {};
    return {"timestamp: " + timeText, "signature: " + digest.substr(digest.size() - kSignatureLength)};
}

}  // namespace reportbatch
}  // namespace telemetry
