// The install-folder texts of the path chooser: completion to a product
// folder, normalisation, prompt texts and which disk prompt a folder gets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/ConfigImp.h"
#include "ui/installpath.h"

using namespace ui::installpath;

namespace {

// The nine edition's folders in one region, from the edition tables.
ProductFolders foldersFor(const wchar_t* languageCode) {
    ConfigImp* config = ConfigImp::getInstance();
    config->setEdition(Edition::Player9);
    config->setLanguageCode(languageCode);
    ProductFolders folders = {config->getInstallSubPath(), config->getInstallFolderName(),
                              config->getProductFolderName()};
    config->setLanguageCode(L"en");
    return folders;
}

TEST(InstallPath, CompletionToTheProductFolder) {
    const ProductFolders en = foldersFor(L"en");
    const ProductFolders cn = foldersFor(L"cn");
    const struct {
        const ProductFolders& folders;
        const wchar_t* chosen;
        const wchar_t* stored;
    } cases[] = {
        {en, L"D:\\", L"D:\\Orvane\\Orvane9\\"},
        {cn, L"D:\\", L"D:\\Kavora\\Orvane9\\"},
        {en, L"D:", L"D:\\Orvane\\Orvane9\\"},                        // a root given without its backslash
        {en, L"D:\\Games\\Kavora", L"D:\\Games\\Kavora\\Orvane9\\"},  // the brand folder: edition folder only
        {en, L"D:\\Games\\KAVORA\\", L"D:\\Games\\KAVORA\\Orvane9\\"},
        {en, L"D:\\Kavora\\Games", L"D:\\Kavora\\Games\\Orvane\\Orvane9\\"},  // brand not at the end
        {en, L"D:\\Games", L"D:\\Games\\Orvane\\Orvane9\\"},
        {en, L"D:\\Games\\Orvane9\\", L"D:\\Games\\Orvane9\\"},  // names the product already
        {en, L"D:\\Games\\orvane9\\",
         L"D:\\Games\\orvane9\\Orvane\\Orvane9\\"},  // the product test minds case
        {en, L"D:\\Emu\\doririda", L"D:\\Emu\\doririda\\"},
        {en, L"Orvane\\x", L"Orvane\\x\\Orvane\\Orvane9\\"},  // a name at the very start does not count
        {en, L"D:/Games/Orvane", L"D:/Games/Orvane\\"},       // completion does not normalise
    };
    for (const auto& c : cases) EXPECT_EQ(c.stored, completeInstallPath(c.chosen, c.folders)) << c.chosen;
}

TEST(InstallPath, Normalisation) {
    const struct {
        const wchar_t* before;
        const wchar_t* after;
    } cases[] = {
        {L"D:/Games/Orvane/", L"D:\\Games\\Orvane\\"},
        {L"D:\\\\Games\\\\Orvane", L"D:\\Games\\Orvane\\"},
        {L"D:\\\\\\Games", L"D:\\\\Games\\"},  // three backslashes end as two
        {L"D://Games", L"D:\\Games\\"},
        {L"  D:\\Games\\  ", L"D:\\Games\\"},
        {L"D:\\My Games\\", L"D:\\My Games\\"},
        {L"", L""},
    };
    for (const auto& c : cases) {
        std::wstring path = c.before;
        normalizeInstallPath(path);
        EXPECT_EQ(c.after, path) << c.before;
    }
}

TEST(InstallPath, PlaceholdersTakeOnlyTextArguments) {
    const struct {
        const wchar_t* format;
        std::vector<std::wstring> args;
        const wchar_t* text;
    } cases[] = {
        {L"HDD (Disk %s), SSD (Disk %s)?", {L"D", L"C"}, L"HDD (Disk D), SSD (Disk C)?"},
        {L"use Disk %s", {L"E"}, L"use Disk E"},
        {L"%s and %s and %s", {L"D"}, L"D and  and "},  // a translation with more places than values
        {L"%d%% %n %s", {L"D"}, L"%d%% %n D"},          // no other conversion is honoured
        {L"100%", {L"D"}, L"100%"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.text, fillPlaceholders(c.format, c.args)) << c.format;
    EXPECT_EQ(255u, fillPlaceholders(std::wstring(300, L'x'), {}).size());
}

struct FakeDisks {
    bool chosenIsSsd = false;
    double freeMB = 0;
    std::vector<std::wstring> asked;

    DiskQueries queries() {
        return {[this](const std::wstring& prefix) {
                    asked.push_back(L"ssd " + prefix);
                    return chosenIsSsd;
                },
                [this](const std::wstring& path) {
                    asked.push_back(L"free " + path);
                    return freeMB;
                }};
    }
};

TEST(InstallPath, DiskPrompts) {
    const std::wstring best = L"C:\\Orvane\\Orvane9\\";
    const struct {
        const char* name;
        const wchar_t* path;
        bool fromUser;
        std::wstring bestPath;
        bool bestIsSsd;
        bool chosenIsSsd;
        double freeMB;
        PathPrompt prompt;
    } cases[] = {
        {"same disk, however full", L"C:\\Games", true, best, true, false, 0, PathPrompt::SameDisk},
        {"hard disk while the best is an SSD", L"D:\\Games", true, best, true, false, 99999, PathPrompt::Ssd},
        {"kept hard disk: space check only", L"D:\\Games", false, best, true, false, 99999, PathPrompt::None},
        {"kept hard disk short of room", L"D:\\Games", false, best, true, false, 100, PathPrompt::LowSpace},
        {"an SSD chosen", L"D:\\Games", true, best, true, true, 100, PathPrompt::LowSpace},
        {"best on a hard disk", L"D:\\Games", true, best, false, false, 17408, PathPrompt::None},
        {"just below 17 GiB", L"D:\\Games", true, best, false, false, 17407.9, PathPrompt::LowSpace},
        {"unreadable space counts as none", L"D:\\Games", true, best, false, false, 0, PathPrompt::LowSpace},
        {"no best path", L"D:\\Games", true, L"", true, false, 99999, PathPrompt::None},
        {"a best path of only a drive", L"C:\\Games", true, L"C:", false, false, 100, PathPrompt::LowSpace},
    };
    for (const auto& c : cases) {
        FakeDisks disks;
        disks.chosenIsSsd = c.chosenIsSsd;
        disks.freeMB = c.freeMB;
        EXPECT_EQ(c.prompt, choosePathPrompt(c.path, c.fromUser, c.bestPath, c.bestIsSsd, disks.queries()))
            << c.name;
    }
}

TEST(InstallPath, DisksAreAskedOnlyWhenNeeded) {
    FakeDisks disks;
    disks.freeMB = 99999;
    choosePathPrompt(L"C:\\Games", true, L"C:\\Orvane\\", true, disks.queries());
    EXPECT_TRUE(disks.asked.empty());
    choosePathPrompt(L"D:\\Games", true, L"C:\\Orvane\\", true, disks.queries());
    EXPECT_EQ((std::vector<std::wstring>{L"ssd D:"}), disks.asked);
    disks.asked.clear();
    choosePathPrompt(L"D:\\Games", false, L"C:\\Orvane\\", true, disks.queries());
    EXPECT_EQ((std::vector<std::wstring>{L"free D:\\Games"}), disks.asked);
}

}  // namespace
