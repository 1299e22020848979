// Cost of a log call on the caller's thread, as a ratio against the least
// work any logger must do for the same line: format it into a stack buffer
// and convert it to UTF-8. The writer thread runs meanwhile, as in the
// program. Prints one line per measurement; scripts/bench collects them.
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "common/log.h"

namespace {

const int kCalls = 200000;

double seconds(LARGE_INTEGER a, LARGE_INTEGER b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

volatile int sink;

double baseline() {
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    for (int i = 0; i < kCalls; ++i) {
        wchar_t wide[512];
        char narrow[1024];
        swprintf(wide, 512, L"download progress %d of %d bytes from %s", i, kCalls, L"http://localhost/p.exe");
        sink = WideCharToMultiByte(CP_UTF8, 0, wide, -1, narrow, sizeof(narrow), nullptr, nullptr);
    }
    QueryPerformanceCounter(&b);
    return seconds(a, b);
}

double logged() {
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    for (int i = 0; i < kCalls; ++i) {
        OV_LOG("Bench::logged", L"download progress %d of %d bytes from %s", i, kCalls, L"http://localhost/p.exe");
    }
    QueryPerformanceCounter(&b);
    return seconds(a, b);
}

}  // namespace

int wmain() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring path = std::wstring(temp) + L"orvane_log_bench.log";
    DeleteFileW(path.c_str());
    initLog();
    setLogFile(path);
    baseline();  // warm up
    double base = baseline();
    double log = logged();
    stopLogFile();
    DeleteFileW(path.c_str());
    std::printf("log_call_vs_format_and_convert ratio=%.2f calls=%d baseline_s=%.4f log_s=%.4f\n", log / base,
                kCalls, base, log);
    return 0;
}
