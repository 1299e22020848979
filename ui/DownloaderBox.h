// The exit confirmation over the main window. "Yes" ends the run and tells
// analytics the user cancelled; "No" and the close button leave everything
// as it was. At most one is open: a new one replaces the old. The box
// disables its owner while open and deletes itself when its window goes.
// Window thread only.
#pragma once

#include <functional>
#include <string>

#include "skin/WindowImplBase.h"
#include "ui/UiProbe.h"

// Opens the confirmation over owner; progress is the main window's
// download percentage, kept with the box.
void showDownloaderBox(HWND owner, int progress);

class DownloaderBox : public DuiLib::WindowImplBase {
public:
    // onClose runs at the window's final message, just before the object
    // deletes itself.
    DownloaderBox(HWND owner, int progress, std::function<void()> onClose);

    // Fills the texts and button images.
    void fill();
    int progress() const { return progress_; }

    SKIN_DECLARE_NOTIFY_MAP()

protected:
    const wchar_t* GetWindowClassName() const override { return L"box"; }
    UINT GetClassStyle() const override { return CS_HREDRAW | CS_VREDRAW; }
    std::wstring GetSkinFolder() override { return L""; }
    std::wstring GetSkinFile() override { return L"downloaderbox.xml"; }
    void OnFinalMessage(HWND hWnd) override;
    void InitWindow() override;

private:
    friend void showDownloaderBox(HWND owner, int progress);
    ~DownloaderBox() override = default;

    void onStopInstall(DuiLib::TNotifyUI& msg);
    void onGoOn(DuiLib::TNotifyUI& msg);

    std::function<void()> onClose_;
    HWND owner_;
    int progress_;
    ui::UiProbe probe_;
};
