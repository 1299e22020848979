#include "common/LogFileWriter.h"

#include <windows.h>

#include <chrono>
#include <vector>

#include "common/Handle.h"

namespace common {

namespace {

const auto kWriteInterval = std::chrono::milliseconds(500);
// flush() must not hang a caller if the writer thread is stuck on the disk.
const auto kFlushBound = std::chrono::seconds(30);

bool writeAll(HANDLE file, const char* data, std::size_t size) {
    while (size > 0) {
        DWORD written = 0;
        const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        if (!WriteFile(file, data, chunk, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

std::size_t readAll(HANDLE file, char* data, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        DWORD read = 0;
        if (!ReadFile(file, data + got, static_cast<DWORD>(size - got), &read, nullptr) || read == 0) break;
        got += read;
    }
    return got;
}

bool seek(HANDLE file, long long offset, DWORD from) {
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    return SetFilePointerEx(file, distance, nullptr, from) != FALSE;
}

unsigned long long position(HANDLE file) {
    LARGE_INTEGER zero{}, now{};
    if (!SetFilePointerEx(file, zero, &now, FILE_CURRENT)) return 0;
    return static_cast<unsigned long long>(now.QuadPart);
}

void truncateToStart(HANDLE file) {
    if (seek(file, 0, FILE_BEGIN)) SetEndOfFile(file);
}

// Opens for reading and appending, shared so anyone can read the log while
// we write it. A file from the old UTF-16 format (FF FE) is emptied rather
// than mixed with UTF-8.
FileHandle openLog(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return file;
    unsigned char bom[2] = {0, 0};
    if (readAll(file.get(), reinterpret_cast<char*>(bom), 2) == 2 && bom[0] == 0xFF && bom[1] == 0xFE) {
        truncateToStart(file.get());
    } else {
        seek(file.get(), 0, FILE_END);
    }
    return file;
}

// Keeps the last 2 MiB once the file reaches 50 MiB. The kept part may start
// mid-line; writing continues after it.
void cutIfTooLarge(HANDLE file) {
    const unsigned long long end = position(file);
    if (end < LogFileWriter::kMaxFileSize) return;
    std::vector<char> tail(LogFileWriter::kKeptTail);
    if (!seek(file, static_cast<long long>(end - LogFileWriter::kKeptTail), FILE_BEGIN)) return;
    const std::size_t got = readAll(file, tail.data(), tail.size());
    truncateToStart(file);
    writeAll(file, tail.data(), got);
}

}  // namespace

LogFileWriter::LogFileWriter(const std::wstring& path)
    : path_(path), thread_(&LogFileWriter::threadMain, this) {}

LogFileWriter::~LogFileWriter() {
    stop();
}

void LogFileWriter::append(const char* record, std::size_t size) {
    // Unlocked and advisory: a writer that fell behind costs records, never
    // a blocked caller or unbounded memory.
    if (pendingSize_.load(std::memory_order_relaxed) > kLimit) return;
    bool full = false;
    {
        std::lock_guard<std::mutex> lock(lock_);
        pending_.append(record, size);
        pendingSize_.store(pending_.size(), std::memory_order_relaxed);
        full = pending_.size() >= kLimit;
    }
    if (full) wake_.notify_one();
}

void LogFileWriter::flush() {
    std::unique_lock<std::mutex> lock(lock_);
    if (stopped_) return;
    const unsigned long long ticket = ++flushRequests_;
    wake_.notify_one();
    written_.wait_for(lock, kFlushBound, [&] { return flushesDone_ >= ticket || stopped_; });
}

void LogFileWriter::stop() {
    {
        std::lock_guard<std::mutex> lock(lock_);
        stop_ = true;
    }
    wake_.notify_one();
    std::lock_guard<std::mutex> join(joinLock_);
    if (thread_.joinable()) thread_.join();
}

void LogFileWriter::threadMain() {
    FileHandle file = openLog(path_);
    std::unique_lock<std::mutex> lock(lock_);
    for (;;) {
        wake_.wait_for(lock, kWriteInterval,
                       [&] { return stop_ || pending_.size() >= kLimit || flushRequests_ > flushesDone_; });
        const unsigned long long requested = flushRequests_;
        if (!pending_.empty()) {
            // A file that could not be opened loses the records silently.
            if (file) {
                // Append mode: another process (a second instance) may share
                // the file, so every batch goes to the current end.
                seek(file.get(), 0, FILE_END);
                writeAll(file.get(), pending_.data(), pending_.size());
                cutIfTooLarge(file.get());
            }
            pending_.clear();
            pendingSize_.store(0, std::memory_order_relaxed);
        }
        flushesDone_ = requested;
        written_.notify_all();
        if (stop_) break;
    }
    stopped_ = true;
    written_.notify_all();
}

}  // namespace common
