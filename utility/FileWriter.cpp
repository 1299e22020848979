#include "utility/FileWriter.h"

#include <windows.h>

namespace utility {

bool FileWriter::open(const std::wstring& path) {
    file_.reset(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file_.valid();
}

bool FileWriter::write(const void* data, std::size_t count) {
    // One WriteFile call takes at most a DWORD's worth.
    if (!file_ || count > MAXDWORD) return false;
    DWORD written = 0;
    return WriteFile(file_.get(), data, static_cast<DWORD>(count), &written, nullptr) && written == count;
}

void FileWriter::close() {
    file_.reset();
}

}  // namespace utility
