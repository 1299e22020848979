#include "model/InstallLocation.h"

#include <windows.h>

#include <cwchar>

#include "common/Handle.h"
#include "common/log.h"
#include "config/ConfigImp.h"
#include "model/DownloaderModel.h"
#include "utility/disk.h"

namespace installlocation {

namespace {

const double kSsdBonusAboveMB = 17408;  // 17 GiB
const double kSsdFactor = 1000;
const DWORD kInstallDirBytes = 2048;
const wchar_t kTwKey[] = L"Software\\Selvath\\doririda-tw";
const wchar_t kKrKey[] = L"Software\\Selvath\\doririda-kr";

}  // namespace

double diskScore(const DiskFacts& disk) {
    if (disk.freeMB <= 0) return 0;
    const bool bonus = disk.ssd && static_cast<long long>(disk.freeMB) > kSsdBonusAboveMB;
    return bonus ? disk.freeMB * kSsdFactor : disk.freeMB;
}

BestDisk chooseBestDisk(const std::vector<DiskFacts>& disks) {
    BestDisk best;
    double bestScore = -1;
    for (const DiskFacts& disk : disks) {
        const double score = diskScore(disk);
        if (score > bestScore) {
            bestScore = score;
            best.root = disk.root;
            best.ssd = disk.freeMB > 0 && disk.ssd;
        }
    }
    return best;
}

std::vector<DiskFacts> readFixedDisks() {
    std::vector<std::wstring> roots;
    helper::disk::listFixedDrives(roots);
    std::vector<DiskFacts> disks;
    for (const std::wstring& root : roots) {
        DiskFacts disk;
        disk.root = root;
        disk.freeMB = helper::disk::usableFreeSpaceMB(root);
        // Opening the volume is the slow part; a drive without room needs no answer.
        if (disk.freeMB > 0) disk.ssd = helper::disk::isSsdVolume(root.substr(0, 2));
        disks.push_back(disk);
    }
    return disks;
}

std::wstring readInstallDir(const std::wstring& key) {
    common::RegKey handle;
    if (RegCreateKeyW(HKEY_CURRENT_USER, key.c_str(), handle.put()) != ERROR_SUCCESS) return std::wstring();
    wchar_t buffer[kInstallDirBytes / sizeof(wchar_t)] = {};
    DWORD type = REG_NONE;
    DWORD size = kInstallDirBytes;
    if (RegQueryValueExW(handle.get(), L"InstallDir", nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                         &size) != ERROR_SUCCESS) {
        return std::wstring();
    }
    // Anything but text would be read as a nonsense folder name.
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::wstring();
    return std::wstring(buffer, wcsnlen(buffer, kInstallDirBytes / sizeof(wchar_t)));
}

}  // namespace installlocation

void DownloaderModel::_calcInstallPath() {
    const char* tag = "DownloaderModel::_calcInstallPath";
    ConfigImp* config = ConfigImp::getInstance();
    if (!config->isPlayer4() && !config->isPlayer64()) {
        const std::wstring code = config->getLanguageCode();
        if (code == L"tw") {
            installPath = installlocation::readInstallDir(installlocation::kTwKey);
        } else if (code == L"kr") {
            installPath = installlocation::readInstallDir(installlocation::kKrKey);
        }
    }
    if (installPath.empty()) installPath = installlocation::readInstallDir(config->getRegistryKey());
    OV_LOG(tag, L"read from reg: path is %s", installPath.c_str());
    if (!installPath.empty()) return;  // an earlier install of the edition is reused

    const installlocation::BestDisk best = installlocation::chooseBestDisk(installlocation::readFixedDisks());
    defaultDiskIsSsd = best.ssd;
    installPath = best.root + config->getInstallSubPath();
    defaultInstallPath = installPath;
    OV_LOG(tag, L"get install path from MaxFreeSpace: %s", installPath.c_str());
}
