// The main window's hand-over of the channel's games to the emulator.
#include "common/log.h"
#include "model/DownloaderModel.h"
#include "ui/CMainFrame.h"
#include "utility/process.h"

namespace {

const wchar_t kHandOverStart[] = L"apk=|show=true|package=";

}  // namespace

// The first game decides: a store game, a game id or a bare package name
// is handed to the emulator, which fetches it itself.
void CMainFrame::handOverGamePackages() {
    DownloaderModel* model = DownloaderModel::instance();
    const GamePackage& first = model->gamePackages.front();
    // The values come from the channel's document: each stays one argument.
    auto plain = [](const std::wstring& value) { return utility::process::plainArgument(value); };
    const std::wstring package = plain(first.packageName);
    std::wstring arguments;
    if (first.fromAppStore) {
        arguments = kHandOverStart + package + L"|downloadapkurl=" + plain(first.url) + L";S.package=" +
                    package + L";S.appname=" + plain(first.name) + L";S.appicon=" + plain(first.gameSltUrl) +
                    L";S.appsize=96";
    } else if (!first.gameId.empty()) {
        arguments = kHandOverStart + package + L"|downloadgameid=" + plain(first.gameId);
    } else if (!first.packageName.empty() && first.url.empty()) {
        arguments = kHandOverStart + package + L"|downloadpackage=" + package;
    } else {
        // Games this installer would download itself: until that delivery
        // exists the user finishes as without games and starts the emulator.
        OV_LOG("CMainFrame::onInstallFinished", L"package delivery unavailable, %d packages",
               static_cast<int>(model->gamePackages.size()));
        showFinishPage();
        return;
    }
    model->runPlayer(arguments);
    PostQuitMessage(0);
}
