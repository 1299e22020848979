// The skin package: layouts, images and language files carried in the
// executable as a 7z archive (resource "ZIPRES"/129) and unpacked into a
// process-wide in-memory store, optionally overridden by a loose "skin"
// folder beside the executable. Window thread only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace DuiLib {

using SkinBytes = std::vector<unsigned char>;

// Loose files are looked up here first: empty, or an absolute folder ending
// in "\".
void setResourceFolder(const std::wstring& folder);
std::wstring resourceFolder();

// exeFolder + "skin\" when that folder exists, otherwise empty.
std::wstring looseSkinFolder(const std::wstring& exeFolder);

// Module whose resources hold the archives; null means the executable.
void setResourceInstance(HINSTANCE instance);
HINSTANCE resourceInstance();

// Member callback for the skin archive: the store's entry for `name` becomes
// a copy of the bytes.
void storeSkinFile(const std::wstring& name, const unsigned char* bytes, size_t length);

// Finds one skin file: an absolute name or resourceFolder + name on disk,
// else the store ("\" read as "/"). False when it is nowhere (bytes empty).
bool loadSkinResource(const std::wstring& name, SkinBytes& bytes);

// Unpacks the archive resource `resourceId` into the store, then loads the
// string table `tableName` (loadStringTableFrom with the executable's folder).
void loadSkinPackage(int resourceId, const std::wstring& tableName);

// Unpacks an archive held in memory into the store; the extraction result.
int loadSkinArchive(const void* archive, size_t size);

// Loads the string table: the file `tableName` in `exeFolder` when it can be
// opened (only when 1 byte to 4 MiB long), otherwise the package's copy
// when it is longer than 10 bytes.
void loadStringTableFrom(const std::wstring& exeFolder, const std::wstring& tableName);

// The bytes of resource type "ZIPRES" number `id` in `module`; false when it
// is missing or empty.
bool findZipResource(HMODULE module, int id, const void** bytes, size_t* size);

// Empties the store (for tests).
void clearSkinStore();

}  // namespace DuiLib
