// Pokes at the windows of a running program for the scenario tests, the way
// another process on the desktop would:
//   wintool post CLASS MESSAGE WPARAM     post a message to a top-level window
//   wintool minimize CLASS                minimise it
//   wintool state CLASS                   print "visible iconic foreground" as 0/1
//   wintool click CLASS CAPTION           press the child button with that caption,
//                                         or "#N" for its Nth button (from 1); in a
//                                         skin window, the control of that name or
//                                         its Nth run-time button
//   wintool count CLASS                   print how many top-level windows of CLASS exist
//   wintool probe CLASS CONTROL           print a skin window's control (test builds):
//                                         "visible enabled left top right bottom value text"
// Exit code 0 on success, 2 when no such window or control exists, 1 on bad usage.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// The request tag skin windows of test builds answer (ui/UiProbe.h).
const ULONG_PTR kProbeTag = 0x4F525650;

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

// The skin window's answer for control, UTF-8, or empty when there is none.
std::string askProbe(HWND hwnd, const std::wstring& control) {
    wchar_t folder[MAX_PATH], file[MAX_PATH];
    if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"orp", 0, file)) return std::string();
    const std::wstring request = control + L"\t" + file;
    COPYDATASTRUCT data = {kProbeTag, static_cast<DWORD>(request.size() * sizeof(wchar_t)),
                           const_cast<wchar_t*>(request.c_str())};
    DWORD_PTR answered = FALSE;
    SendMessageTimeoutW(hwnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 10000,
                        &answered);
    std::string answer;
    if (answered) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        answer = text.str();
    }
    DeleteFileW(file);
    return answer;
}

int probe(HWND hwnd, const wchar_t* control) {
    const std::string answer = askProbe(hwnd, control);
    if (answer.empty()) return 2;
    std::fwrite(answer.data(), 1, answer.size(), stdout);
    return 0;
}

// A press and release at the centre of a skin control, as the mouse would.
int clickSkinControl(HWND hwnd, const wchar_t* control) {
    std::istringstream fields(askProbe(hwnd, control));
    int visible = 0, enabled = 0;
    POINT corners[2];
    if (!(fields >> visible >> enabled >> corners[0].x >> corners[0].y >> corners[1].x >> corners[1].y))
        return 2;
    MapWindowPoints(nullptr, hwnd, corners, 2);
    const LPARAM at = MAKELPARAM((corners[0].x + corners[1].x) / 2, (corners[0].y + corners[1].y) / 2);
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, at);
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(hwnd, WM_LBUTTONUP, 0, at);
    return 0;
}

int click(HWND hwnd, const wchar_t* caption) {
    ButtonSearch search = {caption, 0, nullptr};
    EnumChildWindows(hwnd, matchButton, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return clickSkinControl(hwnd, caption);
    PostMessageW(search.found, BM_CLICK, 0, 0);
    return 0;
}

}  // namespace

int count(const wchar_t* className) {
    int windows = 0;
    for (HWND w = FindWindowExW(nullptr, nullptr, className, nullptr); w;
         w = FindWindowExW(nullptr, w, className, nullptr))
        ++windows;
    std::printf("%d\n", windows);
    return 0;
}

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 1;
    std::wstring verb = argv[1];
    if (verb == L"count") return count(argv[2]);
    HWND hwnd = findTop(argv[2]);
    if (!hwnd) return 2;
    if (verb == L"post" && argc == 5) return post(hwnd, argv[3], argv[4]);
    if (verb == L"minimize") return ShowWindow(hwnd, SW_MINIMIZE), 0;
    if (verb == L"state") return printState(hwnd);
    if (verb == L"click" && argc == 4) return click(hwnd, argv[3]);
    if (verb == L"probe" && argc == 4) return probe(hwnd, argv[3]);
    return 1;
}
