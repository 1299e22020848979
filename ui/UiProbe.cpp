#include "ui/UiProbe.h"

#include <cwchar>
#include <string>

#include "common/Handle.h"
#include "config/BuildSettings.h"
#include "skin/ButtonUI.h"
#include "skin/ComboUI.h"
#include "skin/ControlUI.h"
#include "skin/ProgressUI.h"
#include "skin/StringTable.h"

namespace ui {

namespace {

struct SelectionSearch {
    int wanted;
    int seen;
};

DuiLib::CControlUI* CALLBACK findSelection(DuiLib::CControlUI* control, LPVOID data) {
    auto* search = static_cast<SelectionSearch*>(data);
    if (!control->GetInterface(L"Selection")) return nullptr;
    return ++search->seen == search->wanted ? control : nullptr;
}

DuiLib::CControlUI* findControl(DuiLib::CPaintManagerUI& pm, const std::wstring& name) {
    if (name.size() > 1 && name[0] == L'#') {
        SelectionSearch search = {_wtoi(name.c_str() + 1), 0};
        DuiLib::CControlUI* root = pm.GetRoot();
        return root ? root->FindControl(findSelection, &search, DuiLib::UIFIND_ALL) : nullptr;
    }
    return pm.FindControl(name);
}

int valueOf(DuiLib::CControlUI* control) {
    if (auto* bar = static_cast<DuiLib::CProgressUI*>(control->GetInterface(L"Progress")))
        return bar->GetValue();
    if (auto* option = static_cast<DuiLib::COptionUI*>(control->GetInterface(L"Option")))
        return option->IsSelected() ? 1 : 0;
    if (auto* combo = static_cast<DuiLib::CComboUI*>(control->GetInterface(L"Combo")))
        return combo->GetCurSel();
    return -1;
}

std::wstring describe(HWND hwnd, DuiLib::CControlUI* control) {
    RECT rc = control->GetPos();
    POINT corners[2] = {{rc.left, rc.top}, {rc.right, rc.bottom}};
    MapWindowPoints(hwnd, nullptr, corners, 2);
    wchar_t head[160];
    swprintf(head, 160, L"%d %d %ld %ld %ld %ld %d ", control->IsVisible() ? 1 : 0,
             control->IsEnabled() ? 1 : 0, corners[0].x, corners[0].y, corners[1].x, corners[1].y,
             valueOf(control));
    return head + DuiLib::resolveTextId(control->GetText());
}

std::wstring describeWindow(HWND hwnd) {
    wchar_t text[512] = {};
    GetWindowTextW(hwnd, text, 512);
    RECT rc = {};
    GetWindowRect(hwnd, &rc);
    wchar_t head[160];
    swprintf(head, 160, L"%d %d %ld %ld %ld %ld -1 ", IsWindowVisible(hwnd) ? 1 : 0,
             IsWindowEnabled(hwnd) ? 1 : 0, rc.left, rc.top, rc.right, rc.bottom);
    return head + std::wstring(text);
}

std::string utf8(const std::wstring& text) {
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(length > 0 ? length : 0, '\0');
    if (length > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), size, &bytes[0], length, nullptr, nullptr);
    return bytes;
}

bool writeAnswer(const std::wstring& path, const std::wstring& line) {
    common::FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) return false;
    const std::string bytes = utf8(line + L"\n");
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

}  // namespace

UiProbe::~UiProbe() {
    if (pm_) pm_->RemoveMessageFilter(this);
}

void UiProbe::attach(DuiLib::CPaintManagerUI& pm) {
#if ORVANE_TEST_ENDPOINTS
    if (pm_) return;
    pm_ = &pm;
    pm.AddMessageFilter(this);
#else
    (void)pm;
#endif
}

LRESULT UiProbe::MessageHandler(UINT uMsg, WPARAM, LPARAM lParam, bool& bHandled) {
    if (uMsg != WM_COPYDATA || !pm_) return 0;
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!data || data->dwData != kProbeTag || !data->lpData) return 0;
    bHandled = true;
    const std::wstring request(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
    const auto tab = request.find(L'\t');
    if (tab == std::wstring::npos) return FALSE;
    const std::wstring name = request.substr(0, tab);
    const std::wstring answerFile = request.substr(tab + 1);
    HWND hwnd = pm_->GetPaintWindow();
    if (name == L"*") return writeAnswer(answerFile, describeWindow(hwnd)) ? TRUE : FALSE;
    DuiLib::CControlUI* control = findControl(*pm_, name);
    if (!control) return FALSE;
    return writeAnswer(answerFile, describe(hwnd, control)) ? TRUE : FALSE;
}

}  // namespace ui
