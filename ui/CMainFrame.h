// The installer's main window. Until the skinned window lands this is a
// plain top-level window of class "cmainframe" that ends the run when it is
// closed; callers already use the operations the skinned window will keep.
#pragma once

#include <windows.h>

class CMainFrame {
public:
    CMainFrame() = default;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    HWND Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle);
    HWND GetHWND() const { return hwnd_; }
    void CenterWindow();
    void ShowWindow(bool show = true, bool takeFocus = true);
    // Ends the window with a result; result 1 ends the run.
    void Close(UINT result = IDOK);

    // After a switch to the 4 edition: the path field and the logo follow.
    void refreshEdition();
    // The emulator's installer reported a failure: the download-error box.
    void showDownloadError();

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    HWND hwnd_ = nullptr;
};
