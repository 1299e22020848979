// The download sinks on their own, driven with the events a transfer would
// deliver: what they keep, what they write, and the (status, error) pair the
// file sink records for a failed download.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/RunableThread.h"
#include "net/HttpDownloadSinks.h"
#include "support/TestSupport.h"
#include "utility/ufile.h"

namespace {

using utility::CHttpDownload2FileSink;
using utility::CHttpDownload2MemSink;
using utility::CHttpDownloader;

bool fileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// True when a record of tag carries exactly message.
bool logged(const std::vector<std::string>& lines, const std::string& tag, const std::string& message) {
    for (const std::string& line : lines) {
        const size_t at = line.find("\t" + tag + "\t(");
        if (at == std::string::npos) continue;
        const size_t colon = line.find("):", at);
        if (colon != std::string::npos && line.substr(colon + 2) == message) return true;
    }
    return false;
}

struct ProgressCall {
    std::string block;
    int64_t received;
    int64_t total;
};

class RecordingProgress : public CHttpDownloader::IHttpDownloadSink {
public:
    bool onHttpDownloadProgress(const char* bytes, DWORD count, int64_t received, int64_t total) override {
        calls.push_back({std::string(bytes, count), received, total});
        return answer;
    }
    std::vector<ProgressCall> calls;
    bool answer = true;
};

class FileSinkTest : public testing::Test {
protected:
    void SetUp() override {
        testsupport::captureLog();
        testsupport::takeLogLines();
    }

    testsupport::TempDir dir_;
    RunableThread stop_;  // never started, as in the downloader
    std::wstring path_ = dir_.file(L"out.bin");
};

TEST_F(FileSinkTest, StartsWithNothingRecorded) {
    CHttpDownload2FileSink sink(path_, stop_, nullptr);
    EXPECT_EQ(sink.status(), 9999);
    EXPECT_EQ(sink.error(), 0);
}

TEST_F(FileSinkTest, RefusedStatusRecordsItAndCreatesNoFile) {
    CHttpDownload2FileSink sink(path_, stop_, nullptr);
    EXPECT_FALSE(sink.onHttpRecvHeader(120, 404));
    sink.finish();
    EXPECT_EQ(sink.status(), -1);
    EXPECT_EQ(sink.error(), 404);
    EXPECT_FALSE(fileExists(path_));
    EXPECT_TRUE(logged(testsupport::takeLogLines(), "utility::CHttpDownload2FileSink::onHttpRecvHeader",
                       "onHttpErro status = 404"));
}

TEST_F(FileSinkTest, RefusedStatusLeavesAnExistingFileAlone) {
    ASSERT_TRUE(testsupport::writeFile(path_, "earlier"));
    CHttpDownload2FileSink sink(path_, stop_, nullptr);
    EXPECT_FALSE(sink.onHttpRecvHeader(-1, 500));
    sink.finish();
    EXPECT_EQ(testsupport::readFile(path_), "earlier");
}

TEST_F(FileSinkTest, StatusCodesAcceptedAreTheSuccessRange) {
    const struct {
        int status;
        bool accepted;
    } cases[] = {{199, false}, {200, true},  {204, true}, {299, true},
                 {300, false}, {302, false}, {500, false}};
    for (const auto& c : cases) {
        CHttpDownload2FileSink sink(path_, stop_, nullptr);
        EXPECT_EQ(sink.onHttpRecvHeader(0, c.status), c.accepted) << c.status;
        EXPECT_EQ(sink.status(), c.accepted ? 9999 : -1) << c.status;
    }
}

TEST_F(FileSinkTest, TransferErrorRecordsStepAndCode) {
    CHttpDownload2FileSink sink(path_, stop_, nullptr);
    sink.onHttpError(2, 12029);
    EXPECT_EQ(sink.status(), 2);
    EXPECT_EQ(sink.error(), 12029);
    EXPECT_TRUE(logged(testsupport::takeLogLines(), "utility::CHttpDownload2FileSink::onHttpError",
                       "onHttpErro 2, 12029"));
}

// A status refused after an error was recorded does not hide the error.
TEST_F(FileSinkTest, RefusedStatusKeepsEarlierError) {
    CHttpDownload2FileSink sink(path_, stop_, nullptr);
    sink.onHttpError(6, 12002);
    EXPECT_FALSE(sink.onHttpRecvHeader(-1, 404));
    EXPECT_EQ(sink.status(), 6);
    EXPECT_EQ(sink.error(), 12002);
}

TEST_F(FileSinkTest, FileThatCannotBeCreatedRecordsMinusTwo) {
    const std::wstring path = dir_.file(L"missing-folder\\out.bin");
    CHttpDownload2FileSink sink(path, stop_, nullptr);
    EXPECT_FALSE(sink.onHttpRecvHeader(10, 200));
    EXPECT_EQ(sink.status(), -2);
    EXPECT_EQ(sink.error(), ERROR_PATH_NOT_FOUND);
    EXPECT_TRUE(logged(testsupport::takeLogLines(), "utility::CHttpDownload2FileSink::onHttpRecvHeader",
                       "onHttpErro create file error  3"));
}

TEST_F(FileSinkTest, CompleteTransferKeepsTheFileAndEmptiesAnOldOne) {
    ASSERT_TRUE(testsupport::writeFile(path_, "a much longer earlier content"));
    CHttpDownload2FileSink sink(path_, stop_, nullptr);
    ASSERT_TRUE(sink.onHttpRecvHeader(6, 200));
    EXPECT_TRUE(sink.onHttpRecvData("abc", 3));
    EXPECT_TRUE(sink.onHttpRecvData("def", 3));
    sink.onHttpComplete();
    sink.finish();
    EXPECT_EQ(testsupport::readFile(path_), "abcdef");
    EXPECT_EQ(sink.status(), 9999);
}

TEST_F(FileSinkTest, EmptyBodyGivesEmptyFile) {
    CHttpDownload2FileSink sink(path_, stop_, nullptr);
    ASSERT_TRUE(sink.onHttpRecvHeader(0, 200));
    sink.onHttpComplete();
    sink.finish();
    ASSERT_TRUE(fileExists(path_));
    EXPECT_EQ(testsupport::readFile(path_), "");
}

// Callers take the file for a finished download: a partial one goes.
TEST_F(FileSinkTest, IncompleteTransferRemovesThePartialFile) {
    CHttpDownload2FileSink sink(path_, stop_, nullptr);
    ASSERT_TRUE(sink.onHttpRecvHeader(100, 200));
    EXPECT_TRUE(sink.onHttpRecvData("abc", 3));
    sink.finish();
    EXPECT_FALSE(fileExists(path_));
}

TEST_F(FileSinkTest, RaisedStopFlagRefusesData) {
    CHttpDownload2FileSink sink(path_, stop_, nullptr);
    ASSERT_TRUE(sink.onHttpRecvHeader(100, 200));
    stop_.signal();
    EXPECT_FALSE(sink.onHttpRecvData("abc", 3));
    EXPECT_EQ(testsupport::readFile(path_), "");
    // Nothing is recorded for a stop: the pair describes failures before data.
    EXPECT_EQ(sink.status(), 9999);
}

TEST_F(FileSinkTest, ProgressSeesEachBlockBeforeItIsWritten) {
    const struct {
        int64_t length;
        int64_t total;
    } cases[] = {{6, 6}, {-1, 10485760}, {0, 10485760}};
    for (const auto& c : cases) {
        RecordingProgress progress;
        CHttpDownload2FileSink sink(path_, stop_, &progress);
        ASSERT_TRUE(sink.onHttpRecvHeader(c.length, 200));
        EXPECT_TRUE(sink.onHttpRecvData("abc", 3));
        EXPECT_TRUE(sink.onHttpRecvData("def", 3));
        ASSERT_EQ(progress.calls.size(), 2u);
        EXPECT_EQ(progress.calls[0].block, "abc");
        EXPECT_EQ(progress.calls[0].received, 3);
        EXPECT_EQ(progress.calls[1].received, 6);
        EXPECT_EQ(progress.calls[1].total, c.total) << c.length;
    }
}

TEST_F(FileSinkTest, ProgressRefusalAbortsWithoutWriting) {
    RecordingProgress progress;
    progress.answer = false;
    CHttpDownload2FileSink sink(path_, stop_, &progress);
    ASSERT_TRUE(sink.onHttpRecvHeader(3, 200));
    EXPECT_FALSE(sink.onHttpRecvData("abc", 3));
    EXPECT_EQ(testsupport::readFile(path_), "");
}

TEST(MemSink, KeepsSuccessBodiesOnly) {
    RunableThread stop;
    const struct {
        int status;
        bool accepted;
    } cases[] = {{199, false}, {200, true}, {204, true}, {299, true}, {301, false}, {404, false}};
    for (const auto& c : cases) {
        std::string body;
        CHttpDownload2MemSink sink(body, stop);
        EXPECT_EQ(sink.onHttpRecvHeader(-1, c.status), c.accepted) << c.status;
    }
}

TEST(MemSink, AppendsUntilStopped) {
    RunableThread stop;
    std::string body = "kept:";
    CHttpDownload2MemSink sink(body, stop);
    EXPECT_TRUE(sink.onHttpRecvData("ab", 2));
    EXPECT_TRUE(sink.onHttpRecvData("c\0d", 3));
    stop.signal();
    EXPECT_FALSE(sink.onHttpRecvData("ef", 2));
    EXPECT_EQ(body, std::string("kept:abc\0d", 10));
}

}  // namespace
