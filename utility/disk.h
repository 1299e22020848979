// Disk and volume queries for choosing and checking the install folder, and
// the desktop shortcut writer. Stateless free functions on wide-string
// paths; safe from any thread.
//
// The queries never fail loudly: any system-call failure answers false or 0
// and logs nothing. createShortcut logs each failed stage.
#pragma once

#include <string>
#include <vector>

namespace helper {
namespace disk {

// Roots ("C:\") of the fixed drives (and of any drive type above 6), in the
// order the system lists them. Removable, remote, CD-ROM and RAM disks and
// undetermined types are left out.
void listFixedDrives(std::vector<std::wstring>& roots);

// True when the volume of a drive prefix ("C:") reports TRIM support. False
// when the volume cannot be opened (no rights) or does not answer.
bool isSsdVolume(const std::wstring& drivePrefix);

// Free MiB available to the caller on the root (first three characters) of
// path; 0 when unreadable.
double freeSpaceMB(const std::wstring& path);

// As freeSpaceMB, but 0 when the volume's file-system name can be read and
// is neither "FAT32" nor "NTFS". The name is read for path as given, which
// only succeeds for a bare drive root ("D:\").
double usableFreeSpaceMB(const std::wstring& path);

// True for a plausible install folder: a folder below an existing drive root
// with free space, no forbidden character and no component of spaces only.
bool isValidInstallPath(const std::wstring& path);

// Lower case, "/" turned into "\", runs of "\" collapsed, and no "\" at
// either end: "D:/Games//Orvane/" gives "d:\games\orvane".
std::wstring normalizePathText(const std::wstring& path);

// Removes the space characters (code 32 only) at both ends.
void trimSpaces(std::wstring& path);

// True when text holds one of / : * ? " < > |
bool hasForbiddenPathChar(const std::wstring& text);

// Writes the desktop shortcut <desktop>\<name>.lnk starting target in
// workingFolder with arguments (none when empty) and the icon of iconFile.
// An existing shortcut of that name is replaced. name must be a plain file
// name: one with a path separator or a drive colon is refused. Needs COM on
// the calling thread.
void createShortcut(const std::wstring& name, const std::wstring& iconFile, const std::wstring& workingFolder,
                    const std::wstring& target, const std::wstring& arguments);

}  // namespace disk
}  // namespace helper
