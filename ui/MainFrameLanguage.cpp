// The main window's language switch: the model takes the new language and
// its string file, and the window's fixed texts are set again.
#include "common/log.h"
#include "common/textconv.h"
#include "config/ConfigImp.h"
#include "model/DownloaderModel.h"
#include "skin/ButtonUI.h"
#include "skin/ComboUI.h"
#include "skin/PaintManager.h"
#include "skin/SkinPackage.h"
#include "skin/StringTable.h"
#include "ui/CMainFrame.h"
#include "ui/controls.h"

namespace {

const int kLanguageLoadTries = 3;
const DWORD kHomepageTextColor = 0xFFFFFFFF;

// The window's fixed texts: control, string id.
const struct {
    const wchar_t* control;
    const wchar_t* stringId;
} kFixedTexts[] = {
    {L"progress_install_label", L"progress_install_label"},
    {L"progress_finish_label", L"progress_finish_label"},
    {L"loadingprogresslabel", L"progress_downloading_label"},
    {L"pathErrorLabel", L"Label_path_error"},
    {L"LicenseAgreementText", L"protocol_accept"},
    {L"protocollinkbtn", L"protocol_accept_btn"},
    {L"tastenowbtn", L"Button_start_player"},
    {L"confirmprotocolbtn", L"sure"},
    {L"installnowbtn", L"Button_install_fast"},
    {L"userdefinitionBtn", L"Button_install_define"},
    {L"backBtn", L"Button_install_back"},
    {L"browsebtn", L"browser"},
};

}  // namespace

void CMainFrame::onLanguageComSelected(DuiLib::TNotifyUI& msg) {
    auto* combo = ui::findAs<DuiLib::CComboUI>(m_pm, L"languageCombo", L"Combo");
    DuiLib::CControlUI* item = combo ? combo->GetItemAt(static_cast<int>(msg.wParam)) : nullptr;
    if (!item) return;
    languageCodeText_ = item->GetText();
    DownloaderModel* model = DownloaderModel::instance();
    model->setLanguageCode(languageCodeText_);
    ConfigImp::getInstance()->setLanguageCode(model->getLanguage());
    loadLanguageFile();
    SetWindowTextW(m_hWnd, DuiLib::textFor(L"Title_wndTitle").c_str());
    setText(L"titlename", DuiLib::textFor(L"titlename"));
    setText(L"protocoledit", loadLicenceText());
    applyLanguageTexts();
}

// A file that cannot be read or parsed three times leaves the model's
// previous strings.
void CMainFrame::loadLanguageFile() {
    const char* tag = "CMainFrame::onLanguageComSelected";
    DownloaderModel* model = DownloaderModel::instance();
    for (int attempt = 0; attempt < kLanguageLoadTries; ++attempt) {
        const std::wstring file = ConfigImp::getInstance()->getLanguageFile();
        OV_LOG(tag, L"load language %s", file.c_str());
        DuiLib::SkinBytes bytes;
        if (!DuiLib::loadSkinResource(file, bytes)) {
            OV_LOG(tag, L"get resource error. %d", static_cast<int>(GetLastError()));
        } else {
            const std::string text(bytes.begin(), bytes.end());
            if (model->loadLanguage(common::utf8ToWide(text.c_str()))) return;
        }
        Sleep(0);
    }
}

void CMainFrame::applyLanguageTexts() {
    for (const auto& fixed : kFixedTexts) setText(fixed.control, DuiLib::textFor(fixed.stringId));
    auto* homepage = ui::findAs<DuiLib::CButtonUI>(m_pm, L"homepageBtn", L"Button");
    if (!homepage) return;
    homepage->SetTextColor(kHomepageTextColor);
    homepage->SetText(ConfigImp::getInstance()->getHomepage());
}

// The licence text resource ("TXT", id 0) of the resource module, as UTF-16;
// the executable carries none, so this is normally empty.
std::wstring CMainFrame::loadLicenceText() {
    HMODULE module = DuiLib::CPaintManagerUI::GetInstance();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(0), L"TXT");
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return std::wstring();
    return std::wstring(static_cast<const wchar_t*>(bytes), SizeofResource(module, found) / sizeof(wchar_t));
}
