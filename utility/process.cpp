#include "utility/process.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwctype>

#include "common/log.h"
#include "utility/usystem.h"

namespace utility {
namespace process {

namespace {

int lastError() {
    return static_cast<int>(GetLastError());
}

}  // namespace

bool shell(const std::wstring& file, const std::wstring& parameters, bool runas, bool show) {
    const char* tag = "utility::process::shell";
    OV_LOG(tag, L"shell filename = [%s], param = [%s], runas = %d, show = %d", file.c_str(),
           parameters.c_str(), runas ? 1 : 0, show ? 1 : 0);
    const wchar_t* verb = runas && usystem::isVistaOrLater() ? L"runas" : L"open";
    HINSTANCE result =
        ShellExecuteW(nullptr, verb, file.c_str(), parameters.c_str(), nullptr, show ? SW_SHOW : SW_HIDE);
    OV_LOG(tag, L"shellEx ret . lastError = %d", lastError());
    // Values up to 32 are error codes, not a started program.
    if (reinterpret_cast<INT_PTR>(result) > 32) return true;
    OV_LOG(tag, L"shellEx failed!!! lastError = %d", lastError());
    return false;
}

common::Handle create(const std::wstring& file, const std::wstring& parameters, bool show, DWORD* processId) {
    const char* tag = "utility::process::create";
    OV_LOG(tag, L"createProcess filename = [%s], param = [%s], show = %d", file.c_str(), parameters.c_str(),
           show ? 1 : 0);
    // Quoted, so a path with blanks stays one argument.
    std::wstring commandLine = L"\"" + file + L"\"";
    if (!parameters.empty()) commandLine += L" " + parameters;

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show ? SW_SHOW : SW_HIDE;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        nullptr, &startup, &info)) {
        OV_LOG(tag, L"createProcess failed!!! lastError = %d", lastError());
        return common::Handle();
    }
    common::Handle thread(info.hThread);
    if (processId) *processId = info.dwProcessId;
    return common::Handle(info.hProcess);
}

bool execute(const std::wstring& file, const std::wstring& parameters, bool show, DWORD waitMs) {
    const char* tag = "utility::process::execute";
    common::Handle child = create(file, parameters, show);
    if (!child) {
        OV_LOG(tag, L"execute failed!!! last error = %d", lastError());
        return false;
    }
    if (waitMs == 0) return true;
    switch (WaitForSingleObject(child.get(), waitMs)) {
        case WAIT_OBJECT_0: {
            DWORD exitCode = 4294967295u;
            GetExitCodeProcess(child.get(), &exitCode);
            OV_LOG(tag, L"execute exitcode = %d lastError = %d", static_cast<int>(exitCode), lastError());
            return exitCode == 0;
        }
        case WAIT_TIMEOUT:
            OV_LOG(tag, L"execute timeout!!!");
            return false;
        default:
            OV_LOG(tag, L"execute failed!!! lastError = %d", lastError());
            return false;
    }
}

std::wstring plainArgument(const std::wstring& value) {
    std::wstring plain;
    for (wchar_t c : value) {
        if (c != L'"' && !iswspace(c)) plain += c;
    }
    return plain;
}

void listProcesses(ProcessMap& processes) {
    common::FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        std::fputs("CreateToolhelp32Snapshot (of processes)", stdout);
        return;
    }
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    if (!Process32FirstW(snapshot.get(), &entry)) {
        std::fputs("Process32First", stdout);
        return;
    }
    do {
        // emplace keeps the first process of a name.
        processes.emplace(entry.szExeFile, entry.th32ProcessID);
    } while (Process32NextW(snapshot.get(), &entry));
}

}  // namespace process
}  // namespace utility
