#include "skin/SkinPackage.h"

#include <fstream>
#include <limits>
#include <map>

#include "skin/ArchiveExtract.h"
#include "skin/StringTable.h"
#include "utility/ufile.h"

namespace DuiLib {
namespace {

const wchar_t kArchiveType[] = L"ZIPRES";
const std::streamoff kMaxTableFile = 4 * 1024 * 1024;
const size_t kMinPackagedTable = 10;

struct PackageState {
    std::wstring folder;
    HINSTANCE instance = nullptr;
    std::map<std::wstring, SkinBytes> store;
};

PackageState& package() {
    static PackageState state;
    return state;
}

enum class DiskRead { kNotOpened, kRefused, kRead };

// Reads a whole file shared for reading; files outside [minSize, maxSize]
// are refused.
DiskRead readDiskFile(const std::wstring& path, std::streamoff minSize, std::streamoff maxSize,
                      SkinBytes& bytes) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) return DiskRead::kNotOpened;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < minSize || size > maxSize) return DiskRead::kRefused;
    in.seekg(0, std::ios::beg);
    bytes.resize(static_cast<size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        bytes.clear();
        return DiskRead::kRefused;
    }
    return DiskRead::kRead;
}

bool isAbsolute(const std::wstring& name) {
    return name.size() > 1 && name[1] == L':';
}

}  // namespace

void setResourceFolder(const std::wstring& folder) {
    package().folder = folder;
}

std::wstring resourceFolder() {
    return package().folder;
}

std::wstring looseSkinFolder(const std::wstring& exeFolder) {
    std::wstring folder = exeFolder;
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    folder += L"skin";
    DWORD attributes = GetFileAttributesW(folder.c_str());
    bool isFolder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    return isFolder ? folder + L"\\" : std::wstring();
}

void setResourceInstance(HINSTANCE instance) {
    package().instance = instance;
}

HINSTANCE resourceInstance() {
    return package().instance;
}

void storeSkinFile(const std::wstring& name, const unsigned char* bytes, size_t length) {
    package().store[name] = SkinBytes(bytes, bytes + length);
}

bool loadSkinResource(const std::wstring& name, SkinBytes& bytes) {
    bytes.clear();
    const std::streamoff anySize = std::numeric_limits<std::streamoff>::max();
    std::wstring diskPath;
    if (isAbsolute(name)) {
        diskPath = name;
    } else if (!package().folder.empty()) {
        diskPath = package().folder + name;
    }
    if (!diskPath.empty() && readDiskFile(diskPath, 1, anySize, bytes) == DiskRead::kRead) return true;
    bytes.clear();
    std::wstring key = name;
    for (wchar_t& c : key)
        if (c == L'\\') c = L'/';
    auto it = package().store.find(key);
    if (it == package().store.end()) return false;
    bytes = it->second;
    return true;
}

bool findZipResource(HMODULE module, int id, const void** bytes, size_t* size) {
    *bytes = nullptr;
    *size = 0;
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), kArchiveType);
    if (!info) return false;
    HGLOBAL loaded = LoadResource(module, info);
    DWORD length = SizeofResource(module, info);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || length == 0) return false;
    *bytes = data;
    *size = length;
    return true;
}

int loadSkinArchive(const void* archive, size_t size) {
    return extractArchiveToMemory(archive, size, storeSkinFile);
}

void loadSkinPackage(int resourceId, const std::wstring& tableName) {
    HMODULE module = package().instance ? package().instance : GetModuleHandleW(nullptr);
    const void* archive = nullptr;
    size_t size = 0;
    if (findZipResource(module, resourceId, &archive, &size)) loadSkinArchive(archive, size);
    loadStringTableFrom(utility::ufile::getModuleDir(), tableName);
}

void loadStringTableFrom(const std::wstring& exeFolder, const std::wstring& tableName) {
    std::wstring folder = exeFolder;
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    SkinBytes bytes;
    DiskRead beside = readDiskFile(folder + tableName, 1, kMaxTableFile, bytes);
    if (beside == DiskRead::kRefused) return;  // present but unusable: the package copy is not used
    if (beside == DiskRead::kNotOpened) {
        if (!loadSkinResource(tableName, bytes) || bytes.size() <= kMinPackagedTable) return;
    }
    loadStringTable(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void clearSkinStore() {
    package().store.clear();
}

}  // namespace DuiLib
