// Downloads through the system HTTP client into memory or a file.
//
//   utility::CHttpDownloader client;
//   std::string body;
//   if (!client.downloadToMemory(url, body)) ...   // fall back, report, ...
//
// All downloads block the calling worker thread. abort() may be called from
// another thread (the window thread at take-down): it ends a running
// transfer, and its stop flag stays raised for the life of the object, so
// every later download through the same object fails at its first data
// block. Failures before any data are still recorded (downloadToFileWithStatus).
#pragma once

#include <cstdint>
#include <string>

#include "common/RunableThread.h"
#include "net/CHttpClient.h"

namespace utility {

class CHttpDownloader : public CHttpClient {
public:
    class IHttpDownloadSink {
    public:
        // The block just received (before it is written), the bytes received
        // so far and the size expected (10485760 when the server gave none).
        // False aborts the download.
        virtual bool onHttpDownloadProgress(const char* bytes, DWORD count, int64_t received,
                                            int64_t total) = 0;

    protected:
        ~IHttpDownloadSink() = default;
    };

    // True only for a 2xx response received whole; body is empty otherwise.
    bool downloadToMemory(const std::wstring& url, std::string& body);

    // Writes the body to path (created or truncated once the response is a
    // 2xx). True only when the whole body was written; on any failure after
    // the file was created the partial file is removed, so path never holds
    // a truncated download. progress may be null.
    bool downloadToFile(const std::wstring& url, const std::wstring& path, IHttpDownloadSink* progress);

    // As downloadToFile, and tells why it failed: status 9999 and error 0 when
    // nothing was recorded; a CHttpClient::Step and a system error code;
    // -1 and the HTTP status for a refused status; -2 and a system error when
    // the file could not be created.
    bool downloadToFileWithStatus(const std::wstring& url, const std::wstring& path,
                                  IHttpDownloadSink* progress, int& status, int& error);

    // Raises the stop flag for good and closes the session.
    void abort();

private:
    RunableThread stopSignal_;  // never started: only its stop flag is used
};

}  // namespace utility
