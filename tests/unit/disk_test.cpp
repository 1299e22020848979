// Disk queries and the path test on the prefix's real drives (C: is always
// there under Wine), the path texts as tables, and desktop shortcuts read
// back through the shell-link object.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "support/TestSupport.h"
#include "utility/disk.h"

namespace disk = helper::disk;
using testsupport::takeLogLines;

namespace {

// A drive letter the prefix does not map, as "Q:".
std::wstring unmappedDrive() {
    const DWORD mapped = GetLogicalDrives();
    for (int i = 25; i >= 3; --i) {
        if (!(mapped & (1u << i))) return std::wstring(1, static_cast<wchar_t>(L'A' + i)) + L":";
    }
    return L"";
}

std::vector<std::string> messagesWithTag(const std::vector<std::string>& lines, const std::string& tag) {
    std::vector<std::string> messages;
    for (const auto& line : lines) {
        if (line.find("\t" + tag + "\t(") == std::string::npos) continue;
        messages.push_back(line.substr(line.find("):") + 2));
    }
    return messages;
}

struct TextCase {
    const wchar_t* input;
    const wchar_t* expected;
};

TEST(DiskText, NormalizePathText) {
    const TextCase cases[] = {
        {L"D:/Games//Orvane/", L"d:\\games\\orvane"},
        {L"d:\\games\\orvane", L"d:\\games\\orvane"},
        {L"\\\\server\\share", L"server\\share"},
        {L"C:\\", L"c:"},
        {L"a\\\\\\\\b//\\c", L"a\\b\\c"},
        {L"\\/\\", L""},
        {L"", L""},
    };
    for (const TextCase& c : cases) EXPECT_EQ(disk::normalizePathText(c.input), c.expected) << c.input;
}

TEST(DiskText, TrimSpacesRemovesOnlyBlanksAtTheEnds) {
    const TextCase cases[] = {
        {L"  d:\\my games  ", L"d:\\my games"},
        {L"\ta\t ", L"\ta\t"},
        {L"   ", L""},
        {L"", L""},
        {L"x", L"x"},
    };
    for (const TextCase& c : cases) {
        std::wstring text = c.input;
        disk::trimSpaces(text);
        EXPECT_EQ(text, c.expected) << c.input;
    }
}

TEST(DiskText, ForbiddenCharacters) {
    for (wchar_t c : std::wstring(L"/:*?\"<>|")) {
        EXPECT_TRUE(disk::hasForbiddenPathChar(std::wstring(L"games") + c + L"x")) << c;
    }
    EXPECT_FALSE(disk::hasForbiddenPathChar(L"my games\\orvane (1)\\a.b-c_d"));
    EXPECT_FALSE(disk::hasForbiddenPathChar(L""));
}

TEST(DiskPath, InstallPathTest) {
    const std::wstring missing = unmappedDrive();
    ASSERT_FALSE(missing.empty());
    struct Case {
        std::wstring path;
        bool valid;
    };
    const Case cases[] = {
        {L"c:\\games\\orvane", true},
        {L"C:/Games//Orvane/", true},
        {L"c:\\a\\b  ", true},  // trailing blanks of the last component go
        {L"  c:\\games", true},
        {L"C:\\", false},  // a bare root loses its backslash and is too short
        {L"C:", false},
        {L"c:\\my games\\a*b", false},
        {L"c:\\a\\ \\b", false},  // a component of spaces only
        {L"c:\\a:b", false},
        {L"\\\\server\\share", false},
        {L"c:games", false},  // relative to the drive's current folder
        {missing + L"\\games\\orvane", false},
        {L"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(disk::isValidInstallPath(c.path), c.valid) << testing::PrintToString(c.path);
}

TEST(DiskSpace, FreeSpaceOfTheRoot) {
    const double root = disk::freeSpaceMB(L"C:\\");
    EXPECT_GT(root, 0);
    // Any path counts as its root, existing or not.
    EXPECT_DOUBLE_EQ(disk::freeSpaceMB(L"C:\\no\\such\\folder"), root);
    EXPECT_EQ(disk::freeSpaceMB(unmappedDrive() + L"\\x"), 0);
    EXPECT_EQ(disk::freeSpaceMB(L""), 0);
}

TEST(DiskSpace, UsableFreeSpaceOfAcceptedVolume) {
    // Wine reports NTFS for its drives.
    EXPECT_DOUBLE_EQ(disk::usableFreeSpaceMB(L"C:\\"), disk::freeSpaceMB(L"C:\\"));
    EXPECT_DOUBLE_EQ(disk::usableFreeSpaceMB(L"C:\\windows"), disk::freeSpaceMB(L"C:\\"));
    EXPECT_EQ(disk::usableFreeSpaceMB(unmappedDrive() + L"\\"), 0);
}

TEST(DiskDrives, FixedDrivesAreRootsOfFixedType) {
    std::vector<std::wstring> roots;
    disk::listFixedDrives(roots);
    ASSERT_FALSE(roots.empty());
    EXPECT_EQ(roots.front(), L"C:\\");  // listed in the system's (alphabetical) order
    for (const std::wstring& root : roots) {
        ASSERT_EQ(root.size(), 3u);
        const UINT type = GetDriveTypeW(root.c_str());
        EXPECT_TRUE(type == DRIVE_FIXED || type > DRIVE_RAMDISK) << testing::PrintToString(root);
    }
}

TEST(DiskDrives, SsdAnswerIsFalseWithoutTrimAnswer) {
    // Wine opens the volume but does not answer the TRIM query.
    EXPECT_FALSE(disk::isSsdVolume(L"C:"));
    EXPECT_FALSE(disk::isSsdVolume(unmappedDrive()));
}

// --- shortcuts ---------------------------------------------------------------

struct LinkFacts {
    std::wstring target;
    std::wstring arguments;
    std::wstring workingFolder;
    std::wstring icon;
    int iconIndex = -1;
};

bool readLink(const std::wstring& path, LinkFacts& facts) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link)))) {
        return false;
    }
    IPersistFile* file = nullptr;
    bool ok = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
              SUCCEEDED(file->Load(path.c_str(), STGM_READ));
    if (ok) {
        wchar_t text[1024] = {};
        link->GetPath(text, 1024, nullptr, SLGP_RAWPATH);
        facts.target = text;
        text[0] = 0;
        link->GetArguments(text, 1024);
        facts.arguments = text;
        text[0] = 0;
        link->GetWorkingDirectory(text, 1024);
        facts.workingFolder = text;
        text[0] = 0;
        link->GetIconLocation(text, 1024, &facts.iconIndex);
        facts.icon = text;
    }
    if (file) file->Release();
    link->Release();
    return ok;
}

std::wstring desktop() {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class Shortcut : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        takeLogLines();
        name_ = L"orvane_test_" + std::to_wstring(GetCurrentProcessId());
        link_ = desktop() + L"\\" + name_ + L".lnk";
        DeleteFileW(link_.c_str());
    }
    void TearDown() override {
        DeleteFileW(link_.c_str());
        CoUninitialize();
    }

    testsupport::TempDir dir_;
    std::wstring name_;
    std::wstring link_;
};

TEST_F(Shortcut, WritesTargetArgumentsFolderAndIcon) {
    const std::wstring target = dir_.file(L"doririda.exe");
    disk::createShortcut(name_, dir_.file(L"game.ico"), dir_.path(), target, L"package=com.example.game");
    LinkFacts facts;
    ASSERT_TRUE(readLink(link_, facts));
    EXPECT_EQ(facts.target, target);
    EXPECT_EQ(facts.arguments, L"package=com.example.game");
    EXPECT_EQ(facts.workingFolder, dir_.path());
    EXPECT_EQ(facts.icon, dir_.file(L"game.ico"));
    EXPECT_EQ(facts.iconIndex, 0);
    EXPECT_TRUE(messagesWithTag(takeLogLines(), "helper::disk::createShortcut").empty());
}

TEST_F(Shortcut, EmptyArgumentsSetNoneAndASecondCallReplacesTheFirst) {
    disk::createShortcut(name_, dir_.file(L"a.ico"), dir_.path(), dir_.file(L"first.exe"), L"package=first");
    disk::createShortcut(name_, dir_.file(L"b.ico"), dir_.path(), dir_.file(L"second.exe"), L"");
    LinkFacts facts;
    ASSERT_TRUE(readLink(link_, facts));
    EXPECT_EQ(facts.target, dir_.file(L"second.exe"));
    EXPECT_EQ(facts.arguments, L"");
    EXPECT_EQ(facts.icon, dir_.file(L"b.ico"));
}

TEST_F(Shortcut, NameWithSeparatorIsRefusedAndNothingLandsOutsideTheDesktop) {
    const std::wstring parent = desktop() + L"\\..\\";
    for (const std::wstring& name : {L"..\\" + name_, L"../" + name_, L"C:" + name_}) {
        disk::createShortcut(name, dir_.file(L"a.ico"), dir_.path(), dir_.file(L"x.exe"), L"");
        EXPECT_FALSE(exists(parent + name_ + L".lnk"));
    }
    const auto messages = messagesWithTag(takeLogLines(), "helper::disk::createShortcut");
    EXPECT_EQ(messages.size(), 3u);
    for (const auto& m : messages) EXPECT_EQ(m.find("shortcut name is not a file name: "), 0u) << m;
}

TEST_F(Shortcut, NameTheFileSystemRefusesFailsSilently) {
    disk::createShortcut(name_ + L"*?", dir_.file(L"a.ico"), dir_.path(), dir_.file(L"x.exe"), L"");
    EXPECT_FALSE(exists(link_));
    EXPECT_TRUE(messagesWithTag(takeLogLines(), "helper::disk::createShortcut").empty());
}

TEST_F(Shortcut, ThreadWithoutComFailsAtTheLinkObject) {
    std::thread([&] {
        disk::createShortcut(name_, dir_.file(L"a.ico"), dir_.path(), dir_.file(L"x.exe"), L"");
    }).join();
    EXPECT_FALSE(exists(link_));
    const auto messages = messagesWithTag(takeLogLines(), "helper::disk::createShortcut");
    EXPECT_EQ(messages, std::vector<std::string>{"install 3 of create shortcut failed!"});
}

}  // namespace
