#include "utility/ufile.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "common/Handle.h"
#include "common/log.h"

namespace utility {
namespace ufile {

namespace {

std::wstring::size_type lastSeparator(const std::wstring& path) {
    const auto backslash = path.rfind(L'\\');
    return backslash != std::wstring::npos ? backslash : path.rfind(L'/');
}

bool isDirectory(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool exists(const std::wstring& path) {
    return PathFileExistsW(path.c_str()) != FALSE;
}

bool makeDir(const std::wstring& path) {
    const int result = SHCreateDirectory(nullptr, path.c_str());
    if (result == ERROR_SUCCESS) return true;
    // "Already exists" also comes back for a file of that name, which is no
    // folder to put anything in.
    if (result == ERROR_ALREADY_EXISTS && isDirectory(path)) return true;
    OV_LOG("utility::ufile::makeDir", L"make dir failed! error = %d.", result);
    return false;
}

bool moveFile(const std::wstring& from, const std::wstring& to, unsigned flags) {
    if (MoveFileExW(from.c_str(), to.c_str(), flags)) return true;
    const DWORD error = GetLastError();
    OV_LOG("utility::ufile::moveFile", L"move file from [ %s ] to [ %s ] flag = %d failed! error = %d.",
           from.c_str(), to.c_str(), static_cast<int>(flags), static_cast<int>(error));
    return false;
}

bool removeFile(const std::wstring& path) {
    if (DeleteFileW(path.c_str())) return true;
    const DWORD error = GetLastError();
    OV_LOG("utility::ufile::removeFile", L"removeFile file from [ %s ] error = %d.", path.c_str(),
           static_cast<int>(error));
    return false;
}

bool getFileSize(const std::wstring& path, std::uint64_t& size) {
    // Sharing read only: a file someone is still writing has no size yet.
    common::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER value;
    if (!GetFileSizeEx(file.get(), &value)) return false;
    size = static_cast<std::uint64_t>(value.QuadPart);
    return true;
}

std::wstring getFileName(const std::wstring& path, bool keepExtension) {
    const auto separator = lastSeparator(path);
    if (separator == std::wstring::npos) return std::wstring();
    std::wstring name = path.substr(separator + 1);
    if (!keepExtension) {
        const auto dot = name.rfind(L'.');
        if (dot != std::wstring::npos) name.erase(dot);
    }
    return name;
}

std::wstring getParentDir(const std::wstring& path) {
    if (path.size() <= 1) return std::wstring();
    std::wstring trimmed = path;
    if (trimmed.back() == L'\\' || trimmed.back() == L'/') trimmed.pop_back();
    const auto separator = lastSeparator(trimmed);
    if (separator == std::wstring::npos) return std::wstring();
    return trimmed.substr(0, separator + 1);
}

std::wstring getModuleDir() {
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    // A cut path would name some other folder.
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    return getParentDir(std::wstring(buffer, length));
}

std::wstring getAppDataDir() {
    wchar_t buffer[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer))) {
        return std::wstring();
    }
    std::wstring dir = buffer;
    if (!dir.empty() && dir.back() == L'\\') dir.pop_back();
    return dir;
}

}  // namespace ufile
}  // namespace utility
