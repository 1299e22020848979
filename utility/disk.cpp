#include "utility/disk.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <winioctl.h>

#include <memory>

#include "common/Handle.h"
#include "common/log.h"

namespace helper {
namespace disk {

namespace {

const double kBytesPerMB = 1048576.0;
const wchar_t kForbiddenChars[] = L"/:*?\"<>|";
const char kShortcutTag[] = "helper::disk::createShortcut";

// The storage property query for TRIM, laid out as the driver expects it
// (12 bytes in, 12 bytes out with the flag at offset 8).
const DWORD kDeviceTrimProperty = 8;
const DWORD kStandardQuery = 0;
struct TrimQuery {
    DWORD propertyId;
    DWORD queryType;
    BYTE additional[4];
};
struct TrimDescriptor {
    DWORD version;
    DWORD size;
    BYTE trimEnabled;
    BYTE padding[3];
};
static_assert(sizeof(TrimQuery) == 12 && sizeof(TrimDescriptor) == 12, "driver layout");

struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <typename T>
using ComPtr = std::unique_ptr<T, ComRelease>;

struct ItemListFree {
    void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};

// Free bytes available to the caller on the root (first three characters).
bool freeBytes(const std::wstring& path, ULONGLONG& bytes) {
    const std::wstring root = path.substr(0, 3);
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExW(root.c_str(), &available, nullptr, nullptr)) return false;
    bytes = available.QuadPart;
    return true;
}

bool isDriveRoot(const std::wstring& text) {
    const wchar_t letter = text.empty() ? 0 : text[0];
    const bool isLetter = (letter >= L'a' && letter <= L'z') || (letter >= L'A' && letter <= L'Z');
    return text.size() == 3 && isLetter && text[1] == L':' && text[2] == L'\\';
}

void replaceAll(std::wstring& text, const std::wstring& from, const std::wstring& to) {
    for (std::wstring::size_type at; (at = text.find(from)) != std::wstring::npos;)
        text.replace(at, from.size(), to);
}

std::wstring desktopFolder() {
    ITEMIDLIST* raw = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &raw))) {
        OV_LOG(kShortcutTag, L"install 1 of create shortcut failed!");
        return std::wstring();
    }
    std::unique_ptr<ITEMIDLIST, ItemListFree> list(raw);
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(list.get(), path)) {
        OV_LOG(kShortcutTag, L"install 2 of create shortcut failed!");
        return std::wstring();
    }
    return path;
}

// A name with a separator or a drive colon would put the file elsewhere.
bool isPlainFileName(const std::wstring& name) {
    return name.find_first_of(L"\\/:") == std::wstring::npos;
}

}  // namespace

void listFixedDrives(std::vector<std::wstring>& roots) {
    const DWORD needed = GetLogicalDriveStringsW(0, nullptr);
    if (needed == 0) return;
    std::wstring buffer(needed, L'\0');
    const DWORD written = GetLogicalDriveStringsW(needed, &buffer[0]);
    if (written == 0 || written >= needed) return;
    for (const wchar_t* root = buffer.c_str(); *root; root += wcslen(root) + 1) {
        const UINT type = GetDriveTypeW(root);
        if (type == DRIVE_FIXED || type > DRIVE_RAMDISK) roots.push_back(root);
    }
}

bool isSsdVolume(const std::wstring& drivePrefix) {
    const std::wstring device = L"\\\\.\\" + drivePrefix;
    common::FileHandle volume(CreateFileW(device.c_str(), GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                          nullptr));
    if (!volume) return false;
    TrimQuery query = {kDeviceTrimProperty, kStandardQuery, {}};
    TrimDescriptor answer = {};
    DWORD returned = 0;
    // Only the flag counts: a driver that does not answer leaves it at 0.
    DeviceIoControl(volume.get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query), &answer,
                    sizeof(answer), &returned, nullptr);
    return answer.trimEnabled == 1;
}

double freeSpaceMB(const std::wstring& path) {
    ULONGLONG bytes = 0;
    if (!freeBytes(path, bytes)) return 0;
    return static_cast<double>(bytes) / kBytesPerMB;
}

double usableFreeSpaceMB(const std::wstring& path) {
    ULONGLONG bytes = 0;
    if (!freeBytes(path, bytes)) return 0;
    wchar_t fileSystem[1024] = {};
    if (GetVolumeInformationW(path.c_str(), nullptr, 0, nullptr, nullptr, nullptr, fileSystem, 1024)) {
        const std::wstring name = fileSystem;
        if (name != L"FAT32" && name != L"NTFS") return 0;
    }
    return static_cast<double>(bytes) / kBytesPerMB;
}

std::wstring normalizePathText(const std::wstring& path) {
    std::wstring text = path;
    if (!text.empty()) CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    replaceAll(text, L"/", L"\\");
    replaceAll(text, L"\\\\", L"\\");
    while (!text.empty() && text.front() == L'\\') text.erase(0, 1);
    while (!text.empty() && text.back() == L'\\') text.pop_back();
    return text;
}

void trimSpaces(std::wstring& path) {
    const auto last = path.find_last_not_of(L' ');
    path.erase(last == std::wstring::npos ? 0 : last + 1);
    path.erase(0, path.find_first_not_of(L' '));
}

bool hasForbiddenPathChar(const std::wstring& text) {
    return text.find_first_of(kForbiddenChars) != std::wstring::npos;
}

bool isValidInstallPath(const std::wstring& path) {
    std::wstring text = normalizePathText(path);
    trimSpaces(text);
    if (text.size() < 3) return false;
    // Only a drive root: anything else ("\\server\share" normalised, "d:x")
    // would be read relative to some current folder.
    const std::wstring root = text.substr(0, 3);
    if (!isDriveRoot(root)) return false;
    ULONGLONG bytes = 0;
    if (!freeBytes(root, bytes) || bytes == 0) return false;

    std::wstring rest = text.substr(3);
    trimSpaces(rest);
    if (hasForbiddenPathChar(rest)) return false;
    // Every component before a backslash must hold more than spaces; the
    // last one is not checked.
    std::wstring::size_type start = 0;
    for (std::wstring::size_type at; (at = rest.find(L'\\', start)) != std::wstring::npos; start = at + 1) {
        std::wstring piece = rest.substr(start, at - start);
        trimSpaces(piece);
        if (piece.empty()) return false;
    }
    return true;
}

void createShortcut(const std::wstring& name, const std::wstring& iconFile, const std::wstring& workingFolder,
                    const std::wstring& target, const std::wstring& arguments) {
    if (!isPlainFileName(name)) {
        OV_LOG(kShortcutTag, L"shortcut name is not a file name: %s", name.c_str());
        return;
    }
    const std::wstring desktop = desktopFolder();
    if (desktop.empty()) return;

    IShellLinkW* rawLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&rawLink)))) {
        OV_LOG(kShortcutTag, L"install 3 of create shortcut failed!");
        return;
    }
    ComPtr<IShellLinkW> link(rawLink);
    IPersistFile* rawFile = nullptr;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)))) {
        OV_LOG(kShortcutTag, L"install 4 of create shortcut failed!");
        return;
    }
    ComPtr<IPersistFile> file(rawFile);

    link->SetWorkingDirectory(workingFolder.c_str());
    link->SetPath(target.c_str());
    if (!arguments.empty()) link->SetArguments(arguments.c_str());
    link->SetIconLocation(iconFile.c_str(), 0);
    // A name the file system refuses makes the save fail; that stays silent.
    const std::wstring shortcutPath = desktop + L"\\" + name + L".lnk";
    file->Save(shortcutPath.c_str(), TRUE);
}

}  // namespace disk
}  // namespace helper
