// Pokes at the windows of a running program for the scenario tests, the way
// another process on the desktop would:
//   wintool post CLASS MESSAGE WPARAM     post a message to a top-level window
//   wintool minimize CLASS                minimise it
//   wintool state CLASS                   print "visible iconic foreground" as 0/1
//   wintool click CLASS CAPTION           press the child button with that caption,
//                                         or "#N" for its Nth button (from 1)
// Exit code 0 on success, 2 when no such window exists, 1 on bad usage.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

HWND findTop(const wchar_t* className) { return FindWindowExW(nullptr, nullptr, className, nullptr); }

struct ButtonSearch {
    const wchar_t* caption;  // or "#N"
    int seen;
    HWND found;
};

BOOL CALLBACK matchButton(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<ButtonSearch*>(param);
    wchar_t text[256];
    GetClassNameW(child, text, 256);
    if (_wcsicmp(text, L"Button") != 0) return TRUE;
    ++search->seen;
    GetWindowTextW(child, text, 256);
    bool byIndex = search->caption[0] == L'#';
    if (byIndex ? _wtoi(search->caption + 1) == search->seen : wcscmp(text, search->caption) == 0) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

int post(HWND hwnd, const wchar_t* message, const wchar_t* wparam) {
    WPARAM wp = static_cast<WPARAM>(static_cast<INT_PTR>(_wtoi(wparam)));
    return PostMessageW(hwnd, static_cast<UINT>(_wtoi(message)), wp, 0) ? 0 : 1;
}

int printState(HWND hwnd) {
    std::printf("%d %d %d\n", IsWindowVisible(hwnd) ? 1 : 0, IsIconic(hwnd) ? 1 : 0,
                GetForegroundWindow() == hwnd ? 1 : 0);
    return 0;
}

int click(HWND hwnd, const wchar_t* caption) {
    ButtonSearch search = {caption, 0, nullptr};
    EnumChildWindows(hwnd, matchButton, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return 2;
    PostMessageW(search.found, BM_CLICK, 0, 0);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 1;
    std::wstring verb = argv[1];
    HWND hwnd = findTop(argv[2]);
    if (!hwnd) return 2;
    if (verb == L"post" && argc == 5) return post(hwnd, argv[3], argv[4]);
    if (verb == L"minimize") return ShowWindow(hwnd, SW_MINIMIZE), 0;
    if (verb == L"state") return printState(hwnd);
    if (verb == L"click" && argc == 4) return click(hwnd, argv[3]);
    return 1;
}
