// The system HTTP client: GET requests through WinINet, blocking the calling
// thread, with the events of one transfer delivered to a sink.
//
//   CHttpClient client;
//   if (client.open(url, L"", &sink)) client.run();
//   client.close();
//
// Threads: open and run belong to one worker thread; close may also be called
// from another thread while run blocks, which makes the pending WinINet call
// fail. Server certificates are always verified; at most 5 redirects are
// followed, never from https to http.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <mutex>
#include <string>

#include "common/Handle.h"

namespace utility {

using InternetHandle = common::UniqueHandle<common::NullHandleTraits<HINTERNET, &InternetCloseHandle>>;

class CHttpClient {
public:
    // Where a transfer failed before any response arrived (onHttpError's step).
    enum Step { kStepOpen = 0, kStepCrackUrl = 1, kStepConnect = 2, kStepRequest = 6, kStepStatus = 7 };

    class IHttpClientSink {
    public:
        virtual void onHttpError(int step, DWORD error) = 0;
        // contentLength is -1 when the response has none; false aborts.
        virtual bool onHttpRecvHeader(int64_t contentLength, int statusCode) = 0;
        // One block of the body; false aborts.
        virtual bool onHttpRecvData(const char* bytes, DWORD count) = 0;
        // Once, after the last block of a complete body.
        virtual void onHttpComplete() = 0;

    protected:
        ~IHttpClientSink() = default;
    };

    CHttpClient() = default;
    ~CHttpClient() { close(); }
    CHttpClient(const CHttpClient&) = delete;
    CHttpClient& operator=(const CHttpClient&) = delete;

    // Opens the session and splits the URL; sink may be null.
    bool open(const std::wstring& url, const std::wstring& headers, IHttpClientSink* sink);
    // Sends the GET request and feeds the response to the sink. True only for
    // a body received whole.
    bool run();
    // Closes the session; idempotent, callable from any thread.
    void close();

private:
    bool setTarget(const std::wstring& url);
    bool followRedirect(HINTERNET request);
    HINTERNET rootHandle();
    bool fail(int step);
    bool readBody(HINTERNET request, int64_t contentLength);

    std::mutex rootLock_;  // guards root_ against close() from another thread
    InternetHandle root_;
    std::wstring url_;  // where the request goes, after any redirects
    std::wstring host_;
    INTERNET_PORT port_ = 0;
    std::wstring object_;
    std::wstring headers_;
    bool secure_ = false;
    IHttpClientSink* sink_ = nullptr;
};

}  // namespace utility
