// A skin window showing every control of the engine, driven by the GUI
// tests with real input. It writes each notification it receives to a log
// file so the tests can see what reached the window.
//   gallery.exe SKIN_FOLDER LAYOUT LOG_FILE
#include <windows.h>
#include <shellapi.h>

#include <fstream>
#include <string>

#include "common/textconv.h"
#include "skin/ComboUI.h"
#include "skin/ButtonUI.h"
#include "skin/EditUI.h"
#include "skin/StringTable.h"
#include "skin/WindowImplBase.h"

using namespace DuiLib;

namespace {

class GalleryWindow : public WindowImplBase {
public:
    GalleryWindow(std::wstring layout, std::wstring logPath)
        : layout_(std::move(layout)), logPath_(std::move(logPath)) {}

    void Notify(TNotifyUI& msg) override {
        std::wstring name = msg.pSender ? msg.pSender->GetName() : std::wstring();
        std::wstring line = msg.sType + L" " + (name.empty() ? L"-" : name) + L" " +
                            std::to_wstring(static_cast<long long>(msg.wParam)) + L" " +
                            std::to_wstring(static_cast<long long>(msg.lParam));
        if (auto* option =
                msg.pSender ? static_cast<COptionUI*>(msg.pSender->GetInterface(L"Option")) : nullptr)
            line += L" selected=" + std::to_wstring(option->IsSelected());
        if (msg.pSender && (msg.pSender->GetInterface(L"Edit") || msg.pSender->GetInterface(L"Combo")))
            line += L" text=" + msg.pSender->GetText();
        log(line);
        WindowImplBase::Notify(msg);
    }

    SKIN_DECLARE_NOTIFY_MAP()

protected:
    const wchar_t* GetWindowClassName() const override { return L"OrvaneSkinGallery"; }
    std::wstring GetSkinFolder() override { return L""; }
    std::wstring GetSkinFile() override { return layout_; }
    void OnFinalMessage(HWND hWnd) override {
        WindowImplBase::OnFinalMessage(hWnd);
        log(L"final");
        PostQuitMessage(0);
    }

private:
    void OnClickMe(TNotifyUI& msg) { log(L"handler " + msg.pSender->GetName()); }

    void log(const std::wstring& line) {
        std::ofstream out(logPath_.c_str(), std::ios::app | std::ios::binary);
        out << common::wideToAnsi(line) << "\n";
    }

    std::wstring layout_;
    std::wstring logPath_;
};

SKIN_BEGIN_NOTIFY_MAP(GalleryWindow, WindowImplBase)
SKIN_ON_CLICK(L"clickme", &GalleryWindow::OnClickMe)
SKIN_END_NOTIFY_MAP()

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 4) return 2;
    CPaintManagerUI::SetInstance(instance);
    CPaintManagerUI::SetResourcePath(argv[1]);
    setText(L"gallery_title", L"Orvane skin gallery");
    setText(L"gallery_tip", L"Click me");
    auto* window = new GalleryWindow(argv[2], argv[3]);  // deletes itself never: lives until exit
    if (!window->Create(nullptr, L"Orvane Gallery", WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 480,
                        360))
        return 3;
    window->CenterWindow();
    window->ShowWindow(true);
    LocalFree(argv);
    CPaintManagerUI::MessageLoop();
    return 0;
}
