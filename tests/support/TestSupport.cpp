#include "support/TestSupport.h"

#include "common/log.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <vector>

namespace testsupport {

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    path_ = std::wstring(base) + L"orvane_test_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
            std::to_wstring(counter++);
    removeTree(path_);
    CreateDirectoryW(path_.c_str(), nullptr);
}

TempDir::~TempDir() {
    removeTree(path_);
}

std::string readFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool writeFile(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

void removeTree(const std::wstring& path) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child = path + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}

namespace {

struct LogCapture {
    TempDir dir;
    std::wstring path = dir.file(L"test.log");
    std::size_t consumed = 0;
    LogCapture() {
        initLog();
        setLogFile(path);
    }
    // The writer must let go of the file before the folder can be removed.
    ~LogCapture() { stopLogFile(); }
};

LogCapture& logCapture() {
    static LogCapture capture;
    return capture;
}

}  // namespace

void captureLog() {
    logCapture();
}

std::vector<std::string> takeLogLines() {
    LogCapture& capture = logCapture();
    flushLogFile();
    const std::string text = readFile(capture.path);
    std::vector<std::string> lines;
    std::size_t start = capture.consumed;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    capture.consumed = start;
    return lines;
}

}  // namespace testsupport

// Test programs are built with -municode, so the entry point is wmain.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> narrow;
    for (int i = 0; i < argc; ++i) {
        int n = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string s(n > 0 ? n - 1 : 0, '\0');
        if (n > 1) WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, &s[0], n, nullptr, nullptr);
        narrow.push_back(s);
    }
    std::vector<char*> args;
    for (auto& s : narrow) args.push_back(&s[0]);
    int count = argc;
    testing::InitGoogleTest(&count, args.data());
    return RUN_ALL_TESTS();
}
