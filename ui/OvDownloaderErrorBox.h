// The download- and install-failure box of the main window: the customer
// information's error text, a contact link, and buttons that end the run.
// The main window keeps one and shows it modally; the object deletes
// itself when its window goes. Window thread only.
#pragma once

#include <functional>
#include <string>

#include "skin/WindowImplBase.h"
#include "ui/UiProbe.h"

class OvDownloaderErrorBox : public DuiLib::WindowImplBase {
public:
    // Makes the box and its window over owner, centred, not yet shown; null
    // when the window cannot be made. onClose runs at the window's final
    // message, just before the object deletes itself.
    static OvDownloaderErrorBox* create(HWND owner, int value, std::function<void()> onClose);
    // Shows the box with its owner disabled and runs a nested message loop
    // until the box's window is gone or the quit request arrives (which is
    // posted again for the outer loop). The box may be gone on return.
    static void runModal(HWND box);

    int value() const { return value_; }

    SKIN_DECLARE_NOTIFY_MAP()

protected:
    const wchar_t* GetWindowClassName() const override { return L"downloadErrorBox"; }
    UINT GetClassStyle() const override { return CS_HREDRAW | CS_VREDRAW; }
    std::wstring GetSkinFolder() override { return L""; }
    std::wstring GetSkinFile() override { return L"downloaderrorbox.xml"; }
    void OnFinalMessage(HWND hWnd) override;
    void InitWindow() override;

private:
    OvDownloaderErrorBox(HWND owner, int value, std::function<void()> onClose);
    ~OvDownloaderErrorBox() override = default;

    void onContactUs(DuiLib::TNotifyUI& msg);
    void onQuit(DuiLib::TNotifyUI& msg);
    void onCloseAndQuit(DuiLib::TNotifyUI& msg);

    std::function<void()> onClose_;
    HWND owner_;
    int value_;
    ui::UiProbe probe_;
};
