// The main window as a real skinned window in the test process, driven
// through its controls and the model's hooks: the start page's state, the
// folder chooser's completion and prompts, the progress page, the close
// cases, the error box, the language switch and the take-down.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/ConfigImp.h"
#include "model/DownloaderModel.h"
#include "skin/ButtonUI.h"
#include "skin/ComboUI.h"
#include "skin/ContainerUI.h"
#include "skin/EditUI.h"
#include "skin/LabelUI.h"
#include "skin/ProgressUI.h"
#include "ui/CMainFrame.h"
#include "ui/MessageBox.h"
#include "ui_skin_fixture.h"

using namespace uitest;

namespace {

const wchar_t kRecommended[] = L"C:\\Orvane\\Orvane9\\";
const int kMiB = 1048576;

class MainFrame : public testing::Test {
protected:
    void SetUp() override {
        useShippedSkin();
        ConfigImp::getInstance()->setEdition(Edition::Player9);
        ConfigImp::getInstance()->setLanguageCode(L"en");
        model = DownloaderModel::instance();
        model->installPath = kRecommended;
        model->defaultInstallPath = kRecommended;
        model->defaultDiskIsSsd = false;
        frame = new CMainFrame([this] { gone = true; });
        hwnd = frame->Create(nullptr, L"", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0);
        ASSERT_NE(nullptr, hwnd);
        frame->CenterWindow();
        frame->ShowWindow(true);
        pump.settle();
        testsupport::takeLogLines();
    }
    void TearDown() override {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
        pump.until([this] { return gone && countWindows(L"MessageBoxWindow") == 0; });
        pump.settle();  // the window's quit request must not reach the next test
        DownloaderModel::destroyInstance();
    }

    DuiLib::CControlUI* find(const wchar_t* name) { return control(hwnd, name); }
    std::wstring text(const wchar_t* name) { return textOf(hwnd, name); }
    bool visible(const wchar_t* name) { return find(name) && find(name)->IsVisible(); }
    bool enabled(const wchar_t* name) { return find(name) && find(name)->IsEnabled(); }
    int bar(const wchar_t* name) {
        return static_cast<DuiLib::CProgressUI*>(find(name)->GetInterface(L"Progress"))->GetValue();
    }
    int page() {
        return static_cast<DuiLib::CTabLayoutUI*>(find(L"maintab")->GetInterface(L"TabLayout"))->GetCurSel();
    }
    void click(const wchar_t* name) {
        ASSERT_NE(nullptr, find(name)) << name;
        ASSERT_TRUE(find(name)->Activate()) << name;
    }
    // Types into the folder edit and leaves it, as the user does.
    void typePath(const std::wstring& path) {
        find(L"pathedit")->SetText(path);
        frame->GetPaintManager().SendNotify(find(L"pathedit"), L"killfocus");
    }
    bool hasLogLine(const std::string& text) {
        for (const std::string& line : testsupport::takeLogLines())
            if (line.find(text) != std::string::npos) return true;
        return false;
    }

    DownloaderModel* model = nullptr;
    CMainFrame* frame = nullptr;
    HWND hwnd = nullptr;
    bool gone = false;
    Pump pump;
};

TEST_F(MainFrame, OpensOnTheStartPage) {
    EXPECT_EQ(0, page());
    EXPECT_FALSE(visible(L"userdefinitionsui"));
    EXPECT_TRUE(visible(L"userdefinitionLayout"));
    EXPECT_FALSE(visible(L"backLayout"));
    EXPECT_TRUE(
        static_cast<DuiLib::COptionUI*>(find(L"acceptprotocolopt")->GetInterface(L"Option"))->IsSelected());
    EXPECT_EQ(L"Install Now", text(L"installnowbtn"));
    EXPECT_TRUE(enabled(L"installnowbtn"));
    EXPECT_FALSE(visible(L"errorpathnoticeui"));
    EXPECT_EQ(kRecommended, text(L"pathedit"));
    EXPECT_TRUE(visible(L"logoControl9"));  // the nine edition
    EXPECT_FALSE(visible(L"logoControl"));
    EXPECT_FALSE(visible(L"installprogressbar"));
    EXPECT_FALSE(visible(L"tastenowbtn"));
    EXPECT_EQ(L"<u>" + DuiLib::textFor(L"protocol_accept_btn") + L"</u>", text(L"protocollinkbtn"));
    wchar_t caption[64] = {};
    GetWindowTextW(hwnd, caption, 64);
    EXPECT_STREQ(L"Orvane Installer", caption);
    // The window's own fonts stay; the shared ones carry the language's face.
    EXPECT_NE(frame->GetPaintManager().GetFont(10), nullptr);
}

TEST_F(MainFrame, LicenceBoxGatesTheInstallButton) {
    click(L"acceptprotocolopt");
    EXPECT_FALSE(enabled(L"installnowbtn"));
    click(L"acceptprotocolopt");
    EXPECT_TRUE(enabled(L"installnowbtn"));
}

TEST_F(MainFrame, FolderSectionOpensAndCloses) {
    click(L"userdefinitionBtn");
    EXPECT_TRUE(visible(L"userdefinitionsui"));
    EXPECT_FALSE(visible(L"userdefinitionLayout"));
    EXPECT_TRUE(visible(L"backLayout"));
    EXPECT_EQ(L"Install", text(L"installnowbtn"));
    // A state change keeps the section as it is.
    click(L"acceptprotocolopt");
    EXPECT_TRUE(visible(L"userdefinitionsui"));
    EXPECT_EQ(L"Install", text(L"installnowbtn"));
    click(L"backBtn");
    EXPECT_FALSE(visible(L"userdefinitionsui"));
    EXPECT_EQ(L"Install Now", text(L"installnowbtn"));
}

TEST_F(MainFrame, TypedFoldersAreCompletedOrRefused) {
    click(L"userdefinitionBtn");
    const struct {
        const wchar_t* typed;
        const wchar_t* stored;
        bool valid;
    } cases[] = {
        {L"C:\\Games", L"C:\\Games\\Orvane\\Orvane9\\", true},
        {L"C:\\", L"C:\\Orvane\\Orvane9\\", true},
        {L"C:/Games//Orvane9", L"C:\\Games\\Orvane9\\", true},         // normalised once valid
        {L"  C:\\Games\\Orvane9\\", L"C:\\Games\\Orvane9\\", true},    // leading blanks
        {L"C:\\My|Games", L"C:\\My|Games\\Orvane\\Orvane9\\", false},  // forbidden character
        {L"C:\\ \\Games", L"C:\\ \\Games\\Orvane\\Orvane9\\", false},  // a blank folder
        {L"C:/Bad:Name/", L"C:/Bad:Name/\\Orvane\\Orvane9\\", false},  // stored as completed
    };
    for (const auto& c : cases) {
        typePath(c.typed);
        EXPECT_EQ(c.stored, model->getInstallPath()) << c.typed;
        EXPECT_EQ(c.stored, text(L"pathedit")) << c.typed;
        EXPECT_EQ(!c.valid, visible(L"errorpathnoticeui")) << c.typed;
        EXPECT_EQ(c.valid, enabled(L"installnowbtn")) << c.typed;
        // All on the recommended disk: never a prompt.
        EXPECT_TRUE(hasLogLine("same best path")) << c.typed;
    }
    EXPECT_EQ(0, countWindows(L"MessageBoxWindow"));
    // Leaving the edit with the stored text changes nothing.
    typePath(model->getInstallPath());
    EXPECT_FALSE(hasLogLine("same best path"));
}

TEST_F(MainFrame, InvalidFolderShowsTheNoticeUntilAValidOne) {
    click(L"userdefinitionBtn");
    typePath(L"C:\\My|Games");
    EXPECT_FALSE(enabled(L"installnowbtn"));
    EXPECT_TRUE(visible(L"errorpathnoticeui"));
    EXPECT_EQ(DuiLib::textFor(L"Label_path_error"), text(L"pathErrorLabel"));
    typePath(L"C:\\Games");
    EXPECT_FALSE(visible(L"errorpathnoticeui"));
}

TEST_F(MainFrame, MissingDriveGetsTheLowSpacePromptWithTheRecommendedDisk) {
    click(L"userdefinitionBtn");
    typePath(L"Q:\\Games");
    EXPECT_EQ(L"Q:\\Games\\Orvane\\Orvane9\\", model->getInstallPath());
    EXPECT_TRUE(hasLogLine("left 17G"));
    HWND box = findWindow(L"MessageBoxWindow");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(
        L"There is not enough space available on this disk for installation, it's recommended to use Disk C, "
        L"do you want to change the path?",
        textOf(box, L"descriptlabel"));
    EXPECT_FALSE(IsWindowEnabled(hwnd));
    // "Change path" takes the recommended folder without another check.
    auto* bar = static_cast<DuiLib::CContainerUI*>(control(box, L"bottombar")->GetInterface(L"Container"));
    ASSERT_TRUE(bar->GetItemAt(2)->Activate());
    ASSERT_TRUE(pump.until([] { return countWindows(L"MessageBoxWindow") == 0; }));
    EXPECT_EQ(kRecommended, model->getInstallPath());
    EXPECT_TRUE(enabled(L"installnowbtn"));
    EXPECT_TRUE(IsWindowEnabled(hwnd));
}

TEST_F(MainFrame, HardDiskWhileTheRecommendedIsAnSsd) {
    model->defaultDiskIsSsd = true;
    click(L"userdefinitionBtn");
    struct Answer {
        size_t button;  // 1 "path_not", 2 "path_ok"
        const wchar_t* stored;
    };
    for (const Answer answer : {Answer{1, L"Z:\\tmp\\Games\\Orvane\\Orvane9\\"}, Answer{2, kRecommended}}) {
        model->installPath = kRecommended;
        typePath(L"Z:\\tmp\\Games");
        HWND box = findWindow(L"MessageBoxWindow");
        ASSERT_NE(nullptr, box);
        EXPECT_EQ(
            L"HDD (Disk Z) may lead to game stuttering, please choose SSD (Disk C) for better performance, "
            L"do "
            L"you want to change the path?",
            textOf(box, L"descriptlabel"));
        EXPECT_EQ(L"Install location", textOf(box, L"titlelabel"));
        auto* bar =
            static_cast<DuiLib::CContainerUI*>(control(box, L"bottombar")->GetInterface(L"Container"));
        EXPECT_EQ(L"Keep current", bar->GetItemAt(1)->GetText());
        ASSERT_TRUE(bar->GetItemAt(answer.button)->Activate());
        ASSERT_TRUE(pump.until([] { return countWindows(L"MessageBoxWindow") == 0; }));
        // Keeping the hard disk re-checks only the space (the host disk has room).
        EXPECT_EQ(answer.stored, model->getInstallPath());
        EXPECT_TRUE(IsWindowEnabled(hwnd));
    }
}

TEST_F(MainFrame, ClosingTheSsdPromptKeepsTheFolder) {
    model->defaultDiskIsSsd = true;
    click(L"userdefinitionBtn");
    typePath(L"Z:\\tmp\\Games");
    HWND box = findWindow(L"MessageBoxWindow");
    ASSERT_NE(nullptr, box);
    ASSERT_TRUE(control(box, L"closebtn")->Activate());
    ASSERT_TRUE(pump.until([] { return countWindows(L"MessageBoxWindow") == 0; }));
    EXPECT_EQ(L"Z:\\tmp\\Games\\Orvane\\Orvane9\\", model->getInstallPath());
    EXPECT_TRUE(IsWindowEnabled(hwnd));
}

TEST_F(MainFrame, DownloadProgress) {
    model->onProgress(-1, 0, 0);
    EXPECT_EQ(L"Getting version information...", text(L"loadingprogresslabel"));
    EXPECT_EQ(L"", text(L"downloadProgressLabel"));
    model->onProgress(50, 256 * kMiB, 512 * kMiB);
    EXPECT_EQ(L"Downloading...(50%)", text(L"loadingprogresslabel"));
    EXPECT_EQ(L"256.00M/512.00M", text(L"downloadProgressLabel"));
    EXPECT_EQ(31, bar(L"installprogressbar"));
    model->onProgress(60, 0, 512 * kMiB);  // nothing known: nothing changes
    EXPECT_EQ(31, bar(L"installprogressbar"));
    model->onCurlProgress(1);
    EXPECT_EQ(3, bar(L"installprogressbar"));
    model->onCurlProgress(40);
    EXPECT_EQ(40, bar(L"installprogressbar"));
}

TEST_F(MainFrame, CloseBeforeInstallAsksForConfirmation) {
    click(L"closebtn");
    ASSERT_TRUE(pump.until([] { return countWindows(L"box") == 1; }));
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_FALSE(IsWindowEnabled(hwnd));
    ASSERT_TRUE(control(findWindow(L"box"), L"btnRight")->Activate());
    ASSERT_TRUE(pump.until([] { return countWindows(L"box") == 0; }));
    EXPECT_TRUE(IsWindowEnabled(hwnd));
    EXPECT_FALSE(pump.quitSeen);
}

TEST_F(MainFrame, FinishPageCloseEndsAtOnceAndTakesTheModelDown) {
    model->onInstallFinished(true);
    EXPECT_EQ(4, page());
    EXPECT_EQ(100, bar(L"installprogressbar"));
    EXPECT_TRUE(visible(L"tastenowbtn"));
    click(L"closebtn");
    ASSERT_TRUE(pump.until([this] { return gone; }));
    EXPECT_TRUE(pump.quitSeen);
    EXPECT_EQ(0, countWindows(L"box"));
    EXPECT_EQ(nullptr, DownloaderModel::existingInstance());
}

TEST_F(MainFrame, EscapeClosesAtOnce) {
    PostMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(pump.until([this] { return gone; }));
    EXPECT_TRUE(pump.quitSeen);
    EXPECT_EQ(0, countWindows(L"box"));
    EXPECT_EQ(nullptr, DownloaderModel::existingInstance());
}

TEST_F(MainFrame, FailuresShowOneErrorBox) {
    model->installErrorText = L"Could not install.";
    model->onDownloadFailed();
    model->onInstallFinished(false);
    int boxes = -1;
    std::wstring shown;
    // Runs inside the box's modal loop once both failures were handled.
    postToUiThread([&] {
        postToUiThread([&] {
            boxes = countWindows(L"downloadErrorBox");
            shown = textOf(findWindow(L"downloadErrorBox"), L"descriptlabel");
            control(findWindow(L"downloadErrorBox"), L"btnLeft")->Activate();
        });
    });
    ASSERT_TRUE(pump.until([&] { return pump.quitSeen; }));
    EXPECT_EQ(1, boxes);
    EXPECT_EQ(L"Could not install.", shown);
    // The page stays where it was.
    EXPECT_EQ(0, page());
}

TEST_F(MainFrame, FinishPageIsNotShownUnderTheErrorBox) {
    model->onDownloadFailed();
    int pageInside = -1;
    postToUiThread([&] {
        postToUiThread([&] {
            model->onInstallFinished(true);
            pageInside = page();
            control(findWindow(L"downloadErrorBox"), L"btnRight")->Activate();
        });
    });
    ASSERT_TRUE(pump.until([&] { return pump.quitSeen; }));
    EXPECT_EQ(0, pageInside);
}

TEST_F(MainFrame, NothingQueuedReachesADestroyedWindow) {
    model->onDownloadFailed();  // queues the error box on the window
    DestroyWindow(hwnd);
    ASSERT_TRUE(gone);
    pump.settle();
    EXPECT_EQ(0, countWindows(L"downloadErrorBox"));
    EXPECT_EQ(nullptr, DownloaderModel::existingInstance());
}

// The combo is hidden and empty in the shipped layout; an item is added
// here and selected the way the engine would.
void selectLanguage(CMainFrame* frame, const std::wstring& localeCode) {
    auto* combo = static_cast<DuiLib::CComboUI*>(
        frame->GetPaintManager().FindControl(L"languageCombo")->GetInterface(L"Combo"));
    auto* item = new DuiLib::CListLabelElementUI;
    item->SetText(localeCode);
    combo->Add(item);
    combo->SelectItem(combo->GetCount() - 1, true);
}

TEST_F(MainFrame, LanguageSwitchReappliesTheTexts) {
    click(L"userdefinitionBtn");  // the install button's text does not follow the section
    selectLanguage(frame, L"ko_KR");
    EXPECT_EQ(L"ko_KR", model->getLanguageCode());
    EXPECT_EQ(L"kr", model->getLanguage());
    EXPECT_EQ(L"kr", ConfigImp::getInstance()->getLanguageCode());
    EXPECT_TRUE(hasLogLine("load language language\\downloader_kr.xml"));
    EXPECT_FALSE(model->strings.empty());
    const struct {
        const wchar_t* control;
        const wchar_t* stringId;
    } texts[] = {
        {L"protocollinkbtn", L"protocol_accept_btn"},  // without the underline wrapper
        {L"confirmprotocolbtn", L"sure"},
        {L"installnowbtn", L"Button_install_fast"},
        {L"tastenowbtn", L"Button_start_player"},
        {L"loadingprogresslabel", L"progress_downloading_label"},
        {L"browsebtn", L"browser"},
        {L"backBtn", L"Button_install_back"},
        {L"titlename", L"titlename"},
    };
    for (const auto& t : texts) EXPECT_EQ(DuiLib::textFor(t.stringId), text(t.control)) << t.control;
    EXPECT_EQ(L"", text(L"protocoledit"));
    EXPECT_EQ(ConfigImp::getInstance()->getHomepage(), text(L"homepageBtn"));
}

TEST_F(MainFrame, LanguageWithoutItsOwnFileLoadsEnglish) {
    selectLanguage(frame, L"ms_MY");
    EXPECT_EQ(L"my", model->getLanguage());
    EXPECT_TRUE(hasLogLine("load language language\\downloader_en.xml"));
    EXPECT_FALSE(model->strings.empty());
}

}  // namespace
