// Process control with a real child: the console stand-in (a copy of
// orvane_standin.exe named rkconsole.exe) records the command line it got
// into standin_record.txt beside itself and ends with the code it is told.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/textconv.h"
#include "support/TestSupport.h"
#include "utility/process.h"
#include "utility/ufile.h"

namespace process = utility::process;
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

class Process : public testing::Test {
protected:
    void SetUp() override {
        folder_ = dir_.file(L"with blanks");
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
        program_ = folder_ + L"\\rkconsole.exe";
        const std::wstring standin = utility::ufile::getModuleDir() + L"orvane_standin.exe";
        ASSERT_TRUE(CopyFileW(standin.c_str(), program_.c_str(), FALSE)) << "orvane_standin.exe not built";
        takeLogLines();
    }

    // Command lines the stand-in recorded, in order.
    std::vector<std::wstring> recorded() const {
        const std::wstring text = common::utf8ToWide(readFile(folder_ + L"\\standin_record.txt"));
        std::vector<std::wstring> lines;
        std::size_t start = 0;
        for (std::size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
            const std::wstring line = text.substr(start, end - start);
            lines.push_back(line.substr(line.find(L'\t') + 1));
        }
        return lines;
    }

    // Waits (bounded) until the stand-in recorded n command lines.
    bool waitForRecords(std::size_t n) const {
        for (int i = 0; i < 300 && recorded().size() < n; ++i) Sleep(100);
        return recorded().size() >= n;
    }

    testsupport::TempDir dir_;
    std::wstring folder_;
    std::wstring program_;
};

TEST_F(Process, CreateQuotesTheFileAndPassesParametersUnchanged) {
    struct Case {
        std::wstring parameters;
        std::wstring commandLine;
    };
    const Case cases[] = {
        {L"", L"\"" + program_ + L"\""},  // no trailing blank
        {L"a \"b c\" d\"e", L"\"" + program_ + L"\" a \"b c\" d\"e"},
    };
    std::vector<std::wstring> expected;
    for (const Case& c : cases) {
        DWORD id = 0;
        common::Handle child = process::create(program_, c.parameters, false, &id);
        ASSERT_TRUE(child);
        EXPECT_EQ(GetProcessId(child.get()), id);
        EXPECT_EQ(WaitForSingleObject(child.get(), 30000), WAIT_OBJECT_0);
        expected.push_back(c.commandLine);
    }
    EXPECT_EQ(recorded(), expected);
    const auto messages = messagesWithTag(takeLogLines(), "utility::process::create");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(common::utf8ToWide(messages[0]),
              L"createProcess filename = [" + program_ + L"], param = [], show = 0");
}

TEST_F(Process, CreateOfMissingFileGivesNoHandle) {
    EXPECT_FALSE(process::create(folder_ + L"\\missing.exe", L"", true));
    const auto messages = messagesWithTag(takeLogLines(), "utility::process::create");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], "createProcess failed!!! lastError = 2");
}

TEST_F(Process, ExecuteResultFollowsTheExitCode) {
    EXPECT_TRUE(process::execute(program_, L"--exit=0", false, 30000));
    EXPECT_FALSE(process::execute(program_, L"--exit=1", false, 30000));
    const auto messages = messagesWithTag(takeLogLines(), "utility::process::execute");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].rfind("execute exitcode = 0 lastError = ", 0), 0u) << messages[0];
    EXPECT_EQ(messages[1].rfind("execute exitcode = 1 lastError = ", 0), 0u) << messages[1];
}

TEST_F(Process, ExecuteWithoutWaitIsTrueWhateverTheProgramDoes) {
    EXPECT_TRUE(process::execute(program_, L"--exit=1", false, 0));
    ASSERT_TRUE(waitForRecords(1));
    EXPECT_TRUE(messagesWithTag(takeLogLines(), "utility::process::execute").empty());
}

TEST_F(Process, ExecuteTimeoutLeavesTheProgramRunning) {
    EXPECT_FALSE(process::execute(program_, L"--stay", false, 200));
    EXPECT_EQ(messagesWithTag(takeLogLines(), "utility::process::execute"),
              std::vector<std::string>{"execute timeout!!!"});
    process::ProcessMap running;
    process::listProcesses(running);
    ASSERT_EQ(running.count(L"rkconsole.exe"), 1u);
    common::Handle child(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, running[L"rkconsole.exe"]));
    ASSERT_TRUE(child);
    TerminateProcess(child.get(), 0);
    WaitForSingleObject(child.get(), 30000);
}

TEST_F(Process, ExecuteOfMissingFileFails) {
    EXPECT_FALSE(process::execute(folder_ + L"\\missing.exe", L"", false, 1000));
    const auto messages = messagesWithTag(takeLogLines(), "utility::process::execute");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("execute failed!!! last error = ", 0), 0u) << messages[0];
}

TEST_F(Process, ShellStartsTheProgramWithItsParameters) {
    EXPECT_TRUE(process::shell(program_, L"package=com.example.game", false, false));
    ASSERT_TRUE(waitForRecords(1));
    EXPECT_NE(recorded()[0].find(L"package=com.example.game"), std::wstring::npos);
    const auto messages = messagesWithTag(takeLogLines(), "utility::process::shell");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(
        common::utf8ToWide(messages[0]),
        L"shell filename = [" + program_ + L"], param = [package=com.example.game], runas = 0, show = 0");
    EXPECT_EQ(messages[1].rfind("shellEx ret . lastError = ", 0), 0u);
}

TEST_F(Process, ShellOfMissingFileFails) {
    EXPECT_FALSE(process::shell(folder_ + L"\\missing.exe", L"", true, true));
    const auto messages = messagesWithTag(takeLogLines(), "utility::process::shell");
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2].rfind("shellEx failed!!! lastError = ", 0), 0u) << messages[2];
}

TEST_F(Process, SnapshotKeepsOneEntryPerName) {
    common::Handle first = process::create(program_, L"--stay", false);
    common::Handle second = process::create(program_, L"--stay", false);
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(waitForRecords(2));
    process::ProcessMap running;
    process::listProcesses(running);
    ASSERT_EQ(running.count(L"rkconsole.exe"), 1u);
    const DWORD id = running[L"rkconsole.exe"];
    EXPECT_TRUE(id == GetProcessId(first.get()) || id == GetProcessId(second.get()));
    for (HANDLE child : {first.get(), second.get()}) {
        TerminateProcess(child, 0);
        WaitForSingleObject(child, 30000);
    }
}

}  // namespace
