// File helpers: path splitting as tables, the file-system operations on a
// temp folder, and the log lines of their failures.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "support/TestSupport.h"
#include "utility/FileWriter.h"
#include "utility/ufile.h"

namespace ufile = utility::ufile;
using testsupport::readFile;
using testsupport::takeLogLines;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

std::string narrow(const std::wstring& text) {
    std::string out(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], static_cast<int>(out.size()), nullptr,
                        nullptr);
    out.pop_back();
    return out;
}

bool isFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The message part ("...):message") of every record with this tag.
std::vector<std::string> messagesWithTag(const std::vector<std::string>& lines, const std::string& tag) {
    std::vector<std::string> messages;
    for (const auto& line : lines) {
        if (line.find("\t" + tag + "\t(") == std::string::npos) continue;
        messages.push_back(line.substr(line.find("):") + 2));
    }
    return messages;
}

struct FileNameCase {
    const wchar_t* path;
    bool keepExtension;
    const wchar_t* name;
};

void PrintTo(const FileNameCase& c, std::ostream* os) {
    *os << testing::PrintToString(std::wstring(c.path)) << (c.keepExtension ? " with" : " without")
        << " extension";
}

class GetFileNameTest : public testing::TestWithParam<FileNameCase> {};

TEST_P(GetFileNameTest, TakesTextAfterLastSeparator) {
    EXPECT_EQ(ufile::getFileName(GetParam().path, GetParam().keepExtension), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Cases, GetFileNameTest,
                         testing::Values(FileNameCase{L"C:\\dl\\setup_en.exe", false, L"setup_en"},
                                         FileNameCase{L"C:\\dl\\setup_en.exe", true, L"setup_en.exe"},
                                         FileNameCase{L"setup.exe", true, L""},
                                         FileNameCase{L"C:/dl/archive.tar.gz", false, L"archive.tar"},
                                         FileNameCase{L"https://h.example/a/pkg.apk", false, L"pkg"},
                                         FileNameCase{L"C:\\dl\\README", false, L"README"},
                                         FileNameCase{L"C:\\dl\\", true, L""},
                                         // Backslash wins over a later slash.
                                         FileNameCase{L"C:\\dl/sub\\x.y/z.bin", true, L"x.y/z.bin"}));

struct ParentDirCase {
    const wchar_t* path;
    const wchar_t* parent;
};

void PrintTo(const ParentDirCase& c, std::ostream* os) {
    *os << testing::PrintToString(std::wstring(c.path));
}

class GetParentDirTest : public testing::TestWithParam<ParentDirCase> {};

TEST_P(GetParentDirTest, KeepsTheSeparator) {
    EXPECT_EQ(ufile::getParentDir(GetParam().path), GetParam().parent);
}

INSTANTIATE_TEST_SUITE_P(Cases, GetParentDirTest,
                         testing::Values(ParentDirCase{L"C:\\a\\b\\file.exe", L"C:\\a\\b\\"},
                                         ParentDirCase{L"C:\\a\\b\\", L"C:\\a\\"},
                                         ParentDirCase{L"C:\\a\\b", L"C:\\a\\"},
                                         ParentDirCase{L"C:/a/b/", L"C:/a/"},
                                         ParentDirCase{L"C:\\file.exe", L"C:\\"}, ParentDirCase{L"C:", L""},
                                         ParentDirCase{L"C:\\", L""}, ParentDirCase{L"\\", L""},
                                         ParentDirCase{L"", L""}));

class UfileTest : public testing::Test {
protected:
    void SetUp() override { takeLogLines(); }
    TempDir dir_;
};

TEST_F(UfileTest, ExistsForFilesAndFolders) {
    ASSERT_TRUE(writeFile(dir_.file(L"f.txt"), "x"));
    EXPECT_TRUE(ufile::exists(dir_.file(L"f.txt")));
    EXPECT_TRUE(ufile::exists(dir_.path()));
    EXPECT_FALSE(ufile::exists(dir_.file(L"missing.txt")));
}

TEST_F(UfileTest, MakeDirCreatesEveryParentAndAcceptsAnExistingFolder) {
    const std::wstring deep = dir_.file(L"a\\b\\c");
    EXPECT_TRUE(ufile::makeDir(deep));
    EXPECT_TRUE(isFolder(deep));
    EXPECT_TRUE(ufile::makeDir(deep));
    EXPECT_TRUE(ufile::makeDir(dir_.path()));
    EXPECT_TRUE(messagesWithTag(takeLogLines(), "utility::ufile::makeDir").empty());
}

TEST_F(UfileTest, MakeDirOverAFileFailsAndLogs) {
    const std::wstring file = dir_.file(L"taken");
    ASSERT_TRUE(writeFile(file, "x"));
    EXPECT_FALSE(ufile::makeDir(file));
    EXPECT_EQ(messagesWithTag(takeLogLines(), "utility::ufile::makeDir"),
              std::vector<std::string>{"make dir failed! error = 183."});
}

TEST_F(UfileTest, MakeDirWithUnusablePathFailsAndLogsTheResult) {
    EXPECT_FALSE(ufile::makeDir(L"relative\\dir"));
    const auto messages = messagesWithTag(takeLogLines(), "utility::ufile::makeDir");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("make dir failed! error = ", 0), 0u) << messages[0];
    EXPECT_NE(messages[0], "make dir failed! error = 0.");
}

TEST_F(UfileTest, MoveFileWithFlags3ReplacesTheDestination) {
    const std::wstring from = dir_.file(L"new.bin"), to = dir_.file(L"old.bin");
    ASSERT_TRUE(writeFile(from, "new content"));
    ASSERT_TRUE(writeFile(to, "old"));
    EXPECT_TRUE(ufile::moveFile(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED));
    EXPECT_EQ(readFile(to), "new content");
    EXPECT_FALSE(ufile::exists(from));
    EXPECT_TRUE(messagesWithTag(takeLogLines(), "utility::ufile::moveFile").empty());
}

TEST_F(UfileTest, MoveFileFailureIsLogged) {
    const std::wstring from = dir_.file(L"missing 100%s.bin"), to = dir_.file(L"to.bin");
    EXPECT_FALSE(ufile::moveFile(from, to, 3));
    EXPECT_EQ(messagesWithTag(takeLogLines(), "utility::ufile::moveFile"),
              std::vector<std::string>{"move file from [ " + narrow(from) + " ] to [ " + narrow(to) +
                                       " ] flag = 3 failed! error = 2."});
}

TEST_F(UfileTest, RemoveFileDeletesAndLogsFailure) {
    const std::wstring file = dir_.file(L"gone.txt");
    ASSERT_TRUE(writeFile(file, "x"));
    EXPECT_TRUE(ufile::removeFile(file));
    EXPECT_FALSE(ufile::exists(file));
    EXPECT_TRUE(messagesWithTag(takeLogLines(), "utility::ufile::removeFile").empty());

    EXPECT_FALSE(ufile::removeFile(file));
    EXPECT_EQ(messagesWithTag(takeLogLines(), "utility::ufile::removeFile"),
              std::vector<std::string>{"removeFile file from [ " + narrow(file) + " ] error = 2."});
}

TEST_F(UfileTest, GetFileSize) {
    const std::wstring file = dir_.file(L"sized.bin");
    ASSERT_TRUE(writeFile(file, std::string(12345, 'z')));
    std::uint64_t size = 0;
    EXPECT_TRUE(ufile::getFileSize(file, size));
    EXPECT_EQ(size, 12345u);

    size = 7;
    EXPECT_FALSE(ufile::getFileSize(dir_.file(L"missing.bin"), size));
    EXPECT_EQ(size, 7u);
}

TEST_F(UfileTest, GetFileSizeOfAFileStillBeingWrittenFails) {
    const std::wstring file = dir_.file(L"download.tmp");
    utility::FileWriter writer;
    ASSERT_TRUE(writer.open(file));
    ASSERT_TRUE(writer.write("abc", 3));
    std::uint64_t size = 0;
    EXPECT_FALSE(ufile::getFileSize(file, size));
    writer.close();
    EXPECT_TRUE(ufile::getFileSize(file, size));
    EXPECT_EQ(size, 3u);
}

TEST_F(UfileTest, ModuleDirHoldsTheRunningProgram) {
    const std::wstring dir = ufile::getModuleDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), L'\\');
    wchar_t path[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    EXPECT_EQ(dir + ufile::getFileName(path, true), path);
}

TEST_F(UfileTest, AppDataDirIsAnExistingFolderWithoutTrailingBackslash) {
    const std::wstring dir = ufile::getAppDataDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_NE(dir.back(), L'\\');
    EXPECT_TRUE(isFolder(dir));
}

TEST_F(UfileTest, FileWriterEmptiesAnExistingFileAndWritesBlocks) {
    const std::wstring file = dir_.file(L"out.bin");
    ASSERT_TRUE(writeFile(file, "previous content that must go"));
    utility::FileWriter writer;
    ASSERT_TRUE(writer.open(file));
    EXPECT_EQ(readFile(file), "");
    EXPECT_TRUE(writer.write("hello ", 6));
    EXPECT_TRUE(writer.write("world", 5));
    writer.close();
    writer.close();
    EXPECT_FALSE(writer.write("late", 4));
    EXPECT_EQ(readFile(file), "hello world");
}

TEST_F(UfileTest, FileWriterOpenFailsInMissingFolder) {
    utility::FileWriter writer;
    EXPECT_FALSE(writer.open(dir_.file(L"no\\such\\folder.bin")));
    EXPECT_FALSE(writer.write("x", 1));
}

}  // namespace
