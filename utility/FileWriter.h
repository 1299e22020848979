// A write-only file for downloads: open empties or creates the file, write
// puts whole blocks, close (or destruction) lets go of it.
#pragma once

#include <cstddef>
#include <string>

#include "common/Handle.h"

namespace utility {

class FileWriter {
public:
    // Creates the file, emptying an existing one; closes a file already open.
    bool open(const std::wstring& path);
    // True only when all count bytes were written.
    bool write(const void* data, std::size_t count);
    // Safe to call more than once.
    void close();

private:
    common::FileHandle file_;
};

}  // namespace utility
