// Unpacks 7z archives held in memory, either into a folder or member by member
// into a callback. Both stop at the first failure; members already delivered
// stay delivered.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace DuiLib {

// Results: 0 on success, otherwise the decoder's error number (1 data error,
// 3 CRC mismatch, 4 unsupported method, 6 truncated input, 17 not an archive,
// ...), kExtractWriteError when an output file cannot be opened or written, or
// kExtractUnsafeName when a member would land outside the destination folder.
enum : int {
    kExtractOk = 0,
    kExtractCrcError = 3,
    kExtractWriteError = 9,
    kExtractUnsafeName = 100,
};

// Called once per file member, in archive order, with its "/"-separated name.
// The bytes are only valid during the call.
using ArchiveMemberSink =
    std::function<void(const std::wstring& name, const unsigned char* bytes, size_t length)>;

// Writes every member under `folder` (created as needed), replacing existing
// files. Member names with ".." components, drive letters or a leading
// separator are refused.
int extractArchiveToFolder(const void* archive, size_t size, const std::wstring& folder);

// Hands every file member to `sink`; folder members are skipped. A member
// whose CRC does not match is not delivered.
int extractArchiveToMemory(const void* archive, size_t size, const ArchiveMemberSink& sink);

// True when `name` stays inside the folder it is extracted to.
bool isSafeMemberName(const std::wstring& name);

}  // namespace DuiLib
