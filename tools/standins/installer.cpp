// The full-installer stand-in. It takes the installer's argument line
//   -silence -downloader -openid=ID [-language=XX] -path="FOLDER" [-googleid=ID]
// records it, and by the environment variable ORVANE_STANDIN_INSTALLER does:
//   ok (default)  create FOLDER with doririda.exe and rkconsole.exe (copies of
//                 this program), write HKCU\<key> InstallDir = FOLDER, end with 0
//   post11124     post message 11124 to the installer's IPC window, end with 1
//   hang          never end by itself (ten minutes at most)
//   fail          end with 2 at once, installing nothing
// <key> is ORVANE_STANDIN_REGKEY, by default the 9 edition's key.
// Values are read the way a script installer reads them: "-name=" followed by
// a quoted text (no escapes) or a text up to the next blank.
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "config/names.h"
#include "standin.h"

namespace standin {

namespace {

const wchar_t kDefaultKey[] = L"Software\\Brennot\\Orvane9";
const DWORD kHangMs = 600000;
const WPARAM kFailureCode = 7;

std::wstring environment(const wchar_t* name) {
    wchar_t buffer[1024];
    const DWORD length = GetEnvironmentVariableW(name, buffer, 1024);
    return length > 0 && length < 1024 ? std::wstring(buffer, length) : std::wstring();
}

std::wstring option(const std::wstring& commandLine, const std::wstring& name) {
    const std::wstring key = L" -" + name + L"=";
    auto at = commandLine.find(key);
    if (at == std::wstring::npos) return std::wstring();
    at += key.size();
    if (at < commandLine.size() && commandLine[at] == L'"') {
        const auto end = commandLine.find(L'"', at + 1);
        return commandLine.substr(at + 1, end == std::wstring::npos ? std::wstring::npos : end - at - 1);
    }
    return commandLine.substr(at, commandLine.find(L' ', at) - at);
}

bool install(const std::wstring& folder) {
    std::wstring target = folder;
    while (!target.empty() && target.back() == L'\\') target.pop_back();
    const int made = SHCreateDirectoryExW(nullptr, target.c_str(), nullptr);
    if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS) return false;
    const std::wstring self = selfPath();
    if (!CopyFileW(self.c_str(), (target + L"\\doririda.exe").c_str(), FALSE)) return false;
    if (!CopyFileW(self.c_str(), (target + L"\\rkconsole.exe").c_str(), FALSE)) return false;

    std::wstring key = environment(L"ORVANE_STANDIN_REGKEY");
    if (key.empty()) key = kDefaultKey;
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD bytes = static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t));
    const LONG set = RegSetValueExW(handle, L"InstallDir", 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(folder.c_str()), bytes);
    RegCloseKey(handle);
    return set == ERROR_SUCCESS;
}

}  // namespace

// Served packages must be at least 1 MiB; this keeps the program that large.
extern const unsigned char kPadding[];
__attribute__((used)) const unsigned char kPadding[1 << 20] = {1};

int runInstaller() {
    record(selfFolder());
    const std::wstring scenario = environment(L"ORVANE_STANDIN_INSTALLER");
    if (scenario == L"hang") {
        Sleep(kHangMs);
        return 3;
    }
    if (scenario == L"fail") return 2;
    if (scenario == L"post11124") {
        HWND endpoint = FindWindowW(config::names::kInstanceName, nullptr);
        if (endpoint) PostMessageW(endpoint, config::names::kMsgInstallerFailed, kFailureCode, 0);
        return 1;
    }
    const std::wstring commandLine = GetCommandLineW();
    if (commandLine.find(L" -silence") == std::wstring::npos) return 4;  // only the silent mode is played
    return install(option(commandLine, L"path")) ? 0 : 5;
}

}  // namespace standin
