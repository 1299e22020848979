// The log: record format and limits through the process log (captured into a
// temp file), and the writer's file handling on writers of its own.
#include <windows.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "common/LogFileWriter.h"
#include "common/log.h"
#include "support/TestSupport.h"

namespace {

using testsupport::takeLogLines;

struct Record {
    int month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
    std::string thread, tag;
    int line = 0;
    std::string message;
};

// Reads exactly `digits` decimal digits at text[pos].
bool number(const std::string& text, size_t& pos, size_t digits, int& value) {
    if (pos + digits > text.size()) return false;
    value = 0;
    for (size_t i = 0; i < digits; ++i, ++pos) {
        if (!std::isdigit(static_cast<unsigned char>(text[pos]))) return false;
        value = value * 10 + (text[pos] - '0');
    }
    return true;
}

bool literal(const std::string& text, size_t& pos, char c) {
    return pos < text.size() && text[pos++] == c;
}

// Parses "MM-DD\thh:mm:ss.mmm\tTTTT\ttag\t(line):message"; nullopt when the
// line is not one whole record.
std::optional<Record> parse(const std::string& text) {
    Record r;
    size_t pos = 0;
    if (!(number(text, pos, 2, r.month) && literal(text, pos, '-') && number(text, pos, 2, r.day) &&
          literal(text, pos, '\t') && number(text, pos, 2, r.hour) && literal(text, pos, ':') &&
          number(text, pos, 2, r.minute) && literal(text, pos, ':') && number(text, pos, 2, r.second) &&
          literal(text, pos, '.') && number(text, pos, 3, r.millisecond) && literal(text, pos, '\t')))
        return std::nullopt;
    const size_t threadEnd = text.find('\t', pos);
    if (threadEnd == std::string::npos) return std::nullopt;
    r.thread = text.substr(pos, threadEnd - pos);
    const size_t tagEnd = text.find('\t', threadEnd + 1);
    if (tagEnd == std::string::npos) return std::nullopt;
    r.tag = text.substr(threadEnd + 1, tagEnd - threadEnd - 1);
    pos = tagEnd + 1;
    if (!literal(text, pos, '(')) return std::nullopt;
    const size_t close = text.find("):", pos);
    if (close == std::string::npos) return std::nullopt;
    if (!number(text, pos, close - pos, r.line)) return std::nullopt;
    r.message = text.substr(close + 2);
    if (r.month < 1 || r.month > 12 || r.day < 1 || r.day > 31 || r.hour > 23 || r.minute > 59 ||
        r.second > 59 || r.thread.size() < 4)
        return std::nullopt;
    return r;
}

std::vector<Record> recordsWithTag(const std::vector<std::string>& lines, const std::string& tag) {
    std::vector<Record> found;
    for (const auto& line : lines) {
        auto record = parse(line);
        if (record && record->tag == tag) found.push_back(*record);
    }
    return found;
}

std::string threadField(DWORD id) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d", static_cast<int>(id));
    return text;
}

class LogTest : public testing::Test {
protected:
    void SetUp() override { takeLogLines(); }  // starts the capture and skips older records
};

TEST_F(LogTest, RecordCarriesTimeThreadTagLineAndUtf8Message) {
    SYSTEMTIME before;
    GetLocalTime(&before);
    const int line = __LINE__ + 1;
    OV_LOG("LogTest::format", L"value %d name %s", 42, L"abc \u4e2d\u00e9");
    const auto lines = takeLogLines();

    ASSERT_EQ(lines.size(), 1u);
    const auto record = parse(lines[0]);
    ASSERT_TRUE(record) << lines[0];
    EXPECT_EQ(record->tag, "LogTest::format");
    EXPECT_EQ(record->line, line);
    EXPECT_EQ(record->thread, threadField(GetCurrentThreadId()));
    EXPECT_EQ(record->month, before.wMonth);
    EXPECT_EQ(record->message, "value 42 name abc \xe4\xb8\xad\xc3\xa9");
}

struct MessageCase {
    const char* name;
    const wchar_t* format;
    std::wstring argument;
    std::optional<std::string> written;  // nullopt: the record is dropped
};

void PrintTo(const MessageCase& c, std::ostream* os) {
    *os << c.name;
}

class LogMessageTest : public LogTest, public testing::WithParamInterface<MessageCase> {};

TEST_P(LogMessageTest, WrittenAsExpected) {
    const MessageCase& c = GetParam();
    OV_LOG("LogTest::message", c.format, c.argument.c_str());
    OV_LOG("LogTest::after", L"next");  // a dropped record must not take its neighbours along
    const auto lines = takeLogLines();

    const auto records = recordsWithTag(lines, "LogTest::message");
    if (c.written) {
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].message.size(), c.written->size());
        EXPECT_TRUE(records[0].message == *c.written);
    } else {
        EXPECT_TRUE(records.empty());
    }
    ASSERT_EQ(recordsWithTag(lines, "LogTest::after").size(), 1u);
    EXPECT_EQ(lines.size(), c.written ? 2u : 1u);
}

const std::wstring kChinese = L"\u4e2d";  // three bytes in UTF-8
std::wstring repeat(const std::wstring& unit, size_t count) {
    std::wstring text;
    for (size_t i = 0; i < count; ++i) text += unit;
    return text;
}
std::string repeat(const std::string& unit, size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text += unit;
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LogMessageTest,
    testing::Values(
        MessageCase{"ConversionInArgumentIsLiteral", L"%s", L"100%s done %d %%", "100%s done %d %%"},
        MessageCase{"PercentEncodedUrlIsLiteral", L"get %s", L"https://h.example/a%20b/%E4%B8%AD?q=%s%n",
                    "get https://h.example/a%20b/%E4%B8%AD?q=%s%n"},
        MessageCase{"LongAsciiCutTo8191", L"%s", std::wstring(9000, L'a'), std::string(8191, 'a')},
        MessageCase{"MultiByteMessageThatFitsIsWhole", L"%s", repeat(kChinese, 3000),
                    repeat("\xe4\xb8\xad", 3000)},
        // 15000 bytes of UTF-8: more than a record can hold.
        MessageCase{"MessageTooLongInUtf8IsDropped", L"%s", repeat(kChinese, 5000), std::nullopt},
        // The message alone fits (10200 bytes), with the prefix it does not:
        // the record goes whole, it is not cut.
        MessageCase{"RecordOverTheStreamSizeIsDropped", L"%s", repeat(kChinese, 3400), std::nullopt}),
    [](const testing::TestParamInfo<MessageCase>& info) { return std::string(info.param.name); });

// Every line in the file is a whole record, and each thread's records keep
// their order; records beyond the backlog may be lost.
TEST_F(LogTest, ConcurrentBurstKeepsRecordsWholeAndInOrder) {
    const int kThreads = 8, kRecords = 300;
    const std::wstring padding(40, L'x');
    std::vector<std::string> threadIds(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            threadIds[t] = threadField(GetCurrentThreadId());
            for (int s = 0; s < kRecords; ++s)
                OV_LOG("LogTest::burst", L"t=%d s=%d %s", t, s, padding.c_str());
        });
    }
    for (auto& thread : threads) thread.join();
    const auto lines = takeLogLines();

    std::map<int, int> lastSeq;
    size_t written = 0;
    for (const auto& line : lines) {
        const auto record = parse(line);
        ASSERT_TRUE(record) << "not a whole record: " << line.substr(0, 200);
        ASSERT_EQ(record->tag, "LogTest::burst");
        int t = -1, s = -1, consumed = 0;
        ASSERT_EQ(std::sscanf(record->message.c_str(), "t=%d s=%d %n", &t, &s, &consumed), 2) << line;
        ASSERT_TRUE(t >= 0 && t < kThreads && s >= 0 && s < kRecords) << line;
        EXPECT_EQ(record->message.substr(consumed), std::string(40, 'x')) << line;
        EXPECT_EQ(record->thread, threadIds[t]);
        auto last = lastSeq.find(t);
        if (last != lastSeq.end()) {
            EXPECT_GT(s, last->second) << "thread " << t << " out of order";
        }
        lastSeq[t] = s;
        ++written;
    }
    EXPECT_GT(written, 0u);
    EXPECT_LE(written, static_cast<size_t>(kThreads * kRecords));
}

// --- the writer on files of its own -------------------------------------

std::string writeThrough(const std::wstring& path, const std::string& record) {
    common::LogFileWriter writer(path);
    writer.append(record.data(), record.size());
    writer.stop();  // writes what is pending before the thread ends
    return testsupport::readFile(path);
}

struct ExistingFileCase {
    const char* name;
    std::optional<std::string> before;  // nullopt: no file yet
    std::string after;
};

void PrintTo(const ExistingFileCase& c, std::ostream* os) {
    *os << c.name;
}

class ExistingLogFileTest : public testing::TestWithParam<ExistingFileCase> {};

TEST_P(ExistingLogFileTest, ResetOnlyTheOldUtf16Format) {
    testsupport::TempDir dir;
    const std::wstring path = dir.file(L"downloader.log");
    if (GetParam().before) {
        ASSERT_TRUE(testsupport::writeFile(path, *GetParam().before));
    }
    EXPECT_EQ(writeThrough(path, "rec\r\n"), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExistingLogFileTest,
    testing::Values(ExistingFileCase{"Missing", std::nullopt, "rec\r\n"},
                    ExistingFileCase{"Utf16IsEmptied", std::string("\xFF\xFEo\0l\0d\0", 8), "rec\r\n"},
                    ExistingFileCase{"Utf8IsAppendedTo", std::string("old\r\n"), "old\r\nrec\r\n"},
                    ExistingFileCase{"FFWithoutFEIsAppendedTo",
                                     std::string("\xFF"
                                                 "A"),
                                     "\xFF"
                                     "Arec\r\n"},
                    ExistingFileCase{"Utf16BigEndianIsAppendedTo", std::string("\xFE\xFF", 2),
                                     "\xFE\xFFrec\r\n"}),
    [](const testing::TestParamInfo<ExistingFileCase>& info) { return std::string(info.param.name); });

// Two instances share one log file: neither may write over the other's records.
TEST(LogFileWriterTest, WritersSharingAFileBothAppend) {
    testsupport::TempDir dir;
    const std::wstring path = dir.file(L"downloader.log");
    common::LogFileWriter first(path);
    common::LogFileWriter second(path);
    for (const char* record : {"first-1\r\n", "second-1\r\n", "first-2\r\n", "second-2\r\n"}) {
        common::LogFileWriter& writer = record[0] == 'f' ? first : second;
        writer.append(record, strlen(record));
        writer.flush();
    }
    first.stop();
    second.stop();
    EXPECT_EQ(testsupport::readFile(path), "first-1\r\nsecond-1\r\nfirst-2\r\nsecond-2\r\n");
}

TEST(LogFileWriterTest, BacklogIsBoundedWhenTheWriterCannotKeepUp) {
    testsupport::TempDir dir;
    common::LogFileWriter writer(dir.file(L"downloader.log"));
    writer.stop();  // nothing drains the buffer any more
    const std::string record(1000, 'r');
    for (int i = 0; i < 50; ++i) writer.append(record.data(), record.size());
    EXPECT_GE(writer.pendingBytes(), common::LogFileWriter::kLimit);
    EXPECT_LE(writer.pendingBytes(), common::LogFileWriter::kLimit + record.size());
}

TEST(LogFileWriterTest, CutsTo2MiBTailAt50MiBAndKeepsGrowing) {
    const size_t kMax = 52428800, kTail = 2097152;
    testsupport::TempDir dir;
    const std::wstring path = dir.file(L"downloader.log");
    // Distinct bytes so the kept part can be told from any other 2 MiB.
    std::string content(kMax - 6, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>('a' + (i * 7 + i / 4096) % 26);
    ASSERT_TRUE(testsupport::writeFile(path, content));

    common::LogFileWriter writer(path);
    auto write = [&](const std::string& record) {
        writer.append(record.data(), record.size());
        writer.flush();
        content += record;
    };

    write("12345");  // 50 MiB less one byte: kept whole
    EXPECT_EQ(testsupport::readFile(path).size(), kMax - 1);

    write("6");  // reaches 50 MiB: cut to the last 2 MiB
    std::string file = testsupport::readFile(path);
    ASSERT_EQ(file.size(), kTail);
    EXPECT_TRUE(file == content.substr(content.size() - kTail));

    write("more\r\n");  // and goes on after the kept part
    file = testsupport::readFile(path);
    ASSERT_EQ(file.size(), kTail + 6);
    EXPECT_TRUE(file == content.substr(content.size() - kTail - 6));
    writer.stop();
}

}  // namespace
