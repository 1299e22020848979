// The extraction layer against the 7z command line: every archive made by
// `7z a` at build time must unpack to exactly what `7z x` produced.
#include <windows.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "skin/ArchiveExtract.h"
#include "skin_testdata.h"

using namespace DuiLib;
using testsupport::readFile;
using testsupport::TempDir;

namespace {

// Relative path ("data\big.bin") -> contents for files; folders map to "/".
using Tree = std::map<std::wstring, std::string>;
const std::string kFolder = "/";

void listTree(const std::wstring& root, const std::wstring& rel, Tree& tree) {
    WIN32_FIND_DATAW data;
    std::wstring folder = rel.empty() ? root : root + L"\\" + rel;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring child = rel.empty() ? name : rel + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            tree[child] = kFolder;
            listTree(root, child, tree);
        } else {
            tree[child] = readFile(root + L"\\" + child);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

Tree treeOf(const std::wstring& root) {
    Tree tree;
    listTree(root, L"", tree);
    return tree;
}

std::string archiveBytes(const std::wstring& name) {
    return readFile(skintest::archiveDir() + L"\\" + name);
}

int toFolder(const std::string& archive, const std::wstring& folder) {
    return extractArchiveToFolder(archive.data(), archive.size(), folder);
}

// Members delivered by the memory sink, with "\" separators like treeOf.
struct Delivered {
    std::vector<std::wstring> order;
    Tree files;
};

int toMemory(const std::string& archive, Delivered& out) {
    return extractArchiveToMemory(archive.data(), archive.size(),
                                  [&](const std::wstring& name, const unsigned char* bytes, size_t length) {
                                      std::wstring key = name;
                                      for (wchar_t& c : key)
                                          if (c == L'/') c = L'\\';
                                      out.order.push_back(name);
                                      out.files[key] =
                                          std::string(reinterpret_cast<const char*>(bytes), length);
                                  });
}

Tree filesOnly(const Tree& tree) {
    Tree files;
    for (const auto& entry : tree)
        if (entry.second != kFolder) files.insert(entry);
    return files;
}

class Differential : public testing::TestWithParam<const wchar_t*> {};

TEST_P(Differential, FolderSinkMatchesSevenZip) {
    TempDir dir;
    std::wstring dest = dir.file(L"out");
    ASSERT_EQ(kExtractOk, toFolder(archiveBytes(std::wstring(GetParam()) + L".7z"), dest));
    Tree expected = treeOf(skintest::archiveDir() + L"\\" + GetParam() + L".ref");
    ASSERT_GE(expected.size(), 10u);
    Tree actual = treeOf(dest);
    ASSERT_EQ(expected.size(), actual.size());
    for (const auto& entry : expected) {
        auto it = actual.find(entry.first);
        ASSERT_NE(it, actual.end()) << "missing " << testing::PrintToString(entry.first);
        EXPECT_TRUE(it->second == entry.second) << "differs: " << testing::PrintToString(entry.first);
    }
}

TEST_P(Differential, MemorySinkDeliversEveryFileOnce) {
    Delivered got;
    ASSERT_EQ(kExtractOk, toMemory(archiveBytes(std::wstring(GetParam()) + L".7z"), got));
    Tree expected = filesOnly(treeOf(skintest::archiveDir() + L"\\" + GetParam() + L".ref"));
    EXPECT_EQ(expected.size(), got.order.size());
    ASSERT_EQ(expected.size(), got.files.size());
    for (const auto& entry : expected) {
        auto it = got.files.find(entry.first);
        ASSERT_NE(it, got.files.end()) << "missing " << testing::PrintToString(entry.first);
        EXPECT_TRUE(it->second == entry.second) << "differs: " << testing::PrintToString(entry.first);
    }
    bool slashSeparated = false;
    for (const auto& name : got.order) slashSeparated |= name.find(L'/') != std::wstring::npos;
    EXPECT_TRUE(slashSeparated);
}

INSTANTIATE_TEST_SUITE_P(SevenZipCommandLine, Differential,
                         testing::Values(L"lzma", L"lzma2_solid", L"lzma2_blocks", L"bcj", L"bcj2", L"delta",
                                         L"stored"));

// A byte of the stored archive flipped inside one member's data.
std::string withFlippedByteIn(const std::string& archive, const std::string& marker) {
    std::string damaged = archive;
    size_t at = damaged.find(marker);
    EXPECT_NE(at, std::string::npos);
    if (at != std::string::npos) damaged[at + 3] ^= 0x40;
    return damaged;
}

TEST(SevenZipDamage, FlippedByteGivesCrcErrorAndKeepsEarlierMembers) {
    std::string damaged = withFlippedByteIn(archiveBytes(L"stored.7z"), "LAST-MEMBER payload");
    Delivered got;
    EXPECT_EQ(kExtractCrcError, toMemory(damaged, got));
    EXPECT_EQ(0u, got.files.count(L"zz-last.txt"));

    TempDir dir;
    EXPECT_EQ(kExtractCrcError, toFolder(damaged, dir.path()));
    Tree written = treeOf(dir.path());
    // Everything before the damaged member is there, and so is the damaged file itself.
    EXPECT_GE(got.files.size(), 7u);
    EXPECT_EQ(got.files.size() + 1, filesOnly(written).size());
    for (const auto& entry : got.files) EXPECT_TRUE(written[entry.first] == entry.second);
    ASSERT_EQ(1u, written.count(L"zz-last.txt"));
    EXPECT_EQ(50u * 20u, written[L"zz-last.txt"].size());
}

TEST(SevenZipDamage, BadInputStopsWithAnErrorNumber) {
    std::string good = archiveBytes(L"lzma2_blocks.7z");
    std::string flipped = good;
    flipped[flipped.size() / 2] ^= 0x01;
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", std::string()},
        {"not an archive", std::string(4096, 'x')},
        {"signature only", good.substr(0, 6)},
        {"truncated", good.substr(0, good.size() / 2)},
        {"cut before the end header", good.substr(0, good.size() - 40)},
        {"flipped compressed byte", flipped},
    };
    for (const auto& c : cases) {
        Delivered got;
        EXPECT_NE(kExtractOk, toMemory(c.bytes, got)) << c.what;
        TempDir dir;
        EXPECT_NE(kExtractOk, toFolder(c.bytes, dir.path())) << c.what;
    }
    EXPECT_NE(kExtractOk, extractArchiveToMemory(nullptr, 100, nullptr));
}

TEST(SevenZipDamage, UnsafeMemberNamesNeverLeaveTheFolder) {
    for (const wchar_t* name : {L"unsafe_parent.7z", L"unsafe_drive.7z"}) {
        TempDir dir;
        std::wstring dest = dir.file(L"dest");
        CreateDirectoryW(dest.c_str(), nullptr);
        EXPECT_EQ(kExtractUnsafeName, toFolder(archiveBytes(name), dest)) << testing::PrintToString(name);
        EXPECT_TRUE(treeOf(dir.path()).size() == 1u) << "only the empty destination folder may exist";
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(L"C:\\evil.txt"));
    }
}

TEST(SevenZipNames, SafeMemberNames) {
    const struct {
        const wchar_t* name;
        bool safe;
    } cases[] = {
        {L"common/close.png", true},
        {L"a/./b.txt", true},
        {L"dots..in..name.txt", true},
        {L"../x", false},
        {L"a/../../x", false},
        {L"a\\..\\x", false},
        {L"/etc/x", false},
        {L"\\x", false},
        {L"C:/x", false},
        {L"C:x", false},
        {L"file.txt:stream", false},
        {L"a/... /x", false},
        {L"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.safe, isSafeMemberName(c.name)) << testing::PrintToString(c.name);
}

}  // namespace
