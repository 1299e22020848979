// The installer's main window, built from "mainframe.xml": the start page
// (licence, install folder, install button), the progress page while the
// model downloads and installs the emulator, and the finish page whose
// button starts it. Every real step is a call into DownloaderModel; the
// model reports back through the five hooks the window installs, always on
// the window thread.
//
// The object deletes itself at its window's final message and then posts
// the quit request. Its take-down (WM_DESTROY) shuts the model down and
// destroys it first, and cancels the window's queued work, so nothing that
// outlives the window (the install task, a worker) reaches it. Window
// thread only.
//
//   auto* frame = new CMainFrame([] { /* the object is going */ });
//   frame->Create(nullptr, L"", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0);
#pragma once

#include <functional>
#include <string>

#include "common/UiDispatcher.h"
#include "skin/WindowImplBase.h"
#include "ui/UiProbe.h"

class OvDownloaderErrorBox;

class CMainFrame : public DuiLib::WindowImplBase {
public:
    // onGone runs at the final message, just before the object deletes itself.
    explicit CMainFrame(std::function<void()> onGone = nullptr);

    // After a switch of edition: the path field, the logo and the install
    // button follow the model.
    void refreshEditionView();
    // The download-error box, shown modally; one at a time.
    void showDownloadError();
    // Shows page index of "maintab" and re-applies the folder section.
    void selectPage(int index);

    SKIN_DECLARE_NOTIFY_MAP()

protected:
    const wchar_t* GetWindowClassName() const override { return L"cmainframe"; }
    UINT GetClassStyle() const override { return CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_SAVEBITS; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;
    void InitWindow() override;
    std::wstring GetSkinFolder() override { return L""; }
    std::wstring GetSkinFile() override { return L"mainframe.xml"; }
    LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;

private:
    ~CMainFrame() override;

    // Start page (CMainFrame.cpp).
    void applyLanguageFonts();
    void connectModelHooks();
    void showLogos();
    void showCustomPath(bool expanded);
    bool isFolderSectionOpen();
    void refreshInstallState();
    bool checkBeforeInstall();
    void onInstallNow(DuiLib::TNotifyUI& msg);
    void onOpenFolderSection(DuiLib::TNotifyUI& msg);
    void onCloseFolderSection(DuiLib::TNotifyUI& msg);
    void onLicenceTicked(DuiLib::TNotifyUI& msg);
    void onLicenceLink(DuiLib::TNotifyUI& msg);
    void onCommunityLink(DuiLib::TNotifyUI& msg);
    void onHomepage(DuiLib::TNotifyUI& msg);
    void onCloseButton(DuiLib::TNotifyUI& msg);
    void downloadByBrowser();
    void endRun();
    void onFinishButton(DuiLib::TNotifyUI& msg);
    void onInstallFinished(bool success);
    void showFinishPage();
    void postDownloadError();

    // Games of the channel (MainFramePackages.cpp).
    void handOverGamePackages();

    // Install folder (MainFramePath.cpp).
    void onBrowse(DuiLib::TNotifyUI& msg);
    void browseForFolder();
    void onPathEditKillFocus(DuiLib::TNotifyUI& msg);
    void changePathClac(bool fromUser, const std::wstring& path);
    void applyInstallPath(const std::wstring& path);

    // Progress (MainFrameProgress.cpp).
    void onDownloadProgress(int percent, int done, int total);
    void onCurlProgress(int percent);
    void onDownloadSucceeded();
    void installTick();
    void onPackageInstallTick();
    void killPackageTimer();
    void setBar(const wchar_t* name, int value);

    // Language (MainFrameLanguage.cpp).
    void onLanguageComSelected(DuiLib::TNotifyUI& msg);
    void loadLanguageFile();
    void applyLanguageTexts();
    std::wstring loadLicenceText();

    // Controls.
    void setText(const wchar_t* name, const std::wstring& text);
    void setVisible(const wchar_t* name, bool visible);

    std::function<void()> onGone_;
    bool closeQuitsAtOnce_ = false;
    int downloadPercent_ = 0;
    DWORD downloadStartTick_ = 0;
    int installStep_ = 0;
    UiTimer installTimer_;
    OvDownloaderErrorBox* errorBox_ = nullptr;
    std::wstring languageCodeText_;
    UINT_PTR packageTimerId_ = 0;
    int packageInstallCounter_ = 0;
    UiTaskOwner uiTasks_;
    ui::UiProbe probe_;
};
