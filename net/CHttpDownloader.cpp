#include "net/CHttpDownloader.h"

#include "net/HttpDownloadSinks.h"

namespace utility {

namespace {

const wchar_t kFormHeader[] = L"Content-Type: application/x-www-form-urlencoded";

}  // namespace

bool CHttpDownloader::downloadToMemory(const std::wstring& url, std::string& body) {
    close();
    body.clear();
    CHttpDownload2MemSink sink(body, stopSignal_);
    const bool ok = open(url, kFormHeader, &sink) && run();
    close();
    // A cut-off document is no document.
    if (!ok) body.clear();
    return ok;
}

bool CHttpDownloader::downloadToFile(const std::wstring& url, const std::wstring& path,
                                     IHttpDownloadSink* progress) {
    int status = 0;
    int error = 0;
    return downloadToFileWithStatus(url, path, progress, status, error);
}

bool CHttpDownloader::downloadToFileWithStatus(const std::wstring& url, const std::wstring& path,
                                               IHttpDownloadSink* progress, int& status, int& error) {
    close();
    CHttpDownload2FileSink sink(path, stopSignal_, progress);
    const bool ok = open(url, kFormHeader, &sink) && run();
    close();
    sink.finish();
    status = sink.status();
    error = sink.error();
    return ok;
}

void CHttpDownloader::abort() {
    stopSignal_.signal();
    close();
}

}  // namespace utility
