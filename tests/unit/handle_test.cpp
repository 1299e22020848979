// The owning handle wrapper: closes exactly once, moves ownership, knows its
// empty value, and leaves GetLastError() as it found it.
#include <windows.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "common/Handle.h"

namespace {

// Records what was closed, and clobbers the last error like a failing close would.
std::vector<HANDLE> g_closed;
void recordClose(HANDLE h) {
    g_closed.push_back(h);
    SetLastError(ERROR_ACCESS_DENIED);
}

HANDLE fake(int n) {
    return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(n));
}

using NullRecorded = common::UniqueHandle<common::NullHandleTraits<HANDLE, &recordClose>>;
using InvalidRecorded = common::UniqueHandle<common::InvalidHandleTraits<&recordClose>>;

class HandleTest : public testing::Test {
protected:
    void SetUp() override { g_closed.clear(); }
};

TEST_F(HandleTest, ClosesOnceWhenItGoesAway) {
    { NullRecorded h(fake(4)); }
    EXPECT_EQ(g_closed, std::vector<HANDLE>{fake(4)});
}

TEST_F(HandleTest, EmptyValueIsNeverClosed) {
    { NullRecorded none(nullptr); }
    { InvalidRecorded none(INVALID_HANDLE_VALUE); }
    { InvalidRecorded none; }
    EXPECT_TRUE(g_closed.empty());
    EXPECT_FALSE(NullRecorded());
    EXPECT_FALSE(InvalidRecorded(INVALID_HANDLE_VALUE));
    // NULL is a handle value, not "empty", for the INVALID_HANDLE_VALUE kind.
    InvalidRecorded zero(nullptr);
    EXPECT_TRUE(zero.valid());
    auto released = zero.release();
    EXPECT_EQ(released, nullptr);
}

TEST_F(HandleTest, MoveTransfersOwnership) {
    NullRecorded a(fake(4));
    NullRecorded b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.get(), fake(4));

    NullRecorded c(fake(8));
    c = std::move(b);  // c's own handle is closed, b's moves in
    EXPECT_EQ(g_closed, std::vector<HANDLE>{fake(8)});
    EXPECT_EQ(c.get(), fake(4));
    EXPECT_FALSE(b);
    c.reset();
    EXPECT_EQ(g_closed, (std::vector<HANDLE>{fake(8), fake(4)}));
}

TEST_F(HandleTest, ReleaseGivesUpWithoutClosing) {
    HANDLE raw;
    {
        NullRecorded h(fake(4));
        raw = h.release();
        EXPECT_FALSE(h);
    }
    EXPECT_EQ(raw, fake(4));
    EXPECT_TRUE(g_closed.empty());
}

TEST_F(HandleTest, LastErrorSurvivesTheClose) {
    NullRecorded h(fake(4));
    SetLastError(ERROR_FILE_NOT_FOUND);
    h.reset();
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    ASSERT_EQ(g_closed.size(), 1u);
}

TEST_F(HandleTest, RealHandleIsClosed) {
    HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(raw, nullptr);
    DWORD flags = 0;
    {
        common::Handle event(raw);
        EXPECT_TRUE(GetHandleInformation(event.get(), &flags));
    }
    EXPECT_FALSE(GetHandleInformation(raw, &flags));

    common::FileHandle file(
        CreateFileW(L"Z:\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(file);
}

}  // namespace
