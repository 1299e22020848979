#include "skin/SkinFonts.h"

#include "common/log.h"
#include "skin/ArchiveExtract.h"
#include "skin/SkinPackage.h"
#include "utility/ufile.h"

namespace DuiLib {
namespace {

const int kFontsArchiveId = 130;

}  // namespace

std::wstring skinFontsFolder() {
    return utility::ufile::getAppDataDir() + L"\\rodavezeroru_da\\fonts\\";
}

std::wstring prepareSkinFonts(HINSTANCE instance, const std::wstring& folder, const std::wstring& fontFile) {
    if (!utility::ufile::exists(folder)) utility::ufile::makeDir(folder);
    const void* archive = nullptr;
    size_t size = 0;
    if (findZipResource(instance, kFontsArchiveId, &archive, &size))
        extractArchiveToFolder(archive, size, folder);
    if (fontFile.empty()) return std::wstring();
    std::wstring path = folder + fontFile;
    int added = AddFontResourceExW(path.c_str(), FR_PRIVATE, nullptr);
    OV_LOG("DownloadImpl::entrance", L"load Noto Sans fonts ret:%d  error:%d", added,
           static_cast<int>(GetLastError()));
    return path;
}

bool releaseSkinFont(const std::wstring& path) {
    return !path.empty() && RemoveFontResourceExW(path.c_str(), FR_PRIVATE, nullptr);
}

}  // namespace DuiLib
