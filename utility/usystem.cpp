#include "utility/usystem.h"

#include <shellapi.h>

#include <atomic>
#include <cwchar>

#include "config/BuildSettings.h"

namespace utility {
namespace usystem {

namespace {

#if ORVANE_TEST_ENDPOINTS
// Test builds only: scenario tests run the whole program as if on another
// system ("xp" or "x86") through ORVANE_TEST_SYSTEM. Release builds have no
// such override.
bool simulatedSystem(const wchar_t* name) {
    wchar_t value[16];
    DWORD length = GetEnvironmentVariableW(L"ORVANE_TEST_SYSTEM", value, 16);
    return length > 0 && length < 16 && wcscmp(value, name) == 0;
}
#endif

DWORD realMajorVersion() {
#if ORVANE_TEST_ENDPOINTS
    if (simulatedSystem(L"xp")) return 5;
#endif
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
    auto* basic = reinterpret_cast<OSVERSIONINFOW*>(&info);
    if (!GetVersionExW(basic)) {
        // Systems that predate the extended structure accept only the basic one.
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
        if (!GetVersionExW(basic)) return 0;
    }
    return info.dwMajorVersion;
}

WORD realNativeArchitecture() {
#if ORVANE_TEST_ENDPOINTS
    if (simulatedSystem(L"x86")) return PROCESSOR_ARCHITECTURE_INTEL;
#endif
    using NativeInfoFn = void(WINAPI*)(LPSYSTEM_INFO);
    SYSTEM_INFO info = {};
    // Asked by name: the native answer matters for a 32-bit process on a
    // 64-bit system, and very old systems do not export it.
    HMODULE kernel = GetModuleHandleW(L"kernel32");
    FARPROC proc = kernel ? GetProcAddress(kernel, "GetNativeSystemInfo") : nullptr;
    if (proc) {
        reinterpret_cast<NativeInfoFn>(reinterpret_cast<void (*)()>(proc))(&info);
    } else {
        GetSystemInfo(&info);
    }
    return info.wProcessorArchitecture;
}

std::atomic<VersionQuery> g_versionQuery{&realMajorVersion};
std::atomic<ArchitectureQuery> g_architectureQuery{&realNativeArchitecture};

}  // namespace

bool isVistaOrLater() {
    return g_versionQuery.load()() > 5;
}

bool is64BitSystem() {
    const WORD architecture = g_architectureQuery.load()();
    return architecture == PROCESSOR_ARCHITECTURE_AMD64 || architecture == PROCESSOR_ARCHITECTURE_IA64;
}

bool openInBrowser(const std::wstring& address) {
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = L"open";
    info.lpFile = address.c_str();
    info.nShow = SW_SHOW;
    if (ShellExecuteExW(&info)) {
        common::Handle started(info.hProcess);  // not waited for; only closed
        return true;
    }
    HINSTANCE result = ShellExecuteW(nullptr, L"open", L"iexplore.exe", address.c_str(), nullptr, SW_SHOW);
    // Values up to 32 are error codes, not a started program.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

common::Handle createSingleInstanceMutex(const std::wstring& name, bool initialOwner, bool failIfExists) {
    common::Handle mutex(CreateMutexW(nullptr, initialOwner ? TRUE : FALSE, name.c_str()));
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS && failIfExists) mutex.reset();
    return mutex;
}

void bringWindowToFront(HWND window) {
    if (IsIconic(window)) SendMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    if (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) {
        ShowWindow(window, SW_SHOW);
        return;
    }
    SetForegroundWindow(window);
    BringWindowToTop(window);
    // Briefly topmost, then back: raises the window even when another
    // process holds the foreground.
    const UINT flags = SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE;
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, flags);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
}

void setVersionQuery(VersionQuery query) {
    g_versionQuery.store(query ? query : &realMajorVersion);
}

void setArchitectureQuery(ArchitectureQuery query) {
    g_architectureQuery.store(query ? query : &realNativeArchitecture);
}

}  // namespace usystem
}  // namespace utility
