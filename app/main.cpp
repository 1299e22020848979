// Process entry: COM, Winsock, the data folder and the log, then the
// application object's start-up, the window thread's message loop and the
// ordered take-down. Returns 0 on every path.
#include <windows.h>
#include <objbase.h>
#include <winsock2.h>

#include "app/DownloadImpl.h"
#include "common/log.h"
#include "skin/SkinFonts.h"
#include "utility/ufile.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
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

    {
        DownloadImpl app;
        if (app.entrance(instance, commandLine)) runMessageLoop();
        DuiLib::releaseSkinFont(app.addedFontPath());
        app.shutdown();
    }
    CoUninitialize();
    // Let the last records reach the file before the process ends.
    stopLogFile();
    return 0;
}
