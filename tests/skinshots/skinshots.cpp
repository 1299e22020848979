// Shows the shipped skin's windows one after another, filled the way the
// installer's code fills them, so the GUI tests can take screenshots:
//   skinshots.exe INSTALLER_EXE LOCALE LOG_FILE GO_FILE
// The skin and fonts come from the archives inside INSTALLER_EXE. For each
// view the program writes "ready NAME" to LOG_FILE once the window is shown,
// waits until GO_FILE holds NAME (the test has taken its picture) and goes on
// to the next; "done" ends the list.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/textconv.h"
#include "model/language.h"
#include "skin/ButtonUI.h"
#include "skin/ContainerUI.h"
#include "skin/EditUI.h"
#include "skin/LabelUI.h"
#include "skin/ProgressUI.h"
#include "skin/SkinFonts.h"
#include "skin/SkinPackage.h"
#include "skin/StringTable.h"
#include "skin/WindowImplBase.h"
#include "skinshots/ShippedSkin.h"

using namespace DuiLib;

namespace {

const int kWaitTimer = 1;

std::wstring g_logPath, g_goPath;

void logLine(const std::string& line) {
    std::ofstream out(common::wideToAnsi(g_logPath).c_str(), std::ios::app | std::ios::binary);
    out << line << "\n";
}

std::string readGo() {
    std::ifstream in(common::wideToAnsi(g_goPath).c_str(), std::ios::binary);
    std::string text;
    std::getline(in, text);
    return text;
}

// A skin window of one layout; `fill` runs once the tree is built.
class ShotWindow : public WindowImplBase {
public:
    ShotWindow(std::wstring layout, std::function<void(CPaintManagerUI&)> fill)
        : layout_(std::move(layout)), fill_(std::move(fill)) {}

    void InitWindow() override {
        if (fill_) fill_(m_pm);
    }

protected:
    const wchar_t* GetWindowClassName() const override { return L"OrvaneSkinShot"; }
    UINT GetClassStyle() const override { return CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS; }
    std::wstring GetSkinFolder() override { return L""; }
    std::wstring GetSkinFile() override { return layout_; }

private:
    std::wstring layout_;
    std::function<void(CPaintManagerUI&)> fill_;
};

template <class T>
T* control(CPaintManagerUI& pm, const wchar_t* name) {
    auto* c = static_cast<T*>(pm.FindControl(name));
    if (!c) logLine("missing control " + common::wideToAnsi(name));
    return c;
}

void setText(CPaintManagerUI& pm, const wchar_t* name, const std::wstring& text) {
    if (auto* c = control<CControlUI>(pm, name)) c->SetText(text);
}

std::wstring format(const std::wstring& pattern, const std::wstring& a, const std::wstring& b = L"") {
    wchar_t buffer[512];
    swprintf(buffer, 512, pattern.c_str(), a.c_str(), b.c_str());
    return buffer;
}

// The main window's start-up (its InitWindow): shared fonts of the language
// profile, logo of the nine edition, path field and licence link.
struct MainState {
    int page = 0;
    bool folderOpen = false;
    bool validPath = true;
};

void fillMain(CPaintManagerUI& pm, const MainState& state, const LanguageProfile& profile) {
    shippedskin::applyMainWindowFonts(pm, profile);

    control<CControlUI>(pm, L"logoControl9")->SetVisible(true);
    control<CControlUI>(pm, L"logoControl")->SetVisible(false);
    setText(pm, L"protocollinkbtn", L"<u>" + textFor(L"protocol_accept_btn") + L"</u>");
    if (auto* home = control<CButtonUI>(pm, L"homepageBtn")) {
        home->SetTextColor(0xFFFFFFFF);
        home->SetText(L"https://www.orvane.example/");
    }
    auto* edit = control<CEditUI>(pm, L"pathedit");
    edit->SetText(state.validPath ? L"D:\\Orvane\\Orvane9\\" : L"Q:\\Orvane\\Orvane9\\");
    shippedskin::setPathEditImages(*edit, state.validPath);
    control<CControlUI>(pm, L"errorpathnoticeui")->SetVisible(!state.validPath);
    control<CControlUI>(pm, L"installnowbtn")->SetEnabled(state.validPath);
    control<CControlUI>(pm, L"userdefinitionsui")->SetVisible(state.folderOpen);
    control<CControlUI>(pm, L"userdefinitionLayout")->SetVisible(!state.folderOpen);
    control<CControlUI>(pm, L"backLayout")->SetVisible(state.folderOpen);
    setText(pm, L"installnowbtn", textFor(state.folderOpen ? L"Button_install_now" : L"Button_install_fast"));
    control<CTabLayoutUI>(pm, L"maintab")->SelectItem(state.page, false);
}

struct Box {
    std::wstring layout;
    std::function<void(CPaintManagerUI&)> fill;
    DWORD style = 0, exStyle = 0;
};

struct View {
    std::string name;
    MainState main;
    std::unique_ptr<Box> box;
};

std::vector<View> views() {
    std::vector<View> out;
    auto page = [&](const char* name, int index) {
        View v;
        v.name = name;
        v.main.page = index;
        out.push_back(std::move(v));
    };
    page("main_start", 0);
    {
        View v;
        v.name = "main_folder";
        v.main.folderOpen = true;
        out.push_back(std::move(v));
        View bad;
        bad.name = "main_folder_invalid";
        bad.main.folderOpen = true;
        bad.main.validPath = false;
        out.push_back(std::move(bad));
    }
    page("main_page1_licence", 1);
    page("main_page2_download", 2);
    page("main_page2_install", 2);
    page("main_page3_packages", 3);
    page("main_page4_finish", 4);
    page("main_page5", 5);
    page("main_page6", 6);
    page("main_page7", 7);

    View exitBox;
    exitBox.name = "box_exit";
    exitBox.box = std::make_unique<Box>(Box{L"downloaderbox.xml", shippedskin::fillExitBox});
    out.push_back(std::move(exitBox));

    View errorBox;
    errorBox.name = "box_error";
    errorBox.main.page = 2;
    errorBox.box = std::make_unique<Box>(Box{L"downloaderrorbox.xml", nullptr});
    out.push_back(std::move(errorBox));

    View iconBox;
    iconBox.name = "box_message_icon";
    iconBox.box = std::make_unique<Box>(
        Box{L"common/xml_messagebox.xml",
            [](CPaintManagerUI& pm) {
                shippedskin::applyMessageBoxFonts(pm);
                setText(pm, L"titlelabel", textFor(L"path_noice"));
                shippedskin::setMessageBoxText(pm, format(textFor(L"path_ssd"), L"C", L"D"), true);
                shippedskin::addSelectionButton(pm, textFor(L"path_not"), false);
                shippedskin::addSelectionButton(pm, textFor(L"path_ok"), true);
            },
            WS_POPUP | WS_BORDER | WS_SYSMENU, WS_EX_TOPMOST | WS_EX_TOOLWINDOW});
    out.push_back(std::move(iconBox));

    View plainBox;
    plainBox.name = "box_message_noicon";
    plainBox.box =
        std::make_unique<Box>(Box{L"common/xml_messagebox_noicon.xml",
                                  [](CPaintManagerUI& pm) {
                                      shippedskin::applyMessageBoxFonts(pm);
                                      setText(pm, L"titlelabel", textFor(L"MSGBox_noice"));
                                      shippedskin::setMessageBoxText(pm, textFor(L"change_path_tip"), false);
                                      shippedskin::addSelectionButton(pm, textFor(L"cancel"), false);
                                      shippedskin::addSelectionButton(pm, textFor(L"sure"), true);
                                  },
                                  WS_POPUP | WS_BORDER | WS_SYSMENU, WS_EX_TOPMOST | WS_EX_TOOLWINDOW});
    out.push_back(std::move(plainBox));
    return out;
}

// What a page shows while the installer runs.
void fillPage(CPaintManagerUI& pm, const std::string& name) {
    if (name == "main_page2_download") {
        setText(pm, L"loadingprogresslabel", textFor(L"Label_downloading") + L"(42%)");
        setText(pm, L"downloadProgressLabel", L"215.30M/512.00M");
        control<CProgressUI>(pm, L"installprogressbar")->SetValue(26);
    } else if (name == "main_page2_install" || name == "box_error") {
        setText(pm, L"loadingprogresslabel", textFor(L"Label_installing_waiting"));
        control<CControlUI>(pm, L"downloadProgressLabel")->SetVisible(false);
        control<CProgressUI>(pm, L"installprogressbar")->SetValue(82);
    } else if (name == "main_page3_packages") {
        setText(pm, L"apkinstallprogresslabel",
                textFor(L"progress_downloading_label2") +
                    L" Farm Story (1/2)\xFF1A"
                    L"12M / 240M (<c #268fd6>5%</c>)");
        control<CProgressUI>(pm, L"apkinstallprogressbar")->SetValue(5);
    }
}

class Runner {
public:
    Runner(std::vector<View> views, LanguageProfile profile) : views_(std::move(views)), profile_(profile) {}

    void start() { show(); }

private:
    void show() {
        if (index_ >= views_.size()) {
            logLine("done");
            PostQuitMessage(0);
            return;
        }
        View& view = views_[index_];
        const std::string name = view.name;
        const std::wstring title = L"Orvane shot " + common::ansiToWide(name);
        MainState state = view.main;
        LanguageProfile profile = profile_;
        main_ = new ShotWindow(L"mainframe.xml", [state, profile, name](CPaintManagerUI& pm) {
            fillMain(pm, state, profile);
            fillPage(pm, name);
        });
        main_->Create(nullptr, title, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0);
        main_->CenterWindow();
        ::ShowWindow(*main_, SW_SHOW);
        if (view.box) {
            box_ = new ShotWindow(view.box->layout, view.box->fill);
            box_->Create(*main_, title + L" box", view.box->style, view.box->exStyle);
            box_->CenterWindow();
            ::ShowWindow(*box_, SW_SHOW);
        }
        waiting_ = name;
        // Give the windows time to paint before announcing them.
        SetTimer(*main_, kWaitTimer, 300, &Runner::tick);
        current() = this;
        announced_ = false;
    }

    static Runner*& current() {
        static Runner* runner = nullptr;
        return runner;
    }

    static void CALLBACK tick(HWND hwnd, UINT, UINT_PTR, DWORD) {
        Runner* self = current();
        if (!self->announced_) {
            logLine("ready " + self->waiting_);
            self->announced_ = true;
            return;
        }
        if (readGo() != self->waiting_) return;
        KillTimer(hwnd, kWaitTimer);
        if (self->box_) DestroyWindow(*self->box_);
        DestroyWindow(*self->main_);
        self->box_ = nullptr;
        self->main_ = nullptr;
        ++self->index_;
        self->show();
    }

    std::vector<View> views_;
    LanguageProfile profile_;
    size_t index_ = 0;
    ShotWindow* main_ = nullptr;  // windows are leaked on purpose: short-lived test program
    ShotWindow* box_ = nullptr;
    std::string waiting_;
    bool announced_ = false;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 5) return 2;
    const std::wstring installer = argv[1], locale = argv[2];
    g_logPath = argv[3];
    g_goPath = argv[4];
    LocalFree(argv);

    HMODULE archives = LoadLibraryExW(installer.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!archives) {
        logLine("cannot open the installer");
        return 3;
    }
    const LanguageProfile profile = language::languageProfileFor(language::shortForCode(locale));
    const std::wstring fonts = skinFontsFolder();
    prepareSkinFonts(reinterpret_cast<HINSTANCE>(archives), fonts, profile.fontFile);

    CPaintManagerUI::SetInstance(instance);
    CPaintManagerUI::SetCurrentLanguage(locale);
    CPaintManagerUI::SetResourcePath(L"");
    setResourceInstance(reinterpret_cast<HINSTANCE>(archives));
    loadSkinPackage(129, L"multi_language.tsv");

    Runner runner(views(), profile);
    runner.start();
    CPaintManagerUI::MessageLoop();
    return 0;
}
