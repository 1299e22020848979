#include "net/OvCurlDownloader.h"

#include <curl/curl.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "common/Handle.h"
#include "common/log.h"
#include "common/textconv.h"
#include "config/BuildSettings.h"
#include "utility/FileWriter.h"
#include "utility/ufile.h"

namespace {

using CurlHandle = common::UniqueHandle<common::NullHandleTraits<CURL*, &curl_easy_cleanup>>;
using CurlHeaders = common::UniqueHandle<common::NullHandleTraits<curl_slist*, &curl_slist_free_all>>;

const char kJsonContentType[] = "Content-Type:application/json;charset=UTF-8";
const long kMaxRedirects = 5;
const long kPostConnectTimeoutMs = 8000;
// A peer that stops sending (or never answers) for this long is given up.
const long kStallSeconds = 60;
const curl_off_t kMaxReceiveBytesPerSecond = 20971520;
const DWORD kProgressIntervalMs = 1000;
const wchar_t kPartialSuffix[] = L".part";

std::wstring errorText(CURLcode code) {
    return common::ansiToWide(curl_easy_strerror(code));
}

// Both memory writers behave alike; only their log tags differ.
size_t appendToBuffer(const char* tag, const char* data, size_t size, size_t count, std::string* buffer) {
    const size_t bytes = size * count;
    try {
        buffer->append(data, bytes);
    } catch (const std::bad_alloc&) {
        OV_LOG(tag, L"not enough memory error %d", static_cast<int>(GetLastError()));
        return 0;  // makes libcurl abort the transfer
    }
    return bytes;
}

size_t WriteMemoryCallback(char* data, size_t size, size_t count, void* buffer) {
    return appendToBuffer("WriteMemoryCallback", data, size, count, static_cast<std::string*>(buffer));
}

size_t WriteMemoryCallbackPost(char* data, size_t size, size_t count, void* buffer) {
    return appendToBuffer("WriteMemoryCallbackPost", data, size, count, static_cast<std::string*>(buffer));
}

size_t writeFileCallback(char* data, size_t size, size_t count, void* file) {
    const size_t bytes = size * count;
    return static_cast<utility::FileWriter*>(file)->write(data, bytes) ? bytes : 0;
}

int progressCallback(void* record, curl_off_t total, curl_off_t done, curl_off_t, curl_off_t) {
    OvCurlDownloader::reportProgress(*static_cast<OvCurlDownloader::ProgressRecord*>(record),
                                     static_cast<double>(total), static_cast<double>(done), GetTickCount());
    return 0;  // progress never aborts the transfer
}

// The program runs what it downloads with administrator rights: peer and
// host name are always verified. Windows' own store is the trust anchor; a
// test build's harness may name its test CA instead (never in release builds).
void applyTrust(CURL* curl) {
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
#if ORVANE_TEST_ENDPOINTS
    const char* caFile = std::getenv("ORVANE_TEST_CA_FILE");
    if (caFile && *caFile) {
        curl_easy_setopt(curl, CURLOPT_CAINFO, caFile);
        return;
    }
#endif
    curl_easy_setopt(curl, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_NATIVE_CA));
}

// Options every transfer shares.
void applyCommon(CURL* curl, const std::string& url) {
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    // libcurl follows without limit by default; a redirect loop would never end.
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
    // A secure transfer never continues over plain http.
    const bool secure = _strnicmp(url.c_str(), "https://", 8) == 0;
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
    // An error page is not the document or file that was asked for.
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    applyTrust(curl);
    curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // Without this a silent server holds a transfer, and its thread, for ever.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
}

// Performs a transfer into memory and logs its outcome under tag.
bool performToMemory(const char* tag, CURL* curl, std::string& buffer, std::string& out) {
    const CURLcode code = curl_easy_perform(curl);
    if (code != CURLE_OK) {
        OV_LOG(tag, L"curl download error %s", errorText(code).c_str());
        return false;
    }
    OV_LOG(tag, L"curl download sucess %d", static_cast<int>(buffer.size()));
    out.swap(buffer);
    return true;
}

}  // namespace

bool OvCurlDownloader::downloadMemory(const std::string& url, std::string& body) {
    const char* tag = "OvCurlDownloader::downloadMemory";
    OV_LOG(tag, L"OvCurlDownloader::downloadMemory start");
    CurlHandle curl(curl_easy_init());
    if (!curl) {
        OV_LOG(tag, L"curl init error");
        return false;
    }
    std::string buffer;
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, &WriteMemoryCallback);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &buffer);
    applyCommon(curl.get(), url);
    return performToMemory(tag, curl.get(), buffer, body);
}

bool OvCurlDownloader::postRequest(const std::string& url, const std::string& body,
                                   const std::vector<std::string>& headerLines, std::string& response) {
    const char* tag = "OvCurlDownloader::postRequest";
    OV_LOG(tag, L"OvCurlDownloader::postRequest start");
    CurlHandle curl(curl_easy_init());
    CurlHeaders headers(curl_slist_append(nullptr, kJsonContentType));
    if (!curl || !headers) {
        OV_LOG(tag, L"curl init error");
        return false;
    }
    for (const std::string& line : headerLines) {
        // curl_slist_append leaves the list alone when it fails.
        if (curl_slist_append(headers.get(), line.c_str()) == nullptr) {
            OV_LOG(tag, L"curl init error");
            return false;
        }
    }
    const std::string utf8Body = common::ansiToUtf8(body);
    std::string buffer;
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, &WriteMemoryCallbackPost);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &buffer);
    curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(curl.get(), CURLOPT_POST, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, utf8Body.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDSIZE, static_cast<long>(utf8Body.size()));
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT_MS, kPostConnectTimeoutMs);
    applyCommon(curl.get(), url);
    return performToMemory(tag, curl.get(), buffer, response);
}

bool OvCurlDownloader::downloadFile(const std::wstring& path, const std::string& url,
                                    ProgressCallback progress) {
    const char* tag = "OvCurlDownloader::downloadFile";
    OV_LOG(tag, L"OvCurlDownloader::downloadfile start");
    CurlHandle curl(curl_easy_init());
    if (!curl) {
        OV_LOG(tag, L"curl init error");
        return false;
    }
    const std::wstring partial = path + kPartialSuffix;
    utility::FileWriter file;
    if (!file.open(partial)) {
        OV_LOG(tag, L"openfile error path : %s. %d", partial.c_str(), static_cast<int>(GetLastError()));
        return false;
    }
    ProgressRecord record;
    record.callback = std::move(progress);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, &writeFileCallback);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &file);
    curl_easy_setopt(curl.get(), CURLOPT_MAX_RECV_SPEED_LARGE, kMaxReceiveBytesPerSecond);
    curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, &record);
    curl_easy_setopt(curl.get(), CURLOPT_XFERINFOFUNCTION, &progressCallback);
    applyCommon(curl.get(), url);

    const CURLcode code = curl_easy_perform(curl.get());
    file.close();
    if (code != CURLE_OK) {
        OV_LOG(tag, L"download error %s", errorText(code).c_str());
        OV_LOG(tag, L"curl download file error %s", errorText(code).c_str());
        utility::ufile::removeFile(partial);
        return false;
    }
    if (!utility::ufile::moveFile(partial, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
        utility::ufile::removeFile(partial);
        return false;
    }
    OV_LOG(tag, L"curl download  file sucess");
    return true;
}

void OvCurlDownloader::reportProgress(ProgressRecord& record, double total, double done, DWORD now) {
    if (total > -0.1 && total < 0.1) return;
    const double ratio = done / total * 100.0;
    // The last percent is kept for the end of the whole operation.
    const int percent = ratio >= 100.0 ? 99 : ratio < 0.0 ? 0 : static_cast<int>(ratio);
    if (now - record.lastTick <= kProgressIntervalMs) return;
    record.lastTick = now;
    if (record.callback) record.callback(percent);
}
