#include "common/log.h"

#include <windows.h>

#include <atomic>
#include <cstdarg>
#include <cwchar>
#include <mutex>

#include "common/LogFileWriter.h"
#include "common/LogStream.h"
#include "common/UiDispatcher.h"

namespace common {

namespace {

using RecordSink = void (*)(const char* tag, int line, const wchar_t* message);

const std::size_t kMessageChars = 8192;

// Null until initLog: logging before then is a no-op.
std::atomic<RecordSink> g_sink{nullptr};
// The process's writer; created once by setLogFile and never destroyed, so
// records logged during process end still find it.
std::atomic<LogFileWriter*> g_writer{nullptr};

// The message is finished text and is not formatted again, so percent signs
// in paths and URLs come out literally.
void writeLogRecord(const char* tag, int line, const wchar_t* message) {
    LogFileWriter* writer = g_writer.load();
    if (!writer) return;

    SYSTEMTIME now;
    GetLocalTime(&now);
    LogStream stream;
    stream.printf("%02d-%02d\t%02d:%02d:%02d.%03d\t%04d\t%s\t(%d):", now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond, now.wMilliseconds, static_cast<int>(GetCurrentThreadId()),
                  tag ? tag : "", line);

    const int length = static_cast<int>(std::wcslen(message));
    if (length > 0) {
        char utf8[LogStream::kCapacity];
        const int bytes =
            WideCharToMultiByte(CP_UTF8, 0, message, length, utf8, sizeof utf8, nullptr, nullptr);
        if (bytes <= 0) return;  // does not fit: drop the record rather than cut a character
        stream.write(utf8, static_cast<std::size_t>(bytes));
    }
    stream.write("\r\n", 2);
    if (stream.good()) writer->append(stream.data(), stream.size());
}

}  // namespace

void log(const char* tag, int line, const wchar_t* format, ...) {
    const RecordSink sink = g_sink.load();
    if (!sink || !format) return;
    wchar_t message[kMessageChars];
    message[0] = L'\0';
    va_list args;
    va_start(args, format);
    // A long message is cut to 8191 characters instead of being lost.
    _vsnwprintf_s(message, kMessageChars, _TRUNCATE, format, args);
    va_end(args);
    message[kMessageChars - 1] = L'\0';
    sink(tag, line, message);
}

}  // namespace common

void initLog() {
    common::g_sink.store(&common::writeLogRecord);
    UiDispatcher::instance();
}

void setLogFile(const std::wstring& path) {
    if (path.empty()) return;
    static std::mutex creation;
    std::lock_guard<std::mutex> lock(creation);
    if (!common::g_writer.load()) common::g_writer.store(new common::LogFileWriter(path));
}

void stopLogFile() {
    if (common::LogFileWriter* writer = common::g_writer.load()) writer->stop();
}

void flushLogFile() {
    if (common::LogFileWriter* writer = common::g_writer.load()) writer->flush();
}
