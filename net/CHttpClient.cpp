#include "net/CHttpClient.h"

#include <cwchar>
#include <vector>

#include "common/log.h"

namespace utility {

namespace {

const DWORD kReadBufferSize = 32768;
const DWORD kHostNameChars = 256;  // 255 characters and the terminator
const wchar_t kSecurePrefix[] = L"https://";
// Redirects are followed here, not by WinINet, which follows a loop for ever.
const int kMaxRedirects = 5;

// Certificate checks stay on: the program runs what it downloads with
// administrator rights, so no INTERNET_FLAG_IGNORE_CERT_* here.
const DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_CACHE_ASYNC |
                            INTERNET_FLAG_TRANSFER_ASCII | INTERNET_FLAG_NO_AUTO_REDIRECT;

bool startsWithSecurePrefix(const std::wstring& url) {
    const size_t n = wcslen(kSecurePrefix);
    return url.size() >= n && _wcsnicmp(url.c_str(), kSecurePrefix, n) == 0;
}

bool isRedirect(DWORD status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// A response header as text; false when it is absent.
bool queryText(HINTERNET request, DWORD query, std::wstring& text) {
    std::vector<wchar_t> buffer(256);
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        if (HttpQueryInfoW(request, query, buffer.data(), &size, nullptr)) {
            text.assign(buffer.data(), size / sizeof(wchar_t));
            return true;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
        buffer.resize(size / sizeof(wchar_t) + 1);
    }
    return false;
}

// The length as text, so bodies past 4 GiB keep their size; -1 when absent.
int64_t queryContentLength(HINTERNET request) {
    std::wstring text;
    if (!queryText(request, HTTP_QUERY_CONTENT_LENGTH, text)) return -1;
    wchar_t* end = nullptr;
    const long long value = wcstoll(text.c_str(), &end, 10);
    if (end == text.c_str() || value < 0) return -1;
    return value;
}

// The absolute address a Location header points to from base.
bool resolveLocation(const std::wstring& base, const std::wstring& location, std::wstring& url) {
    std::vector<wchar_t> buffer(base.size() + location.size() + 64);
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD length = static_cast<DWORD>(buffer.size());
        if (InternetCombineUrlW(base.c_str(), location.c_str(), buffer.data(), &length, ICU_NO_ENCODE)) {
            url.assign(buffer.data(), length);
            return true;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
        buffer.resize(length + 1);
    }
    return false;
}

}  // namespace

bool CHttpClient::open(const std::wstring& url, const std::wstring& headers, IHttpClientSink* sink) {
    sink_ = sink;
    HINTERNET root = InternetOpenW(L"", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!root) return fail(kStepOpen);
    {
        std::lock_guard<std::mutex> lock(rootLock_);
        root_.reset(root);
    }
    if (!setTarget(url)) return fail(kStepCrackUrl);
    headers_ = headers;
    return true;
}

bool CHttpClient::setTarget(const std::wstring& url) {
    wchar_t host[kHostNameChars] = {};
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = kHostNameChars;
    parts.dwUrlPathLength = 1;  // non-zero: point into the URL
    if (!InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return false;
    url_ = url;
    host_ = host;
    port_ = parts.nPort;
    // The path runs to the end of the URL, so the query comes along.
    object_ = parts.lpszUrlPath ? std::wstring(parts.lpszUrlPath) : std::wstring();
    if (object_.empty()) object_ = L"/";
    secure_ = startsWithSecurePrefix(url);
    return true;
}

bool CHttpClient::run() {
    for (int redirects = 0;; ++redirects) {
        InternetHandle connection(InternetConnectW(rootHandle(), host_.c_str(), port_, nullptr, nullptr,
                                                   INTERNET_SERVICE_HTTP, 0, 1));
        if (!connection) return fail(kStepConnect);

        LPCWSTR acceptTypes[] = {L"*/*", nullptr};
        const DWORD flags = kRequestFlags | (secure_ ? INTERNET_FLAG_SECURE : 0);
        InternetHandle request(HttpOpenRequestW(connection.get(), L"GET", object_.c_str(), L"HTTP/1.1",
                                                nullptr, acceptTypes, flags, 1));
        if (!request) return fail(kStepRequest);
        if (!HttpSendRequestW(request.get(), headers_.c_str(), static_cast<DWORD>(headers_.size()), nullptr,
                              0)) {
            return fail(kStepRequest);
        }

        DWORD status = 0;
        DWORD size = sizeof(status);
        if (!HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                            nullptr)) {
            return fail(kStepStatus);
        }
        // A redirect that cannot be followed reaches the sink as its status.
        if (redirects < kMaxRedirects && isRedirect(status) && followRedirect(request.get())) continue;

        const int64_t length = queryContentLength(request.get());
        if (sink_ && !sink_->onHttpRecvHeader(length, static_cast<int>(status))) return false;
        return readBody(request.get(), length);
    }
}

bool CHttpClient::followRedirect(HINTERNET request) {
    std::wstring location;
    std::wstring next;
    if (!queryText(request, HTTP_QUERY_LOCATION, location) || !resolveLocation(url_, location, next))
        return false;
    // Like WinINet's own redirects: never from https down to plain http.
    if (secure_ && !startsWithSecurePrefix(next)) {
        OV_LOG("utility::CHttpClient::run", L"redirect to %s refused", next.c_str());
        return false;
    }
    return setTarget(next);
}

void CHttpClient::close() {
    std::lock_guard<std::mutex> lock(rootLock_);
    root_.reset();
}

HINTERNET CHttpClient::rootHandle() {
    std::lock_guard<std::mutex> lock(rootLock_);
    return root_.get();
}

bool CHttpClient::fail(int step) {
    const DWORD error = GetLastError();
    if (sink_) sink_->onHttpError(step, error);
    return false;
}

bool CHttpClient::readBody(HINTERNET request, int64_t contentLength) {
    std::vector<char> buffer(kReadBufferSize);
    int64_t received = 0;
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request, buffer.data(), kReadBufferSize, &read)) {
            OV_LOG("utility::CHttpClient::run", L"read failed after %I64d bytes, error = %d", received,
                   static_cast<int>(GetLastError()));
            return false;
        }
        if (read == 0) break;
        received += read;
        if (sink_ && !sink_->onHttpRecvData(buffer.data(), read)) return false;
    }
    // A dropped connection can look like a normal end; a short body must not
    // pass for a complete one.
    if (contentLength >= 0 && received != contentLength) {
        OV_LOG("utility::CHttpClient::run", L"body ended after %I64d of %I64d bytes", received,
               contentLength);
        return false;
    }
    if (sink_) sink_->onHttpComplete();
    return true;
}

}  // namespace utility
