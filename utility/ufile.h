// Small file-system helpers. Stateless, callable from any thread; failures
// come back as results, and makeDir, moveFile and removeFile also log them.
#pragma once

#include <cstdint>
#include <string>

namespace utility {
namespace ufile {

bool exists(const std::wstring& path);
// Creates the folder and every missing parent. An existing folder is success.
bool makeDir(const std::wstring& path);
// flags are MoveFileExW flags; callers pass 3 (replace, allow copy across volumes).
bool moveFile(const std::wstring& from, const std::wstring& to, unsigned flags);
bool removeFile(const std::wstring& path);
// False also for a file another process holds open for writing.
bool getFileSize(const std::wstring& path, std::uint64_t& size);
// Text after the last separator (backslash first, else slash); empty when the
// path has no separator. Without keepExtension, the last ".xxx" goes.
std::wstring getFileName(const std::wstring& path, bool keepExtension);
// Folder of the path, ending with its separator: C:\a\b\file.exe gives
// C:\a\b\ and C:\a\b\ gives C:\a\; empty when there is none (C:, C:\).
std::wstring getParentDir(const std::wstring& path);
// Folder of the running executable, with a trailing backslash.
std::wstring getModuleDir();
// The user's roaming application-data folder without a trailing backslash;
// empty when it cannot be determined.
std::wstring getAppDataDir();

}  // namespace ufile
}  // namespace utility
