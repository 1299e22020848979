// Where the emulator goes: the folder of an earlier install of the edition,
// read from the registry, or else the best fixed disk's brand folder.
// DownloaderModel::_calcInstallPath (InstallLocation.cpp) applies it; the
// pieces below keep the disk choice a plain function of disk facts.
#pragma once

#include <string>
#include <vector>

namespace installlocation {

// What the disk choice knows of one drive.
struct DiskFacts {
    std::wstring root;  // "C:\"
    double freeMB = 0;  // usable free space; 0 when unreadable or a rejected file system
    bool ssd = false;   // asked only of a drive with usable space
};

// Free MiB, times 1000 for an SSD with more than 17408 MiB (17 GiB) free.
double diskScore(const DiskFacts& disk);

struct BestDisk {
    std::wstring root;  // empty when there was no disk at all
    bool ssd = false;
};

// The disk with the highest score; among equal scores the first listed wins,
// also when all score 0.
BestDisk chooseBestDisk(const std::vector<DiskFacts>& disks);

// The facts of every fixed drive, in the system's order.
std::vector<DiskFacts> readFixedDisks();

// The text value "InstallDir" of HKEY_CURRENT_USER\key, or empty. Opens the
// key with create semantics, so a missing key is left behind, empty.
std::wstring readInstallDir(const std::wstring& key);

}  // namespace installlocation
