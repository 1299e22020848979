// The skin package: the in-memory store, the loose "skin" folder, where the
// string table comes from, and the private font.
#include <windows.h>
#include <gtest/gtest.h>

#include "common/log.h"
#include "skin/SkinFonts.h"
#include "skin/SkinPackage.h"
#include "skin/StringTable.h"
#include "skin_testdata.h"

using namespace DuiLib;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

std::string text(const SkinBytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

void store(const std::wstring& name, const std::string& bytes) {
    storeSkinFile(name, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

const char kTable[] =
    "Code\tlanguage_code\tzh_CN\ten_US\n"
    "Language\tlanguage_name\tChinese\tEnglish\n"
    "Label\tsure\tQueding\tOK\n";

class SkinPackage : public testing::Test {
protected:
    void SetUp() override {
        clearSkinStore();
        clearStringTable();
        setResourceFolder(L"");
        setSkinLanguage(L"en_US");
    }
    void TearDown() override { SetUp(); }
    TempDir dir;
};

TEST_F(SkinPackage, StoreLookupReadsBackslashesAsSlashes) {
    store(L"common/close.png", "png bytes");
    SkinBytes bytes;
    ASSERT_TRUE(loadSkinResource(L"common\\close.png", bytes));
    EXPECT_EQ("png bytes", text(bytes));
    EXPECT_FALSE(loadSkinResource(L"common\\open.png", bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST_F(SkinPackage, LooseFolderOverridesOnlyTheFilesItHolds) {
    store(L"mainframe.xml", "from archive");
    store(L"common/close.png", "archive png");
    store(L"common/empty.png", "archive empty");
    CreateDirectoryW(dir.file(L"skin").c_str(), nullptr);
    CreateDirectoryW(dir.file(L"skin\\common").c_str(), nullptr);
    writeFile(dir.file(L"skin\\mainframe.xml"), "from disk");
    writeFile(dir.file(L"skin\\common\\empty.png"), "");
    setResourceFolder(looseSkinFolder(dir.path()));
    EXPECT_EQ(dir.file(L"skin\\"), resourceFolder());

    SkinBytes bytes;
    ASSERT_TRUE(loadSkinResource(L"mainframe.xml", bytes));
    EXPECT_EQ("from disk", text(bytes));
    ASSERT_TRUE(loadSkinResource(L"common/close.png", bytes));
    EXPECT_EQ("archive png", text(bytes));
    ASSERT_TRUE(loadSkinResource(L"common\\empty.png", bytes));  // an empty loose file does not count
    EXPECT_EQ("archive empty", text(bytes));
}

TEST_F(SkinPackage, AbsoluteNamesComeFromDisk) {
    writeFile(dir.file(L"abs.xml"), "absolute");
    SkinBytes bytes;
    ASSERT_TRUE(loadSkinResource(dir.file(L"abs.xml"), bytes));
    EXPECT_EQ("absolute", text(bytes));
}

TEST_F(SkinPackage, NoSkinFolderMeansNoResourceFolder) {
    EXPECT_EQ(L"", looseSkinFolder(dir.path()));
}

TEST_F(SkinPackage, ArchiveFillsTheStore) {
    std::string archive = testsupport::readFile(skintest::archiveDir() + L"\\lzma2_solid.7z");
    ASSERT_EQ(0, loadSkinArchive(archive.data(), archive.size()));
    SkinBytes bytes;
    ASSERT_TRUE(loadSkinResource(L"data\\big.bin", bytes));
    EXPECT_TRUE(text(bytes) ==
                testsupport::readFile(skintest::archiveDir() + L"\\lzma2_solid.ref\\data\\big.bin"));
}

TEST_F(SkinPackage, MissingArchiveResourceUnpacksNothing) {
    loadSkinPackage(129, L"no_such_table.tsv");
    SkinBytes bytes;
    EXPECT_FALSE(loadSkinResource(L"mainframe.xml", bytes));
    EXPECT_FALSE(findText(L"sure"));
}

TEST_F(SkinPackage, StringTableSources) {
    const std::string packaged = std::string(kTable) + "Label\tfrom\tpackage\tpackage\n";
    const std::string beside = std::string(kTable) + "Label\tfrom\tdisk\tdisk\n";
    const struct {
        const char* what;
        bool hasBeside;
        std::string besideBytes;
        std::string packagedBytes;
        const wchar_t* from;  // expected text of "from"; null = table stays empty
    } cases[] = {
        {"beside wins", true, beside, packaged, L"disk"},
        {"package when nothing beside", false, "", packaged, L"package"},
        {"empty beside file blocks the package", true, "", packaged, nullptr},
        {"tiny packaged table ignored", false, "", "Code\tx", nullptr},
    };
    for (const auto& c : cases) {
        clearStringTable();
        clearSkinStore();
        TempDir exe;
        CreateDirectoryW(exe.file(L"skin").c_str(), nullptr);  // a skin folder does not change the rule
        setResourceFolder(looseSkinFolder(exe.path()));
        if (c.hasBeside) writeFile(exe.file(L"multi_language.tsv"), c.besideBytes);
        store(L"multi_language.tsv", c.packagedBytes);
        loadStringTableFrom(exe.path() + L"\\", L"multi_language.tsv");
        auto from = findText(L"from");
        if (c.from) {
            EXPECT_EQ(c.from, from.value_or(L"<none>")) << c.what;
        } else {
            EXPECT_FALSE(from) << c.what;
            EXPECT_FALSE(findText(L"sure")) << c.what;
        }
    }
}

// The one test of this program that opens the log: the font step's result is
// only visible there.
TEST_F(SkinPackage, PrivateFontIsAddedAndLogged) {
    initLog();
    setLogFile(dir.file(L"test.log"));
    CopyFileW(skintest::hostPath("/usr/share/fonts/truetype/noto/NotoSans-Regular.ttf").c_str(),
              dir.file(L"Test.ttf").c_str(), FALSE);
    std::wstring folder = dir.path() + L"\\";
    EXPECT_EQ(L"", prepareSkinFonts(GetModuleHandleW(nullptr), folder, L""));
    std::wstring added = prepareSkinFonts(GetModuleHandleW(nullptr), folder, L"Test.ttf");
    EXPECT_EQ(folder + L"Test.ttf", added);
    prepareSkinFonts(GetModuleHandleW(nullptr), folder, L"Missing.ttf");
    releaseSkinFont(added);
    stopLogFile();
    std::string log = testsupport::readFile(dir.file(L"test.log"));
    EXPECT_NE(std::string::npos, log.find("load Noto Sans fonts ret:1  error:")) << log;
    EXPECT_NE(std::string::npos, log.find("load Noto Sans fonts ret:0  error:")) << log;
}

}  // namespace
