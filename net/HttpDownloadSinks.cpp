#include "net/HttpDownloadSinks.h"

#include "common/log.h"
#include "utility/ufile.h"

namespace utility {

namespace {

bool isSuccessStatus(int statusCode) {
    return statusCode >= 200 && statusCode <= 299;
}

}  // namespace

bool CHttpDownload2MemSink::onHttpRecvHeader(int64_t, int statusCode) {
    return isSuccessStatus(statusCode);
}

bool CHttpDownload2MemSink::onHttpRecvData(const char* bytes, DWORD count) {
    if (stopSignal_.isStopping()) return false;
    target_.append(bytes, count);
    return true;
}

void CHttpDownload2FileSink::onHttpError(int step, DWORD error) {
    file_.close();
    OV_LOG("utility::CHttpDownload2FileSink::onHttpError", L"onHttpErro %d, %d", step,
           static_cast<int>(error));
    status_ = step;
    error_ = static_cast<int>(error);
}

bool CHttpDownload2FileSink::onHttpRecvHeader(int64_t contentLength, int statusCode) {
    if (!isSuccessStatus(statusCode)) {
        OV_LOG("utility::CHttpDownload2FileSink::onHttpRecvHeader", L"onHttpErro status = %d", statusCode);
        if (error_ == 0) {
            status_ = kStatusRefused;
            error_ = statusCode;
        }
        return false;
    }
    total_ = contentLength > 0 ? contentLength : kDefaultTotal;
    received_ = 0;
    if (!file_.open(path_)) {
        const DWORD error = GetLastError();
        OV_LOG("utility::CHttpDownload2FileSink::onHttpRecvHeader", L"onHttpErro create file error  %d",
               static_cast<int>(error));
        status_ = kFileNotCreated;
        error_ = static_cast<int>(error);
        return false;
    }
    created_ = true;
    complete_ = false;
    return true;
}

bool CHttpDownload2FileSink::onHttpRecvData(const char* bytes, DWORD count) {
    if (stopSignal_.isStopping()) return false;
    received_ += count;
    if (progress_ && !progress_->onHttpDownloadProgress(bytes, count, received_, total_)) return false;
    return file_.write(bytes, count);
}

void CHttpDownload2FileSink::onHttpComplete() {
    file_.close();
    complete_ = true;
}

void CHttpDownload2FileSink::finish() {
    file_.close();
    // Callers take the file's presence for a finished download (icons,
    // splash images), so a partial body does not stay behind.
    if (created_ && !complete_) ufile::removeFile(path_);
    created_ = false;
}

}  // namespace utility
