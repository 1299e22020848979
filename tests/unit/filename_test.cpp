// Names from remote documents made safe as file names: the rules as a table,
// and a real file created from hostile names never leaves its folder.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "common/textconv.h"
#include "support/TestSupport.h"
#include "utility/filename.h"

namespace {

using utility::filename::kMaxSafeNameLength;
using utility::filename::safeFileName;

struct NameCase {
    std::wstring name;
    std::wstring safe;
};

TEST(SafeFileName, FollowsTheRules) {
    const std::wstring a79(79, L'a');
    const NameCase cases[] = {
        {L"Clash of Games", L"Clash of Games"},
        {L"\u539f\u795e \u30b2\u30fc\u30e0", L"\u539f\u795e \u30b2\u30fc\u30e0"},
        {L"com.example.game", L"com.example.game"},
        // Separators and dot runs.
        {L"..\\..\\Windows\\evil", L"_._Windows_evil"},
        {L"../../etc/passwd", L"_._etc_passwd"},
        {L"C:\\Users\\x", L"C__Users_x"},
        {L"\\\\server\\share", L"__server_share"},
        {L"Wait...What", L"Wait.What"},
        {L"..", L""},
        {L"...", L""},
        {L" . . ", L""},
        {L"", L""},
        {L"  game. .", L"game"},
        // Reserved and invisible characters.
        {L"a<b>c:d\"e|f?g*h", L"a_b_c_d_e_f_g_h"},
        {L"tab\there\x01\x1f\x7f", L"tab_here___"},
        {L"game:stream", L"game_stream"},
        {L"evil\u202egpj.exe", L"evil_gpj.exe"},
        {L"x\u2066y", L"x_y"},
        // Device names, with and without extensions, in any case.
        {L"CON", L"_CON"},
        {L"con.apk", L"_con.apk"},
        {L"Nul .xapk", L"_Nul .xapk"},
        {L"com1", L"_com1"},
        {L"LPT9.obb", L"_LPT9.obb"},
        {L"COM\u00b9", L"_COM\u00b9"},
        {L"conout$", L"_conout$"},
        {L"CONSOLE", L"CONSOLE"},
        {L"COM10", L"COM10"},
        {L"AUX_game", L"AUX_game"},
        // Length.
        {std::wstring(200, L'a'), std::wstring(kMaxSafeNameLength, L'a')},
        {a79 + L"\U0001F600", a79},  // the pair would be split: both halves go
        {a79.substr(1) + L"\U0001F600", a79.substr(1) + L"\U0001F600"},
        {a79 + L". b", a79},  // the cut leaves a trailing dot
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(safeFileName(c.name), c.safe) << common::wideToAnsi(c.name);
    }
    EXPECT_EQ(safeFileName(L"con.apk", 4), L"_con");
    EXPECT_EQ(safeFileName(L"game", 0), L"");
}

// Created for real in a folder of ours, each hostile name lands right there.
TEST(SafeFileName, FilesMadeFromHostileNamesStayInTheirFolder) {
    testsupport::TempDir dir;
    const std::wstring hostile[] = {
        L"..\\escaped", L"../escaped",  L"..",  L"C:\\escaped",   L"\\\\?\\C:\\escaped",
        L"NUL",         L"x:alternate", L"a/b", L"\u202eexe.txt", std::wstring(300, L'z'),
    };
    for (const std::wstring& name : hostile) {
        const std::wstring safe = safeFileName(name);
        const std::wstring leaf = safe.empty() ? L"game" : safe;
        const std::wstring path = dir.file(leaf + L".apk");
        ASSERT_TRUE(testsupport::writeFile(path, "apk")) << common::wideToAnsi(name);
        wchar_t full[MAX_PATH];
        wchar_t* filePart = nullptr;
        ASSERT_NE(GetFullPathNameW(path.c_str(), MAX_PATH, full, &filePart), 0u);
        EXPECT_EQ(std::wstring(full, filePart), dir.path() + L"\\") << common::wideToAnsi(name);
        EXPECT_EQ(testsupport::readFile(path), "apk");
        DeleteFileW(path.c_str());
    }
}

}  // namespace
