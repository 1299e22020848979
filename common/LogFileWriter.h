// Moves log records to the file on a thread of its own, so a caller never
// waits for disk I/O: append() only copies the record into a pending buffer
// that the writer thread writes every 500 ms, or sooner once 10 KiB are
// pending. When the writer falls behind by more than that, new records are
// dropped whole. The file is cut back to its last 2 MiB when it reaches
// 50 MiB. The process uses one, created by setLogFile (log.h); tests may make
// their own on another path.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>

namespace common {

class LogFileWriter {
public:
    static constexpr std::size_t kLimit = 10240;
    static constexpr unsigned long long kMaxFileSize = 52428800;  // 50 MiB
    static constexpr unsigned long kKeptTail = 2097152;           // 2 MiB

    // Starts the writer thread, which opens (or creates) the file.
    explicit LogFileWriter(const std::wstring& path);
    // Stops the thread after it wrote what is pending.
    ~LogFileWriter();
    LogFileWriter(const LogFileWriter&) = delete;
    LogFileWriter& operator=(const LogFileWriter&) = delete;

    // Any thread. record is one complete record.
    void append(const char* record, std::size_t size);

    // Returns once everything appended before the call is in the file (or
    // the writer has stopped).
    void flush();

    // Writes what is pending and ends the thread; later records are dropped.
    void stop();

    // Bytes waiting for the writer thread.
    std::size_t pendingBytes() const { return pendingSize_.load(); }

private:
    void threadMain();

    const std::wstring path_;
    std::mutex lock_;
    std::condition_variable wake_;     // for the writer thread
    std::condition_variable written_;  // for flush()
    std::string pending_;
    std::atomic<std::size_t> pendingSize_{0};  // unlocked peek for append
    bool stop_ = false;
    bool stopped_ = false;
    unsigned long long flushRequests_ = 0;
    unsigned long long flushesDone_ = 0;
    std::mutex joinLock_;
    std::thread thread_;
};

}  // namespace common
