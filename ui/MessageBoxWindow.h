// The skinned message box behind showMessageBox and friends (MessageBox.h).
// The object disables its owner when it is made and deletes itself at its
// window's final message, taking its text out of the open-box register.
#pragma once

#include <functional>
#include <string>

#include "skin/WindowImplBase.h"
#include "ui/MessageBox.h"
#include "ui/UiProbe.h"

namespace msg {

class MessageBoxWindow : public DuiLib::WindowImplBase, public IMessageBox {
public:
    // The skin file with an icon, and without one.
    static const wchar_t kSkinWithIcon[];
    static const wchar_t kSkinWithoutIcon[];

    // Registers text, makes the box (owner disabled at once), creates its
    // window over owner, centres and shows it. Null, with nothing left
    // behind, when the text is shown already or the window cannot be made.
    static MessageBoxWindow* open(HWND owner, const std::wstring& skinFile, const std::wstring& text);

    void setIcon(int kind) override;
    void setTitle(const std::wstring& title) override;
    void setText(const std::wstring& text) override;
    void setCloseCallback(std::function<void()> onClose) override;
    void addButton(const ButtonDesc& button) override;
    void addRemoteButton(const ButtonDesc& button) override;

    void Notify(DuiLib::TNotifyUI& msg) override;

protected:
    const wchar_t* GetWindowClassName() const override { return L"MessageBoxWindow"; }
    UINT GetClassStyle() const override { return CS_HREDRAW | CS_VREDRAW; }
    std::wstring GetSkinFolder() override { return L""; }
    std::wstring GetSkinFile() override { return skinFile_; }
    void OnFinalMessage(HWND hWnd) override;
    LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    void InitWindow() override;

private:
    MessageBoxWindow(HWND owner, std::wstring skinFile, std::wstring text);
    ~MessageBoxWindow() override = default;

    void insertButton(DuiLib::CControlUI* button);
    void onSelection(DuiLib::CControlUI* sender);
    void enableOwner();

    HWND owner_;
    std::wstring skinFile_;
    std::wstring text_;
    std::function<void()> onClose_;
    ui::UiProbe probe_;
};

}  // namespace msg
