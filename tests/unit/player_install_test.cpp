// The silent install's parts: the installer's argument line, the data
// folder, the settings file, runInstaller with the installer stand-in
// (orvane_standin.exe copied as Orvane.exe), and an install task that
// outlives its model. The whole road runs in tests/integration/test_road.py.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/textconv.h"
#include "model/DownloaderModel.h"
#include "model/PlayerInstall.h"
#include "support/TestSupport.h"
#include "utility/process.h"
#include "utility/ufile.h"

using playerinstall::InstallJob;
using testsupport::readFile;
using testsupport::takeLogLines;

namespace {

std::vector<std::string> messagesWithTag(const std::vector<std::string>& lines, const std::string& tag) {
    std::vector<std::string> messages;
    for (const auto& line : lines) {
        if (line.find("\t" + tag + "\t(") == std::string::npos) continue;
        messages.push_back(line.substr(line.find("):") + 2));
    }
    return messages;
}

InstallJob job(const std::wstring& openId, const std::wstring& language, const std::wstring& path,
               const std::wstring& googleId) {
    InstallJob j;
    j.openId = openId;
    j.language = language;
    j.installPath = path;
    j.googleId = googleId;
    return j;
}

TEST(InstallerArguments, Line) {
    const struct {
        InstallJob job;
        const wchar_t* line;
    } cases[] = {
        {job(L"3001", L"kr", L"D:\\Orvane\\Orvane9\\", L""),
         L"-silence -downloader -openid=3001 -language=kr -path=\"D:\\Orvane\\Orvane9\\\""},
        {job(L"100", L"", L"C:\\Program Files\\Orvane", L""),
         L"-silence -downloader -openid=100 -path=\"C:\\Program Files\\Orvane\""},
        {job(L"1234", L"en", L"E:\\O\\", L"GA1.2.33.44"),
         L"-silence -downloader -openid=1234 -language=en -path=\"E:\\O\\\" -googleid=GA1.2.33.44"},
        // Values from the launch name or the registry cannot add arguments.
        {job(L"12 -path=C:\\x", L"k r", L"D:\\a\" -evil \"b", L"GA\t\"1\""),
         L"-silence -downloader -openid=12-path=C:\\x -language=kr -path=\"D:\\a -evil b\" -googleid=GA1"},
    };
    for (const auto& c : cases) EXPECT_EQ(playerinstall::installerArguments(c.job), c.line);
}

TEST(InstallerArguments, DataFolderIsInsideTheInstallFolder) {
    EXPECT_EQ(playerinstall::dataFolder(L"D:\\Orvane\\Orvane9\\"), L"D:\\Orvane\\Orvane9\\data\\");
    // Without a trailing backslash the folder would land beside the install
    // folder, where the emulator never looks.
    EXPECT_EQ(playerinstall::dataFolder(L"D:\\Orvane\\Orvane9"), L"D:\\Orvane\\Orvane9\\data\\");
    EXPECT_EQ(playerinstall::dataFolder(L"D:/Orvane/"), L"D:/Orvane/data\\");
}

// --- settings ----------------------------------------------------------------

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

void setNewsAutostart() {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, kRunKey, &key), ERROR_SUCCESS);
    const wchar_t value[] = L"C:\\news.exe";
    RegSetValueExW(key, L"OvNews", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof(value));
    RegCloseKey(key);
}

bool newsAutostartExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    const bool found = RegQueryValueExW(key, L"OvNews", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found;
}

class Settings : public testing::Test {
protected:
    void SetUp() override { setNewsAutostart(); }
    void TearDown() override {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, L"OvNews");
            RegCloseKey(key);
        }
    }
    std::string write(const InstallJob& j) {
        DeleteFileW(file_.c_str());
        playerinstall::writeSettings(file_, j);
        return readFile(file_);
    }
    testsupport::TempDir dir_;
    std::wstring file_ = dir_.file(L"data.ini");
};

TEST_F(Settings, DefaultsWriteNothing) {
    EXPECT_EQ(write(InstallJob()), "");
    EXPECT_FALSE(utility::ufile::exists(file_));
    EXPECT_TRUE(newsAutostartExists());
}

TEST_F(Settings, AdsOffWritesOnlyThatAndRemovesTheNewsAutostart) {
    InstallJob j;
    j.adShow = false;
    EXPECT_EQ(write(j), "[setting]\r\nadshow=0\r\n");
    EXPECT_FALSE(newsAutostartExists());
}

TEST_F(Settings, CleanModelAloneAlsoRemovesTheNewsAutostart) {
    InstallJob j;
    j.cleanModel = true;
    EXPECT_EQ(write(j), "[setting]\r\ncleanmodel=1\r\n");
    EXPECT_FALSE(newsAutostartExists());
}

TEST_F(Settings, RootOnlyWhenFalse) {
    for (int useRoot : {-1, 1}) {
        InstallJob j;
        j.useRoot = useRoot;
        EXPECT_EQ(write(j), "") << useRoot;
    }
    InstallJob j;
    j.useRoot = 0;
    EXPECT_EQ(write(j), "[setting]\r\nuseroot=0\r\n");
}

TEST_F(Settings, EveryKeyInTheEmulatorsOrder) {
    InstallJob j;
    j.runApp = L"com.example.game";
    j.qqLink = L"https://example.invalid/qq";
    j.heapSize = L"2048";
    j.title = L"Orvane \u2603 Caf\u00e9";  // the snowman is not in code page 1252
    j.runAppStore = false;
    j.useRoot = 0;
    j.cleanModel = true;
    j.adShow = false;
    ASSERT_EQ(GetACP(), 1252u) << "the expected title assumes the prefix's code page";
    EXPECT_EQ(write(j),
              "[setting]\r\nadshow=0\r\ncleanmodel=1\r\nuseroot=0\r\nrunappstore=0\r\n"
              "title=Orvane ? Caf\xc3\xa9\r\nheapsize=2048\r\nqqlink=https://example.invalid/qq\r\n"
              "runapp=com.example.game\r\n");
    EXPECT_TRUE(utility::ufile::exists(file_));
}

// --- the installer -----------------------------------------------------------

class Installer : public testing::Test {
protected:
    void SetUp() override {
        installer_ = dir_.file(L"Orvane.exe");
        const std::wstring standin = utility::ufile::getModuleDir() + L"orvane_standin.exe";
        ASSERT_TRUE(CopyFileW(standin.c_str(), installer_.c_str(), FALSE)) << "orvane_standin.exe not built";
        key_ = L"Software\\OrvaneTest\\installer_" + std::to_wstring(GetCurrentProcessId());
        SetEnvironmentVariableW(L"ORVANE_STANDIN_REGKEY", key_.c_str());
        takeLogLines();
    }
    void TearDown() override {
        SetEnvironmentVariableW(L"ORVANE_STANDIN_INSTALLER", nullptr);
        SetEnvironmentVariableW(L"ORVANE_STANDIN_REGKEY", nullptr);
        DownloaderModel::setInstallerWaitMs(0);
        RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
        endHangingInstallers();
    }
    static void endHangingInstallers() {
        for (;;) {
            utility::process::ProcessMap running;
            utility::process::listProcesses(running);
            if (!running.count(L"Orvane.exe")) return;
            common::Handle process(
                OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, running[L"Orvane.exe"]));
            if (!process) return;
            TerminateProcess(process.get(), 0);
            WaitForSingleObject(process.get(), 10000);
        }
    }
    std::wstring recorded() const { return common::utf8ToWide(readFile(dir_.file(L"standin_record.txt"))); }
    std::wstring registryFolder() const {
        wchar_t value[1024] = {};
        DWORD size = sizeof(value);
        RegGetValueW(HKEY_CURRENT_USER, key_.c_str(), L"InstallDir", RRF_RT_REG_SZ, nullptr, value, &size);
        return value;
    }

    testsupport::TempDir dir_;
    std::wstring installer_;
    std::wstring key_;
};

TEST_F(Installer, RunsQuotedWithTheArgumentLineAndWaits) {
    const std::wstring target = dir_.file(L"Orvane Nine\\");
    const std::wstring arguments = L"-silence -downloader -openid=1234 -path=\"" + target + L"\"";
    EXPECT_TRUE(DownloaderModel::runInstaller(installer_, arguments, GetTickCount()));
    // It ended before runInstaller returned: its work is done.
    EXPECT_EQ(recorded(), L"Orvane.exe\t\"" + installer_ + L"\" " + arguments + L"\r\n");
    EXPECT_TRUE(utility::ufile::exists(target + L"doririda.exe"));
    EXPECT_TRUE(utility::ufile::exists(target + L"rkconsole.exe"));
    EXPECT_EQ(registryFolder(), target);
    EXPECT_TRUE(messagesWithTag(takeLogLines(), "DownloaderModel::runInstaller").empty());
}

TEST_F(Installer, ExitCodeIsNotExamined) {
    SetEnvironmentVariableW(L"ORVANE_STANDIN_INSTALLER", L"fail");
    EXPECT_TRUE(DownloaderModel::runInstaller(installer_, L"-silence", GetTickCount()));
}

TEST_F(Installer, MissingInstallerFailsAtCreation) {
    EXPECT_FALSE(DownloaderModel::runInstaller(dir_.file(L"missing.exe"), L"-silence", GetTickCount()));
    EXPECT_EQ(messagesWithTag(takeLogLines(), "DownloaderModel::runInstaller"),
              std::vector<std::string>{"create installer process failed! lastError = 2"});
}

TEST_F(Installer, HangingInstallerTimesOutAndIsLeftRunning) {
    SetEnvironmentVariableW(L"ORVANE_STANDIN_INSTALLER", L"hang");
    DownloaderModel::setInstallerWaitMs(1000);
    EXPECT_FALSE(DownloaderModel::runInstaller(installer_, L"-silence", GetTickCount()));
    EXPECT_EQ(messagesWithTag(takeLogLines(), "DownloaderModel::runInstaller"),
              std::vector<std::string>{"installer wait ended without the installer: timeout"});
    utility::process::ProcessMap running;
    utility::process::listProcesses(running);
    EXPECT_EQ(running.count(L"Orvane.exe"), 1u);
}

void pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// The window may close, and the model go, while the installer still runs:
// the task finishes its work and posts nothing for the model it no longer has.
TEST_F(Installer, TaskOutlivingItsModelNeitherUsesItNorPostsForIt) {
    testsupport::captureLog();  // this thread is the dispatcher's
    SetEnvironmentVariableW(L"ORVANE_STANDIN_INSTALLER", L"hang");
    DownloaderModel::setInstallerWaitMs(1500);
    bool finished = false;
    {
        DownloaderModel* model = DownloaderModel::instance();
        model->installPath = dir_.path();  // no trailing backslash
        model->adShow = false;
        model->onInstallFinished = [&finished](bool) { finished = true; };
        model->startInstallPlayer();
        model->shutdown();
        DownloaderModel::destroyInstance();
    }
    ASSERT_TRUE(DownloaderModel::waitInstallTasks(120000));
    pump();
    EXPECT_FALSE(finished);
    // Its work was done all the same, inside the install folder.
    EXPECT_EQ(readFile(dir_.file(L"data\\data.ini")), "[setting]\r\nadshow=0\r\n");
    const auto messages = messagesWithTag(takeLogLines(), "DownloaderModel::_threadInsPlayer");
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(common::utf8ToWide(messages[0]),
              L"install player param: -silence -downloader -openid=100 -path=\"" + dir_.path() + L"\"");
}

TEST_F(Installer, TaskPostsItsResultToTheWindowThread) {
    testsupport::captureLog();
    DownloaderModel* model = DownloaderModel::instance();
    model->installPath = dir_.path() + L"\\";
    std::vector<bool> results;
    DWORD thread = 0;
    model->onInstallFinished = [&](bool success) {
        results.push_back(success);
        thread = GetCurrentThreadId();
    };
    model->startInstallPlayer();
    ASSERT_TRUE(DownloaderModel::waitInstallTasks(120000));
    pump();
    EXPECT_EQ(results, std::vector<bool>{true});
    EXPECT_EQ(thread, GetCurrentThreadId());
    EXPECT_TRUE(utility::ufile::exists(dir_.file(L"doririda.exe")));
    DownloaderModel::destroyInstance();
}

}  // namespace
