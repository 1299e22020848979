// Process entry: brings up COM, Winsock, the data folder and the log, then
// runs the window thread's message loop until a window asks to quit.
#include <windows.h>
#include <objbase.h>
#include <winsock2.h>

#include "common/log.h"
#include "utility/ufile.h"

namespace {

std::wstring dataFolder() { return utility::ufile::getAppDataDir() + L"\\rodavezeroru_da\\"; }

LRESULT CALLBACK frameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// A plain window of the main window's class until the skinned one exists.
HWND createFrame(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = frameProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"cmainframe";
    RegisterClassExW(&wc);
    HWND hwnd = CreateWindowExW(0, L"cmainframe", L"Orvane Installer", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 640, 420, nullptr, nullptr, instance, nullptr);
    if (hwnd) ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

void runMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    if (FAILED(CoInitialize(nullptr))) {
        MessageBoxW(nullptr, L"error", L"error1", MB_OK);
        return 0;
    }
    WSADATA wsa;
    WSAStartup(0x0202, &wsa);

    const std::wstring folder = dataFolder();
    if (!utility::ufile::exists(folder)) utility::ufile::makeDir(folder);
    initLog();
    setLogFile(folder + L"downloader.log");
    OV_LOG("wWinMain", L"\r\n\r\n start run");

    if (createFrame(instance)) runMessageLoop();

    WSACleanup();
    CoUninitialize();
    stopLogFile();
    return 0;
}
