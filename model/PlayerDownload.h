// The pure parts of the package download (DownloaderModel's download
// operations live in PlayerDownload.cpp).
#pragma once

#include <windows.h>

#include <string>

namespace playerdownload {

// Smallest libcurl download taken for a package: a smaller file is an error
// page or a cut-off body.
const unsigned long long kMinCurlPackageBytes = 1048576;

// Elapsed milliseconds as whole seconds rounded up to a multiple of 30
// (30 s gives 30, 31 s gives 60, 0.5 s gives 0).
int roundedElapseSeconds(DWORD elapsedMs);

// "status_error" of the system client's last failure, e.g. "-1_404".
std::string failureReason(int status, int error);

// Whole percent of done in total; 0 while the total is unknown.
int progressPercent(long long done, long long total);

}  // namespace playerdownload
