// The application object: starts every subsystem in a fixed order, owns the
// main window and the IPC endpoint, answers other processes' requests, and
// takes everything down after the message loop. One, on wWinMain's stack.
#pragma once

#include <windows.h>

#include <string>

#include "utility/WindowIPC.h"

class CMainFrame;

class DownloadImpl : public utility::IWindowIPCHandle {
public:
    DownloadImpl();
    ~DownloadImpl();
    DownloadImpl(const DownloadImpl&) = delete;
    DownloadImpl& operator=(const DownloadImpl&) = delete;

    // Everything up to the first showing of the main window. False when
    // another instance runs (it was asked to come to the front).
    bool entrance(HINSTANCE instance, const wchar_t* commandLine);
    // Creates the main window once, shows it and runs the system checks.
    void showMainFrame();
    int onHandleWindowIPC(unsigned int message, int wParam, int lParam) override;
    // The ordered take-down after the message loop.
    void shutdown();

    // The private font added at start-up, to remove at exit (empty if none).
    const std::wstring& addedFontPath() const { return fontPath_; }

private:
    void prepareSkin(HINSTANCE instance);
    void createMainFrame();
    void runSystemChecks();
    void offerPlayer4();
    void switchToPlayer4();

    utility::WindowIPC ipc_;
    // Made once; the window deletes itself at its end and clears this.
    CMainFrame* mainFrame_ = nullptr;
    bool mainFrameMade_ = false;
    std::wstring fontPath_;
};

// Data folder of the installer: roaming application data + "\rodavezeroru_da\".
std::wstring dataFolder();
// Runs the window thread's message loop until a window posts the quit request.
void runMessageLoop();
