// The emulator and console stand-in: records how it was started, then ends.
// "--stay" keeps it running (until ended from outside, at most two minutes),
// "--exit=N" ends it with exit code N.
#include <windows.h>

#include <cwchar>
#include <string>

#include "standin.h"

namespace standin {

int runRecorder() {
    record(selfFolder());
    const std::wstring commandLine = GetCommandLineW();
    if (commandLine.find(L"--stay") != std::wstring::npos) Sleep(120000);
    const auto exitAt = commandLine.find(L"--exit=");
    if (exitAt != std::wstring::npos) return _wtoi(commandLine.c_str() + exitAt + 7);
    return 0;
}

}  // namespace standin
