// Diagnostic log: one UTF-8 file, records appended by any thread and written
// by a background writer every 500 ms (or sooner when 10 KiB are pending).
#pragma once

#include <string>

namespace common {

// Formats a wide printf-style message (%s takes a wide string) and hands it
// to the record sink. Does nothing until initLog has run.
void log(const char* tag, int line, const wchar_t* format, ...);

}  // namespace common

// Sets the record sink and creates the window-thread dispatcher on the
// calling thread. Call once, on the window thread, before anything logs.
void initLog();

// Opens the log file on first call with a non-empty path; later calls do nothing.
void setLogFile(const std::wstring& path);

// Stops the writer so the last records reach the file; for process end.
void stopLogFile();

// Returns once the records logged so far are in the file; for tests and for
// handing the file to someone else.
void flushLogFile();

// Logs under an explicit tag ("Class::method") with the caller's line.
#define OV_LOG(tag, ...) ::common::log(tag, __LINE__, __VA_ARGS__)
