// Blocking transfers through libcurl: a document into memory, a JSON POST, a
// file download with throttled progress. No state: each call uses its own
// easy handle. Call from worker threads; curl_global_init has run at start-up.
//
// Server certificates are verified (peer and host name) against the system
// store; a test build may be handed a CA file instead (ORVANE_TEST_CA_FILE).
// Responses with an HTTP error status (400 and above) count as failures, and
// at most 5 redirects are followed, never from https to http.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class OvCurlDownloader {
public:
    using ProgressCallback = std::function<void(int percent)>;

    // Throttle state of one file download.
    struct ProgressRecord {
        DWORD lastTick = 0;
        ProgressCallback callback;
    };

    // url in the system code page. body holds the response on success.
    static bool downloadMemory(const std::string& url, std::string& body);

    // Posts body (system code page, sent as UTF-8) with the content type
    // "Content-Type:application/json;charset=UTF-8" first, then headerLines in
    // their order. response holds the answer on success.
    static bool postRequest(const std::string& url, const std::string& body,
                            const std::vector<std::string>& headerLines, std::string& response);

    // Downloads url (system code page) to path, at most 20971520 bytes per
    // second. The body goes to a sibling file first and replaces path only
    // when it arrived whole, so a failure never leaves a truncated file under
    // path. progress (may be empty) gets a percentage at most once a second.
    static bool downloadFile(const std::wstring& path, const std::string& url, ProgressCallback progress);

    // One progress notification of downloadFile: nothing while the total is
    // unknown (about 0) or until more than 1000 ms have passed since the last
    // report; the percentage stops at 99. now is the current tick count.
    static void reportProgress(ProgressRecord& record, double total, double done, DWORD now);
};
