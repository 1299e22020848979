// Disk queries and the install-location decision on drives that
// test_install_location.py adds to a scenario prefix:
//   ORVANE_TEST_SMALL_DRIVE     "D:", a small file system (tmpfs)
//   ORVANE_TEST_SMALL_FREE      its free bytes as the host sees them
//   ORVANE_TEST_BIG_DRIVE       "E:", a file system larger than any other drive
//   ORVANE_TEST_EXCLUDED_DRIVES drive letters typed CD-ROM, network, floppy ("FGH")
// The prefix's registry is private to the scenario, so the edition keys may
// be written freely.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/textconv.h"
#include "config/ConfigImp.h"
#include "model/DownloaderModel.h"
#include "model/InstallLocation.h"
#include "support/TestSupport.h"
#include "utility/disk.h"

namespace disk = helper::disk;

namespace {

std::wstring env(const char* name) {
    const char* value = std::getenv(name);
    return value ? common::ansiToWide(value) : std::wstring();
}

class Drives : public testing::Test {
protected:
    void SetUp() override {
        small_ = env("ORVANE_TEST_SMALL_DRIVE");
        big_ = env("ORVANE_TEST_BIG_DRIVE");
        ASSERT_EQ(small_.size(), 2u) << "run through test_install_location.py";
        ASSERT_EQ(big_.size(), 2u);
    }
    std::wstring small_;
    std::wstring big_;
};

TEST_F(Drives, SmallDriveReportsItsRealFreeSpace) {
    const double expected =
        std::strtod(common::wideToAnsi(env("ORVANE_TEST_SMALL_FREE")).c_str(), nullptr) / 1048576;
    ASSERT_GT(expected, 0);
    EXPECT_DOUBLE_EQ(disk::freeSpaceMB(small_ + L"\\"), expected);
    EXPECT_DOUBLE_EQ(disk::freeSpaceMB(small_ + L"\\Orvane\\Orvane9\\"), expected);
    EXPECT_DOUBLE_EQ(disk::usableFreeSpaceMB(small_ + L"\\"), expected);
    EXPECT_LT(disk::freeSpaceMB(small_ + L"\\"), 1024);  // below the window's install limit
    EXPECT_TRUE(disk::isValidInstallPath(small_ + L"\\Orvane\\Orvane9"));
    EXPECT_FALSE(disk::isValidInstallPath(small_ + L"\\"));
}

TEST_F(Drives, OnlyFixedDrivesAreListed) {
    std::vector<std::wstring> roots;
    disk::listFixedDrives(roots);
    auto listed = [&](const std::wstring& letter) {
        for (const std::wstring& root : roots) {
            if (root == letter + L":\\") return true;
        }
        return false;
    };
    EXPECT_TRUE(listed(small_.substr(0, 1)));
    EXPECT_TRUE(listed(big_.substr(0, 1)));
    const std::wstring excluded = env("ORVANE_TEST_EXCLUDED_DRIVES");
    ASSERT_FALSE(excluded.empty());
    for (wchar_t letter : excluded) {
        const std::wstring root = std::wstring(1, letter) + L":\\";
        EXPECT_NE(GetDriveTypeW(root.c_str()), static_cast<UINT>(DRIVE_NO_ROOT_DIR)) << "drive not mapped";
        EXPECT_FALSE(listed(std::wstring(1, letter))) << testing::PrintToString(root);
    }
}

// --- the decision ------------------------------------------------------------

const wchar_t kEditionKey9[] = L"Software\\Brennot\\Orvane9";
const wchar_t kEditionKey64[] = L"Software\\Brennot\\Orvane64";
const wchar_t kKrKey[] = L"Software\\Selvath\\doririda-kr";
const wchar_t kTwKey[] = L"Software\\Selvath\\doririda-tw";

void setInstallDir(const std::wstring& key, const std::wstring& folder) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, key.c_str(), &handle), ERROR_SUCCESS);
    RegSetValueExW(handle, L"InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
}

bool keyExists(const std::wstring& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
}

class Decision : public Drives {
protected:
    void SetUp() override {
        Drives::SetUp();
        for (const wchar_t* key : {kEditionKey9, kEditionKey64, kKrKey, kTwKey}) {
            RegDeleteTreeW(HKEY_CURRENT_USER, key);
        }
        testsupport::takeLogLines();
    }
    void TearDown() override {
        DownloaderModel::destroyInstance();
        ConfigImp::getInstance()->setEdition(Edition::Player9);
        ConfigImp::getInstance()->setLanguageCode(L"en");
    }

    DownloaderModel* decide(Edition edition, const std::wstring& languageCode) {
        ConfigImp::getInstance()->setEdition(edition);
        ConfigImp::getInstance()->setLanguageCode(languageCode);
        DownloaderModel* model = DownloaderModel::instance();
        model->installPath.clear();
        model->_calcInstallPath();
        return model;
    }

    static std::vector<std::wstring> logged() {
        std::vector<std::wstring> messages;
        for (const std::string& line : testsupport::takeLogLines()) {
            if (line.find("\tDownloaderModel::_calcInstallPath\t(") == std::string::npos) continue;
            messages.push_back(common::utf8ToWide(line.substr(line.find("):") + 2)));
        }
        return messages;
    }
};

TEST_F(Decision, WithoutEarlierInstallTheLargestDriveWins) {
    DownloaderModel* model = decide(Edition::Player9, L"en");
    const std::wstring expected = big_ + L"\\Orvane\\Orvane9\\";
    EXPECT_EQ(model->installPath, expected);
    EXPECT_EQ(model->defaultInstallPath, expected);
    EXPECT_FALSE(model->defaultDiskIsSsd);
    EXPECT_EQ(logged(), (std::vector<std::wstring>{L"read from reg: path is ",
                                                   L"get install path from MaxFreeSpace: " + expected}));
    // Reading the edition's record left its key behind, empty.
    EXPECT_TRUE(keyExists(kEditionKey9));
}

TEST_F(Decision, EarlierInstallIsReused) {
    struct Case {
        Edition edition;
        const wchar_t* language;
        std::vector<std::pair<const wchar_t*, const wchar_t*>> records;  // key, folder
        const wchar_t* expected;
    };
    const Case cases[] = {
        {Edition::Player9, L"kr", {{kKrKey, L"D:\\kr\\"}, {kEditionKey9, L"D:\\nine\\"}}, L"D:\\kr\\"},
        {Edition::Player9, L"tw", {{kTwKey, L"D:\\tw"}, {kEditionKey9, L"D:\\nine"}}, L"D:\\tw"},
        {Edition::Player3, L"kr", {{kKrKey, L"D:\\kr3"}}, L"D:\\kr3"},
        {Edition::Player9, L"kr", {{kEditionKey9, L"D:\\nine"}}, L"D:\\nine"},  // kr key empty: edition key
        {Edition::Player64,
         L"kr",
         {{kKrKey, L"D:\\kr"}, {kEditionKey64, L"D:\\sixtyfour\\"}},
         L"D:\\sixtyfour\\"},
        {Edition::Player9, L"en", {{kKrKey, L"D:\\kr"}, {kEditionKey9, L"D:\\nine"}}, L"D:\\nine"},
    };
    for (const Case& c : cases) {
        for (const wchar_t* key : {kEditionKey9, kEditionKey64, kKrKey, kTwKey}) {
            RegDeleteTreeW(HKEY_CURRENT_USER, key);
        }
        for (const auto& record : c.records) setInstallDir(record.first, record.second);
        DownloaderModel* model = decide(c.edition, c.language);
        EXPECT_EQ(model->installPath, c.expected) << testing::PrintToString(std::wstring(c.expected));
        EXPECT_EQ(model->defaultInstallPath, L"");
        EXPECT_EQ(logged(), std::vector<std::wstring>{std::wstring(L"read from reg: path is ") + c.expected});
        DownloaderModel::destroyInstance();
    }
}

}  // namespace
