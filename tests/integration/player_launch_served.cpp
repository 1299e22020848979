// Starting the emulator and ending its processes, in scenario prefixes that
// test_player_launch.py prepares: Windows 7 (the prefix's default) or
// Windows 10, and for ORVANE_TEST_SHELL=1 a user shell at
// C:\windows\explorer.exe (the recorder stand-in) whose token the launch
// borrows. The emulator is the recorder stand-in too: it writes the command
// line it got to standin_record.txt beside itself.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/textconv.h"
#include "model/DownloaderModel.h"
#include "model/PlayerLaunch.h"
#include "support/TestSupport.h"
#include "utility/process.h"
#include "utility/ufile.h"

using testsupport::readFile;
using testsupport::takeLogLines;

namespace {

std::vector<std::wstring> messagesWithTag(const std::vector<std::string>& lines, const std::string& tag) {
    std::vector<std::wstring> messages;
    for (const auto& line : lines) {
        if (line.find("\t" + tag + "\t(") == std::string::npos) continue;
        messages.push_back(common::utf8ToWide(line.substr(line.find("):") + 2)));
    }
    return messages;
}

std::wstring standin() {
    return utility::ufile::getModuleDir() + L"orvane_standin.exe";
}

class Launch : public testing::Test {
protected:
    void SetUp() override {
        folder_ = dir_.file(L"Orvane Nine");
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
        emulator_ = folder_ + L"\\doririda.exe";
        ASSERT_TRUE(CopyFileW(standin().c_str(), emulator_.c_str(), FALSE));
        model_ = DownloaderModel::instance();
        model_->installPath = folder_;
        if (std::getenv("ORVANE_TEST_SHELL")) startShell();
        takeLogLines();
    }
    void TearDown() override {
        if (shell_) {
            TerminateProcess(shell_.get(), 0);
            WaitForSingleObject(shell_.get(), 10000);
        }
        DownloaderModel::destroyInstance();
    }

    void startShell() {
        shell_ = utility::process::create(L"C:\\windows\\explorer.exe", L"--stay", false);
        ASSERT_TRUE(shell_) << "the scenario puts the stand-in at C:\\windows\\explorer.exe";
    }

    // The command lines the emulator got, once there are n (bounded wait).
    std::vector<std::wstring> recorded(std::size_t n) const {
        std::vector<std::wstring> lines;
        for (int i = 0; i < 300; ++i) {
            lines.clear();
            const std::wstring text = common::utf8ToWide(readFile(folder_ + L"\\standin_record.txt"));
            std::size_t start = 0;
            for (std::size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
                const std::wstring line = text.substr(start, end - start);
                lines.push_back(line.substr(line.find(L'\t') + 1));
            }
            if (lines.size() >= n) break;
            Sleep(100);
        }
        return lines;
    }

    testsupport::TempDir dir_;
    std::wstring folder_;
    std::wstring emulator_;
    DownloaderModel* model_ = nullptr;
    common::Handle shell_;
};

const wchar_t kPackageArguments[] = L"downloadpackage=com.example.game|package=com.example.game";

TEST_F(Launch, BeforeWindows8TheShellStartsIt) {
    model_->package = L"com.example.game";
    model_->launchPlayerForPackage();
    const auto lines = recorded(1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(kPackageArguments), std::wstring::npos) << common::wideToAnsi(lines[0]);
    const auto log = takeLogLines();
    EXPECT_TRUE(messagesWithTag(log, "DownloaderModel::runPlayer").empty());
    const auto shell = messagesWithTag(log, "utility::process::shell");
    ASSERT_FALSE(shell.empty());
    EXPECT_EQ(shell.front(), L"shell filename = [" + folder_ + L"\\doririda.exe], param = [" +
                                 kPackageArguments + L"], runas = 1, show = 0");
}

TEST_F(Launch, WithoutTheUsersShellTheTokenLaunchFailsAndTheShellFollows) {
    model_->launchPlayerForPackage();
    ASSERT_EQ(recorded(1).size(), 1u);
    const auto lines = takeLogLines();
    std::vector<std::wstring> runPlayer;
    bool shellAfter = false;
    for (const auto& line : lines) {
        if (line.find("\tDownloaderModel::runPlayer\t(") != std::string::npos) {
            runPlayer.push_back(common::utf8ToWide(line.substr(line.find("):") + 2)));
        }
        if (runPlayer.size() == 2 && line.find("\tutility::process::shell\t(") != std::string::npos) {
            shellAfter = true;
        }
    }
    ASSERT_EQ(runPlayer.size(), 2u);
    EXPECT_EQ(runPlayer[0], L"runPlayer no amdin");
    EXPECT_EQ(runPlayer[1].rfind(L"runPlayer no amdin error ", 0), 0u);
    EXPECT_TRUE(shellAfter);
}

TEST_F(Launch, WithTheUsersShellItsTokenStartsTheEmulator) {
    model_->launchPlayerForPackage();  // no package
    ASSERT_EQ(recorded(1).size(), 1u);
    model_->package = L"com.example.game";
    model_->launchPlayerForPackage();
    const auto lines = recorded(2);
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"\"" + emulator_ + L"\" ",  // the quoted path and one blank
                                                L"\"" + emulator_ + L"\" " + kPackageArguments}));
    const auto log = takeLogLines();
    EXPECT_EQ(messagesWithTag(log, "DownloaderModel::runPlayer"),
              (std::vector<std::wstring>{L"runPlayer no amdin", L"runPlayer no amdin"}));
    EXPECT_TRUE(messagesWithTag(log, "utility::process::shell").empty());
}

TEST_F(Launch, TokenLaunchTakesAtMost1023Characters) {
    const std::wstring head = L"\"" + emulator_ + L"\" ";
    const std::wstring longest(playerlaunch::kMaxCommandLine - head.size(), L'a');
    EXPECT_EQ(playerlaunch::runWithShellToken(emulator_, &longest), 0);
    const std::wstring tooLong = longest + L"a";
    const int refused = playerlaunch::runWithShellToken(emulator_, &tooLong);
    const DWORD error = GetLastError();
    EXPECT_EQ(refused, -1);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_EQ(messagesWithTag(takeLogLines(), "playerlaunch::runWithShellToken"),
              std::vector<std::wstring>{L"command line too long: 1024 characters"});
    EXPECT_EQ(recorded(1), std::vector<std::wstring>{head + longest});
}

// --- ending emulator processes ---------------------------------------------

TEST(Kill, OneTaskkillPerRunningName) {
    testsupport::TempDir dir;
    const std::wstring program = dir.file(L"rkmultiplayer.exe");
    ASSERT_TRUE(CopyFileW(standin().c_str(), program.c_str(), FALSE));
    common::Handle first = utility::process::create(program, L"--stay", false);
    common::Handle second = utility::process::create(program, L"--stay", false);
    ASSERT_TRUE(first && second);
    takeLogLines();

    DownloaderModel::killEmulatorProcesses();
    std::vector<std::wstring> started;
    for (const std::wstring& message : messagesWithTag(takeLogLines(), "utility::process::create")) {
        if (message.find(L"createProcess filename = ") == 0) started.push_back(message);
    }
    EXPECT_EQ(started,
              std::vector<std::wstring>{
                  L"createProcess filename = [taskkill], param = [/F /IM rkmultiplayer.exe /T], show = 0"});
    // Wine's taskkill refuses /T, so the stand-ins are still running here
    // (Windows' ends them); what counts is the one call for the name.
    for (HANDLE child : {first.get(), second.get()}) {
        TerminateProcess(child, 0);
        WaitForSingleObject(child, 10000);
    }

    // Nothing running: nothing to end.
    DownloaderModel::killEmulatorProcesses();
    EXPECT_TRUE(messagesWithTag(takeLogLines(), "utility::process::create").empty());
}

}  // namespace
