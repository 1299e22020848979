// System facts through their seams, the real answers on this machine, the
// single-instance mutex, bringing a window forward and opening a program.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "utility/usystem.h"

namespace {

namespace usystem = utility::usystem;

WORD g_architecture = 0;
DWORD g_majorVersion = 0;

WORD fakeArchitecture() {
    return g_architecture;
}
DWORD fakeMajorVersion() {
    return g_majorVersion;
}

class SystemSeams : public testing::Test {
protected:
    void SetUp() override {
        usystem::setArchitectureQuery(&fakeArchitecture);
        usystem::setVersionQuery(&fakeMajorVersion);
    }
    void TearDown() override {
        usystem::setArchitectureQuery(nullptr);
        usystem::setVersionQuery(nullptr);
    }
};

TEST_F(SystemSeams, OnlyAmd64AndIa64Count64Bit) {
    const struct {
        WORD architecture;
        bool is64;
    } cases[] = {
        {PROCESSOR_ARCHITECTURE_INTEL, false},
        {PROCESSOR_ARCHITECTURE_ARM, false},
        {PROCESSOR_ARCHITECTURE_IA64, true},
        {PROCESSOR_ARCHITECTURE_AMD64, true},
        {12 /* ARM64 */, false},
        {PROCESSOR_ARCHITECTURE_UNKNOWN, false},
    };
    for (const auto& c : cases) {
        g_architecture = c.architecture;
        EXPECT_EQ(usystem::is64BitSystem(), c.is64) << c.architecture;
    }
}

TEST_F(SystemSeams, VistaOrLaterMeansMajorVersionAboveFive) {
    const struct {
        DWORD major;
        bool vistaOrLater;
    } cases[] = {{0, false}, {5, false}, {6, true}, {10, true}};
    for (const auto& c : cases) {
        g_majorVersion = c.major;
        EXPECT_EQ(usystem::isVistaOrLater(), c.vistaOrLater) << c.major;
    }
}

// This machine is a 64-bit Wine prefix reporting Windows 7.
TEST(SystemFacts, RealQueriesAnswerForThisMachineAndComeBackAfterASeam) {
    EXPECT_TRUE(usystem::is64BitSystem());
    EXPECT_TRUE(usystem::isVistaOrLater());

    usystem::setArchitectureQuery([]() -> WORD { return PROCESSOR_ARCHITECTURE_INTEL; });
    usystem::setVersionQuery([]() -> DWORD { return 5; });
    EXPECT_FALSE(usystem::is64BitSystem());
    EXPECT_FALSE(usystem::isVistaOrLater());

    usystem::setArchitectureQuery(nullptr);
    usystem::setVersionQuery(nullptr);
    EXPECT_TRUE(usystem::is64BitSystem());
    EXPECT_TRUE(usystem::isVistaOrLater());
}

std::wstring uniqueName(const wchar_t* stem) {
    return std::wstring(stem) + L"-" + std::to_wstring(GetCurrentProcessId());
}

TEST(SingleInstanceMutex, SecondCreateFailsOnlyWhenAskedTo) {
    const std::wstring name = uniqueName(L"orvane-usystem-test");
    common::Handle first = usystem::createSingleInstanceMutex(name, false, true);
    ASSERT_TRUE(first);
    EXPECT_FALSE(usystem::createSingleInstanceMutex(name, false, true));
    EXPECT_TRUE(usystem::createSingleInstanceMutex(name, false, false));
    first.reset();
    EXPECT_TRUE(usystem::createSingleInstanceMutex(name, false, true));
}

class FrontWindow : public testing::Test {
protected:
    void SetUp() override {
        window_ = CreateWindowExW(0, L"STATIC", L"front", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                  nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        if (window_) DestroyWindow(window_);
    }
    LONG_PTR exStyle() const { return GetWindowLongPtrW(window_, GWL_EXSTYLE); }

    HWND window_ = nullptr;
};

TEST_F(FrontWindow, MinimisedWindowIsRestoredAndNotLeftTopmost) {
    ShowWindow(window_, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window_));
    usystem::bringWindowToFront(window_);
    EXPECT_FALSE(IsIconic(window_));
    EXPECT_TRUE(IsWindowVisible(window_));
    EXPECT_EQ(exStyle() & WS_EX_TOPMOST, 0);
}

TEST_F(FrontWindow, TopmostWindowStaysTopmost) {
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_NE(exStyle() & WS_EX_TOPMOST, 0);
    usystem::bringWindowToFront(window_);
    EXPECT_NE(exStyle() & WS_EX_TOPMOST, 0);
    EXPECT_TRUE(IsWindowVisible(window_));
}

TEST(OpenInBrowser, StartsTheRegisteredHandlerAndReportsIt) {
    wchar_t system[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    // A program that ends at once stands for the handler.
    EXPECT_TRUE(usystem::openInBrowser(std::wstring(system) + L"\\hostname.exe"));
}

}  // namespace
