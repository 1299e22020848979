// Where the skin tests find their data: folders of the build host, reached
// through Wine's Z: drive.
#pragma once

#include <string>

#include "support/TestSupport.h"

namespace skintest {

inline std::wstring hostPath(const char* unixPath) {
    std::wstring path = L"Z:";
    for (const char* p = unixPath; *p; ++p) path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    return path;
}

inline std::wstring archiveDir() {
    return hostPath(ORVANE_SEVENZIP_DATA);
}
inline std::wstring sourceDataDir() {
    return hostPath(ORVANE_SKIN_TEST_DATA);
}

}  // namespace skintest
