// Message boxes over the main window. Texts are string ids of the skin's
// language table; a box with the same message text is never open twice.
// A box disables its owner while it is open and never blocks the caller.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace msg {

struct ButtonDesc {
    std::wstring caption;          // string id
    std::function<void()> onClick;  // runs before the box closes
    bool highlight = false;
};

// One button.
bool showMessageBox(HWND owner, const ButtonDesc& button, const std::wstring& title, const std::wstring& message);
// Two buttons; the first stands on the left.
bool showMessageBox2(HWND owner, const ButtonDesc& first, const ButtonDesc& second, const std::wstring& title,
                     const std::wstring& message);
// True while a box with this message text is open.
bool isMessageBoxOpen(const std::wstring& message);

}  // namespace msg
