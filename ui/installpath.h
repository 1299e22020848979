// The install-folder texts of the path chooser, kept apart from the window
// so they can be checked without one: completing a chosen folder to a
// product folder, normalising it, and the disk prompt it calls for.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ui {
namespace installpath {

// The edition's folder names (ConfigImp): "Orvane\Orvane9\", "Orvane9\", "Orvane".
struct ProductFolders {
    std::wstring subPath;
    std::wstring folderName;
    std::wstring productName;
};

// path with a final "\" and, by the first rule that applies: a drive root
// gets subPath; a folder ending in the brand folder "kavora" (any case)
// gets folderName; a folder naming neither the product nor "doririda"
// (a match at the very start does not count) gets subPath.
std::wstring completeInstallPath(const std::wstring& path, const ProductFolders& folders);

// "/" to "\", doubled backslashes halved (scanning on after each), spaces
// off both ends, and a final "\" on a non-empty text.
void normalizeInstallPath(std::wstring& path);

// format with each "%s" replaced by the next of args (missing ones by
// nothing); no other conversion, so a translated text cannot misuse them.
// Cut at maxLength characters.
std::wstring fillPlaceholders(const std::wstring& format, const std::vector<std::wstring>& args,
                              std::size_t maxLength = 255);

// The first character of a path (its drive letter), or empty.
std::wstring driveLetter(const std::wstring& path);

enum class PathPrompt {
    None,      // nothing to say
    SameDisk,  // on the recommended folder's disk: never a prompt
    Ssd,       // a hard disk chosen while the recommended disk is an SSD
    LowSpace,  // less than kLowSpaceMB free
};

const double kLowSpaceMB = 17408.0;  // 17 GiB

// What a chosen folder asks of the disk; queried only when needed.
struct DiskQueries {
    std::function<bool(const std::wstring& drivePrefix)> isSsd;
    std::function<double(const std::wstring& path)> usableFreeMB;
};

// The prompt for the folder path the user chose (fromUser) or kept, with
// the recommended folder bestPath on an SSD or not.
PathPrompt choosePathPrompt(const std::wstring& path, bool fromUser, const std::wstring& bestPath,
                            bool bestIsSsd, const DiskQueries& disk);

}  // namespace installpath
}  // namespace ui
