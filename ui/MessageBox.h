// Message boxes over a window: a title, a text, an icon and buttons built
// at run time. Titles, texts and captions are string ids of the skin's
// language table (a missing id shows itself). A box disables its owner
// while it is open, never blocks the caller, and deletes itself when its
// window goes. A box whose text is already shown by an open box is not
// opened again: the call then shows nothing and drops the callbacks.
// Window thread only.
//
//   msg::showMessageBox(hwnd, {L"confirm", nullptr, false}, L"MsgBox_error", L"MsgBox_error_path");
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/SelectionUI.h"

namespace msg {

// One button; icon kind 2. False when no box was opened.
bool showMessageBox(HWND owner, const ButtonDesc& button, const std::wstring& title,
                    const std::wstring& message);
// Two buttons, the first on the left; icon kind 2.
bool showMessageBox2(HWND owner, const ButtonDesc& first, const ButtonDesc& second, const std::wstring& title,
                     const std::wstring& message);
// The install-path prompts: two buttons, icon kind 2, a text that is already
// formatted (not an id), and onClose run when the box's own close button is
// pressed.
bool showPathCheckBox(HWND owner, const ButtonDesc& first, const ButtonDesc& second,
                      const std::wstring& title, const std::wstring& text, std::function<void()> onClose);

// True while a box showing this text is open.
bool isMessageBoxOpen(const std::wstring& text);

// The icon image of a kind: 0 to 2 the notice, 3 the tick, others none.
std::wstring iconFileFor(int kind);

// What a box offers to whoever fills it, in this order of use.
class IMessageBox {
public:
    virtual void setIcon(int kind) = 0;
    virtual void setTitle(const std::wstring& title) = 0;
    virtual void setText(const std::wstring& text) = 0;
    virtual void setCloseCallback(std::function<void()> onClose) = 0;
    virtual void addButton(const ButtonDesc& button) = 0;
    virtual void addRemoteButton(const ButtonDesc& button) = 0;

protected:
    ~IMessageBox() = default;
};

}  // namespace msg
