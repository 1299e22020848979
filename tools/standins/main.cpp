// Test stand-in for the outside programs. Under the emulator's program
// names it records its command line and ends; under any other name it acts
// as the emulator's full installer.
#include <windows.h>

#include <algorithm>
#include <cwctype>

#include "standin.h"

namespace {

// The emulator's programs, and a user shell for the launch tests.
const wchar_t* const kRecorderNames[] = {L"doririda.exe",        L"rkconsole.exe", L"rkmultiplayer.exe",
                                         L"rkmultiplayerex.exe", L"bugreport.exe", L"explorer.exe"};

std::wstring lower(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
    return text;
}

}  // namespace

int wmain() {
    const std::wstring name = lower(standin::selfName());
    for (const wchar_t* recorder : kRecorderNames) {
        if (name == recorder) return standin::runRecorder();
    }
    return standin::runInstaller();
}
