// The main window's install-folder chooser: the folder dialog, the typed
// folder, its completion and the disk prompts.
#include <shlobj.h>

#include <memory>

#include "common/log.h"
#include "config/ConfigImp.h"
#include "model/DownloaderModel.h"
#include "skin/StringTable.h"
#include "ui/CMainFrame.h"
#include "ui/MessageBox.h"
#include "ui/installpath.h"
#include "utility/disk.h"

namespace {

const int kFolderDialogFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;

struct ItemListFree {
    void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using ItemList = std::unique_ptr<ITEMIDLIST, ItemListFree>;

// The dialog always opens on drive C.
int CALLBACK folderDialogEvent(HWND dialog, UINT message, LPARAM, LPARAM) {
    if (message == BFFM_INITIALIZED)
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(L"C:"));
    return 0;
}

ui::installpath::DiskQueries realDisks() {
    return {[](const std::wstring& prefix) { return helper::disk::isSsdVolume(prefix); },
            [](const std::wstring& path) { return helper::disk::usableFreeSpaceMB(path); }};
}

}  // namespace

void CMainFrame::onBrowse(DuiLib::TNotifyUI&) {
    if (DownloaderModel::instance()->getInstallPath().empty()) {
        browseForFolder();
        return;
    }
    msg::showMessageBox2(m_hWnd, {L"cancel", nullptr, false}, {L"sure", [this] { browseForFolder(); }, true},
                         L"MSGBox_noice", L"change_path_tip");
}

void CMainFrame::browseForFolder() {
    wchar_t folder[MAX_PATH] = {};
    const std::wstring title = DuiLib::textFor(L"Label_choice_path");
    BROWSEINFOW info = {};
    info.hwndOwner = m_hWnd;
    info.pszDisplayName = folder;
    info.lpszTitle = title.c_str();
    info.ulFlags = kFolderDialogFlags;
    info.lpfn = folderDialogEvent;
    ItemList chosen(SHBrowseForFolderW(&info));
    if (!chosen) return;
    // A virtual folder (no file-system path) changes nothing either.
    if (!SHGetPathFromIDListW(chosen.get(), folder)) return;
    changePathClac(true, folder);
}

void CMainFrame::onPathEditKillFocus(DuiLib::TNotifyUI& msg) {
    changePathClac(true, msg.pSender->GetText());
}

void CMainFrame::changePathClac(bool fromUser, const std::wstring& path) {
    const char* tag = "CMainFrame::changePathClac";
    DownloaderModel* model = DownloaderModel::instance();
    if (path == model->getInstallPath()) return;
    const std::wstring oldPath = model->getInstallPath();
    applyInstallPath(path);
    // The disk is judged by the folder as stored: blanks before the drive
    // would otherwise pass for another, full disk.
    const std::wstring stored = model->getInstallPath();
    const std::wstring best = model->defaultInstallPath;
    using ui::installpath::PathPrompt;
    switch (ui::installpath::choosePathPrompt(stored, fromUser, best, model->defaultDiskIsSsd, realDisks())) {
        case PathPrompt::SameDisk:
            OV_LOG(tag, L"same best path");
            return;
        case PathPrompt::Ssd: {
            const std::wstring text = ui::installpath::fillPlaceholders(
                DuiLib::textFor(L"path_ssd"),
                {ui::installpath::driveLetter(stored), ui::installpath::driveLetter(best)});
            // Keeping the hard disk still gets the space check.
            auto keep = [this, path] { changePathClac(false, path); };
            msg::showPathCheckBox(m_hWnd, {L"path_not", keep, false},
                                  {L"path_ok", [this, best] { applyInstallPath(best); }, true}, L"path_noice",
                                  text, keep);
            return;
        }
        case PathPrompt::LowSpace: {
            OV_LOG(tag, L"left 17G");
            const std::wstring suggestion = best.empty() ? oldPath : best;
            const std::wstring text = ui::installpath::fillPlaceholders(
                DuiLib::textFor(L"path_more"), {ui::installpath::driveLetter(suggestion)});
            msg::showPathCheckBox(m_hWnd, {L"path_not", nullptr, false},
                                  {L"path_ok", [this, suggestion] { applyInstallPath(suggestion); }, true},
                                  L"path_noice", text, nullptr);
            return;
        }
        case PathPrompt::None:
            return;
    }
}

void CMainFrame::applyInstallPath(const std::wstring& path) {
    DownloaderModel* model = DownloaderModel::instance();
    if (path == model->getInstallPath()) return;
    ConfigImp* config = ConfigImp::getInstance();
    std::wstring q = ui::installpath::completeInstallPath(
        path, {config->getInstallSubPath(), config->getInstallFolderName(), config->getProductFolderName()});
    if (helper::disk::isValidInstallPath(q)) ui::installpath::normalizeInstallPath(q);
    model->installPath = q;
    setText(L"pathedit", q);
    refreshInstallState();
}
