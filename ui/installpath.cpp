#include "ui/installpath.h"

#include <windows.h>
#include <shlwapi.h>

#include <cwctype>

namespace ui {
namespace installpath {

namespace {

const wchar_t kBrandFolder[] = L"kavora";
const wchar_t kEmulatorName[] = L"doririda";

std::wstring lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// Found somewhere after the first character.
bool namesInside(const std::wstring& text, const std::wstring& part) {
    const auto at = text.find(part);
    return at != std::wstring::npos && at != 0;
}

}  // namespace

std::wstring completeInstallPath(const std::wstring& path, const ProductFolders& folders) {
    std::wstring q = path;
    if (q.empty() || q.back() != L'\\') q += L'\\';
    const std::wstring brand = kBrandFolder;
    const auto brandAt = lower(q).find(brand);
    if (PathIsRootW(q.c_str())) {
        q += folders.subPath;
    } else if (brandAt != std::wstring::npos && brandAt + brand.size() == q.size() - 1) {
        q += folders.folderName;
    } else if (!namesInside(q, folders.productName) && !namesInside(q, kEmulatorName)) {
        q += folders.subPath;
    }
    return q;
}

void normalizeInstallPath(std::wstring& path) {
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    for (auto at = path.find(L"\\\\"); at != std::wstring::npos; at = path.find(L"\\\\", at + 2))
        path.replace(at, 2, L"\\");
    const auto first = path.find_first_not_of(L' ');
    if (first != std::wstring::npos) {
        path.erase(0, first);
        path.erase(path.find_last_not_of(L' ') + 1);
    }
    if (!path.empty() && path.back() != L'\\') path += L'\\';
}

std::wstring fillPlaceholders(const std::wstring& format, const std::vector<std::wstring>& args,
                              std::size_t maxLength) {
    std::wstring out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == L'%' && i + 1 < format.size() && format[i + 1] == L's') {
            if (next < args.size()) out += args[next];
            ++next;
            ++i;
        } else {
            out += format[i];
        }
    }
    if (out.size() > maxLength) out.resize(maxLength);
    return out;
}

std::wstring driveLetter(const std::wstring& path) {
    return path.substr(0, 1);
}

PathPrompt choosePathPrompt(const std::wstring& path, bool fromUser, const std::wstring& bestPath,
                            bool bestIsSsd, const DiskQueries& disk) {
    if (bestPath.size() > 2 && path.substr(0, 2) == bestPath.substr(0, 2)) return PathPrompt::SameDisk;
    if (fromUser && bestIsSsd && !bestPath.empty() && !disk.isSsd(path.substr(0, 2))) return PathPrompt::Ssd;
    if (disk.usableFreeMB(path) < kLowSpaceMB) return PathPrompt::LowSpace;
    return PathPrompt::None;
}

}  // namespace installpath
}  // namespace ui
