// The install-location pieces that need no particular disks: the best-disk
// choice over disk facts, and the registry read on a key of the test's own.
// The choice on real drives and the edition keys run in
// tests/integration/test_install_location.py.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/InstallLocation.h"

using installlocation::BestDisk;
using installlocation::chooseBestDisk;
using installlocation::DiskFacts;

namespace {

const double kGiB = 1024;  // in MiB

struct ChoiceCase {
    const char* what;
    std::vector<DiskFacts> disks;
    const wchar_t* root;
    bool ssd;
};

TEST(BestDisk, Choice) {
    const ChoiceCase cases[] = {
        {"a large SSD beats a far larger hard disk",
         {{L"C:\\", 20 * kGiB, true}, {L"D:\\", 500 * kGiB, false}},
         L"C:\\",
         true},
        {"no SSD bonus at 16 GiB", {{L"C:\\", 16 * kGiB, true}, {L"D:\\", 17 * kGiB, false}}, L"D:\\", false},
        {"no bonus at exactly 17408 MiB, fractions cut",
         {{L"C:\\", 17408.9, true}, {L"D:\\", 17409, false}},
         L"D:\\",
         false},
        {"bonus from 17409 MiB", {{L"C:\\", 17409, true}, {L"D:\\", 17408 * 999, false}}, L"C:\\", true},
        {"a rejected file system scores 0 whatever its size",
         {{L"C:\\", 0, false}, {L"E:\\", 10, false}},
         L"E:\\",
         false},
        {"equal scores: the first listed wins",
         {{L"C:\\", 100, false}, {L"D:\\", 100, false}},
         L"C:\\",
         false},
        {"all score 0: the first listed wins", {{L"D:\\", 0, false}, {L"E:\\", 0, false}}, L"D:\\", false},
        {"a drive without room is no SSD", {{L"C:\\", 0, true}}, L"C:\\", false},
        {"no drive at all", {}, L"", false},
    };
    for (const ChoiceCase& c : cases) {
        const BestDisk best = chooseBestDisk(c.disks);
        EXPECT_EQ(best.root, c.root) << c.what;
        EXPECT_EQ(best.ssd, c.ssd) << c.what;
    }
}

class ReadInstallDir : public testing::Test {
protected:
    void SetUp() override {
        key_ = L"Software\\OrvaneTest\\install_location_" + std::to_wstring(GetCurrentProcessId());
        RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str()); }

    void setValue(DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, key_.c_str(), &key), ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(key, L"InstallDir", 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void setText(const std::wstring& text) {
        setValue(REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    bool keyExists() const {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }

    std::wstring key_;
};

TEST_F(ReadInstallDir, MissingKeyReadsEmptyAndIsLeftBehind) {
    ASSERT_FALSE(keyExists());
    EXPECT_EQ(installlocation::readInstallDir(key_), L"");
    EXPECT_TRUE(keyExists());
}

TEST_F(ReadInstallDir, FolderIsTakenUnchanged) {
    for (const wchar_t* folder : {L"D:\\Orvane\\Orvane9\\", L"D:\\Orvane\\Orvane9", L"E:\\游戏\\Orvane"}) {
        setText(folder);
        EXPECT_EQ(installlocation::readInstallDir(key_), folder);
    }
}

TEST_F(ReadInstallDir, OnlyTextValuesCount) {
    const DWORD number = 0x43;  // would read as "C"
    setValue(REG_DWORD, &number, sizeof(number));
    EXPECT_EQ(installlocation::readInstallDir(key_), L"");
    // Too long for the 2048-byte buffer: nothing rather than a cut folder.
    setText(std::wstring(1100, L'x'));
    EXPECT_EQ(installlocation::readInstallDir(key_), L"");
}

}  // namespace
