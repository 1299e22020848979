// Until the skinned boxes exist, a box is a plain window of class
// "MessageBoxWindow" with a static text and push buttons; its behaviour
// (owner disabled, callbacks, the open-box register) is the final one.
#include "ui/MessageBox.h"

#include <set>
#include <vector>

#include "skin/StringTable.h"

namespace msg {

namespace {

const wchar_t kClassName[] = L"MessageBoxWindow";
const int kFirstButtonId = 100;

std::set<std::wstring>& openBoxes() {
    static std::set<std::wstring> texts;  // window thread only
    return texts;
}

class PlainBox {
public:
    PlainBox(HWND owner, std::wstring message, std::vector<ButtonDesc> buttons)
        : owner_(owner), message_(std::move(message)), buttons_(std::move(buttons)) {}

    bool create(const std::wstring& title) {
        registerClass();
        HWND hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, DuiLib::textFor(title).c_str(),
                                    WS_POPUP | WS_BORDER | WS_SYSMENU | WS_CAPTION, 0, 0, 360, 180, owner_,
                                    nullptr, GetModuleHandleW(nullptr), this);
        if (!hwnd) return false;
        openBoxes().insert(message_);
        if (owner_) EnableWindow(owner_, FALSE);
        addControls();
        centre();
        ::ShowWindow(hwnd_, SW_SHOWNORMAL);
        return true;
    }

private:
    static void registerClass() {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = &PlainBox::windowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClassName;
        RegisterClassExW(&wc);
    }

    void addControls() {
        HINSTANCE module = GetModuleHandleW(nullptr);
        CreateWindowExW(0, L"STATIC", DuiLib::textFor(message_).c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER, 16, 20, 320,
                        60, hwnd_, nullptr, module, nullptr);
        int count = static_cast<int>(buttons_.size());
        int x = (360 - count * 100 - (count - 1) * 16) / 2;
        for (int i = 0; i < count; ++i, x += 116) {
            DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (buttons_[i].highlight ? BS_DEFPUSHBUTTON : 0);
            CreateWindowExW(0, L"BUTTON", DuiLib::textFor(buttons_[i].caption).c_str(), style, x, 96, 100, 30, hwnd_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstButtonId + i)), module, nullptr);
        }
    }

    void centre() {
        RECT box, area;
        GetWindowRect(hwnd_, &box);
        if (!owner_ || !GetWindowRect(owner_, &area)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        int w = box.right - box.left, h = box.bottom - box.top;
        SetWindowPos(hwnd_, nullptr, area.left + (area.right - area.left - w) / 2,
                     area.top + (area.bottom - area.top - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }

    void onButton(int index) {
        // The callback may close the owner; keep it alive past our destruction.
        std::function<void()> callback = buttons_[index].onClick;
        close();
        if (callback) callback();
    }

    void close() {
        if (owner_) EnableWindow(owner_, TRUE);
        DestroyWindow(hwnd_);
    }

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCCREATE) {
            auto* self = static_cast<PlainBox*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
            self->hwnd_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        auto* self = reinterpret_cast<PlainBox*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
        switch (msg) {
            case WM_COMMAND: {
                int index = LOWORD(wp) - kFirstButtonId;
                if (index >= 0 && index < static_cast<int>(self->buttons_.size())) self->onButton(index);
                return 0;
            }
            case WM_CLOSE:
                self->close();
                return 0;
            case WM_NCDESTROY:
                openBoxes().erase(self->message_);
                SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
                delete self;
                return DefWindowProcW(hwnd, msg, wp, lp);
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }

    HWND owner_;
    HWND hwnd_ = nullptr;
    std::wstring message_;
    std::vector<ButtonDesc> buttons_;
};

bool showBox(HWND owner, std::vector<ButtonDesc> buttons, const std::wstring& title, const std::wstring& message) {
    if (isMessageBoxOpen(message)) return false;
    auto* box = new PlainBox(owner, message, std::move(buttons));  // deletes itself with its window
    if (box->create(title)) return true;
    delete box;
    return false;
}

}  // namespace

bool showMessageBox(HWND owner, const ButtonDesc& button, const std::wstring& title, const std::wstring& message) {
    return showBox(owner, {button}, title, message);
}

bool showMessageBox2(HWND owner, const ButtonDesc& first, const ButtonDesc& second, const std::wstring& title,
                     const std::wstring& message) {
    return showBox(owner, {first, second}, title, message);
}

bool isMessageBoxOpen(const std::wstring& message) { return openBoxes().count(message) != 0; }

}  // namespace msg
