// The two sinks CHttpDownloader feeds a transfer into. Each serves one
// transfer on the downloading thread and refuses data once the downloader's
// stop flag is raised.
#pragma once

#include <cstdint>
#include <string>

#include "common/RunableThread.h"
#include "net/CHttpClient.h"
#include "net/CHttpDownloader.h"
#include "utility/FileWriter.h"

namespace utility {

// Appends a 2xx body to a narrow string.
class CHttpDownload2MemSink : public CHttpClient::IHttpClientSink {
public:
    CHttpDownload2MemSink(std::string& target, const RunableThread& stopSignal)
        : target_(target), stopSignal_(stopSignal) {}

    void onHttpError(int, DWORD) override {}
    bool onHttpRecvHeader(int64_t contentLength, int statusCode) override;
    bool onHttpRecvData(const char* bytes, DWORD count) override;
    void onHttpComplete() override {}

private:
    std::string& target_;
    const RunableThread& stopSignal_;
};

// Writes a 2xx body to a file and records why a transfer failed as a
// (status, error) pair; see CHttpDownloader::downloadToFileWithStatus.
class CHttpDownload2FileSink : public CHttpClient::IHttpClientSink {
public:
    static const int kNothingRecorded = 9999;
    static const int kStatusRefused = -1;
    static const int kFileNotCreated = -2;
    // Assumed size when the response has no Content-Length.
    static const int64_t kDefaultTotal = 10485760;

    CHttpDownload2FileSink(const std::wstring& path, const RunableThread& stopSignal,
                           CHttpDownloader::IHttpDownloadSink* progress)
        : path_(path), stopSignal_(stopSignal), progress_(progress) {}
    ~CHttpDownload2FileSink() { finish(); }
    CHttpDownload2FileSink(const CHttpDownload2FileSink&) = delete;
    CHttpDownload2FileSink& operator=(const CHttpDownload2FileSink&) = delete;

    void onHttpError(int step, DWORD error) override;
    bool onHttpRecvHeader(int64_t contentLength, int statusCode) override;
    bool onHttpRecvData(const char* bytes, DWORD count) override;
    void onHttpComplete() override;

    // Closes the file; a file this sink created for a transfer that did not
    // complete is removed. Idempotent.
    void finish();

    int status() const { return status_; }
    int error() const { return error_; }

private:
    FileWriter file_;
    std::wstring path_;
    const RunableThread& stopSignal_;
    CHttpDownloader::IHttpDownloadSink* progress_;
    int64_t received_ = 0;
    int64_t total_ = 0;
    int status_ = kNothingRecorded;
    int error_ = 0;
    bool created_ = false;
    bool complete_ = false;
};

}  // namespace utility
