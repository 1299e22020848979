#include "model/PlayerLaunch.h"

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include "common/log.h"
#include "model/DownloaderModel.h"
#include "utility/process.h"

namespace playerlaunch {

const wchar_t* const kEmulatorProcesses[4] = {L"doririda.exe", L"rkmultiplayer.exe", L"rkmultiplayerex.exe",
                                              L"bugreport.exe"};

namespace {

const char kTokenTag[] = "playerlaunch::runWithShellToken";
const DWORD kModulePathChars = 260;

using CreateWithTokenFn = BOOL(WINAPI*)(HANDLE, DWORD, LPCWSTR, LPWSTR, DWORD, LPVOID, LPCWSTR,
                                        LPSTARTUPINFOW, LPPROCESS_INFORMATION);

// The file of the process's first module, or the snapshot's name without one.
std::wstring processPath(const PROCESSENTRY32W& entry) {
    common::Handle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, entry.th32ProcessID));
    wchar_t path[kModulePathChars] = {};
    HMODULE module = nullptr;
    DWORD needed = 0;
    if (process && EnumProcessModules(process.get(), &module, sizeof(module), &needed)) {
        GetModuleFileNameExW(process.get(), module, path, kModulePathChars);
    }
    return path[0] ? std::wstring(path) : std::wstring(entry.szExeFile);
}

std::wstring windowsFolder() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(folder, length) : std::wstring();
}

common::Handle duplicatePrimaryToken(HANDLE process) {
    common::Handle token;
    if (!OpenProcessToken(process, TOKEN_DUPLICATE, token.put())) return common::Handle();
    common::Handle primary;
    if (!DuplicateTokenEx(token.get(), TOKEN_ALL_ACCESS, nullptr, SecurityImpersonation, TokenPrimary,
                          primary.put())) {
        return common::Handle();
    }
    return primary;
}

}  // namespace

std::wstring packageArguments(const std::wstring& package) {
    if (package.empty()) return std::wstring();
    const std::wstring plain = utility::process::plainArgument(package);
    return L"downloadpackage=" + plain + L"|package=" + plain;
}

std::wstring tokenCommandLine(const std::wstring& program, const std::wstring* arguments) {
    if (!arguments) return program;
    return L"\"" + program + L"\" " + *arguments;
}

common::Handle getShellToken() {
    const std::wstring expected = windowsFolder() + L"\\explorer.exe";
    common::FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return common::Handle();
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        common::Handle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, entry.th32ProcessID));
        if (!process) continue;
        const std::wstring path = processPath(entry);
        if (path == expected || path == L"explorer.exe") return duplicatePrimaryToken(process.get());
    }
    return common::Handle();
}

int runWithShellToken(const std::wstring& program, const std::wstring* arguments) {
    std::wstring commandLine = tokenCommandLine(program, arguments);
    if (commandLine.size() > kMaxCommandLine) {
        OV_LOG(kTokenTag, L"command line too long: %d characters", static_cast<int>(commandLine.size()));
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return -1;
    }
    common::Handle token = getShellToken();
    if (!token) return -1;
    // Looked up at run time: systems before Vista do not have it.
    HMODULE advapi = GetModuleHandleW(L"advapi32.dll");
    FARPROC proc = advapi ? GetProcAddress(advapi, "CreateProcessWithTokenW") : nullptr;
    if (!proc) return -1;
    auto createWithToken = reinterpret_cast<CreateWithTokenFn>(reinterpret_cast<void (*)()>(proc));
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!createWithToken(token.get(), LOGON_WITH_PROFILE, nullptr, &commandLine[0], 0, nullptr, nullptr,
                         &startup, &info)) {
        return -1;
    }
    common::Handle thread(info.hThread);
    common::Handle process(info.hProcess);
    return 0;
}

bool isWindows8OrLater() {
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
    auto* basic = reinterpret_cast<OSVERSIONINFOW*>(&info);
    if (!GetVersionExW(basic)) {
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
        if (!GetVersionExW(basic)) return false;
    }
    // Compared as a pair: 10.0 is later than 6.2 although its minor is 0.
    return info.dwMajorVersion > 6 || (info.dwMajorVersion == 6 && info.dwMinorVersion >= 2);
}

}  // namespace playerlaunch

void DownloaderModel::launchPlayerForPackage() {
    runPlayer(playerlaunch::packageArguments(package));
}

void DownloaderModel::runPlayer(const std::wstring& arguments) {
    const char* tag = "DownloaderModel::runPlayer";
    const std::wstring emulator = installPath + L"\\doririda.exe";
    if (playerlaunch::isWindows8OrLater()) {
        OV_LOG(tag, L"runPlayer no amdin");
        if (playerlaunch::runWithShellToken(emulator, &arguments) == 0) return;
        OV_LOG(tag, L"runPlayer no amdin error %d", static_cast<int>(GetLastError()));
    }
    utility::process::shell(emulator, arguments, true, false);
}

void DownloaderModel::killEmulatorProcesses() {
    utility::process::ProcessMap running;
    utility::process::listProcesses(running);
    for (const wchar_t* name : playerlaunch::kEmulatorProcesses) {
        // taskkill ends every instance of the name at once.
        if (running.count(name)) {
            utility::process::execute(L"taskkill", L"/F /IM " + std::wstring(name) + L" /T", false, 2000);
        }
    }
}
