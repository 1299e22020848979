// Small helpers shared by the test programs (they run under Wine).
#pragma once

#include <string>
#include <vector>

namespace testsupport {

// A fresh, empty folder under the system temp folder, removed with its
// contents when the object goes away. Path ends without a backslash.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::wstring& path() const { return path_; }
    std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

std::string readFile(const std::wstring& path);
bool writeFile(const std::wstring& path, const std::string& bytes);
void removeTree(const std::wstring& path);

// Sends the process log to a temporary file for the rest of the test program
// (initLog + setLogFile, on the calling thread, which thereby becomes the
// dispatcher's window thread). Safe to call more than once.
void captureLog();
// Flushes the log and returns the records written since the previous call,
// each without its "\r\n". Calls captureLog() first if needed.
std::vector<std::string> takeLogLines();

}  // namespace testsupport
