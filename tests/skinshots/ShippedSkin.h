// What the installer's windows do to the shipped layouts once they are built
// (fonts, texts, images, buttons), for the screenshot program and the skin
// content checks, so both see the windows as users do.
#pragma once

#include <windows.h>

#include <string>

#include "model/LanguageProfile.h"
#include "skin/ButtonUI.h"
#include "skin/ContainerUI.h"
#include "skin/EditUI.h"
#include "skin/PaintManager.h"
#include "skin/StringTable.h"

namespace shippedskin {

inline const wchar_t kLayoutFace[] = L"微软雅黑";

// The main window's shared fonts 0 to 8 and default in the language's face
// (the exit and error boxes draw with them).
inline void applyMainWindowFonts(DuiLib::CPaintManagerUI& pm, const LanguageProfile& profile) {
    const bool thai = DuiLib::skinLanguage() == L"th_TH";
    const int sizes[] = {12, 14, 16, 18, 20, 22, 24, 28, 32};
    for (int id = 0; id < 9; ++id)
        pm.AddFont(id, profile.fontFace, sizes[id] + (thai ? 0 : 1), false, false, false, true);
    pm.SetDefaultFont(profile.fontFace, thai ? 12 : 13, false, false, false, true);
}

// A message box registers its own shared fonts when it opens.
inline void applyMessageBoxFonts(DuiLib::CPaintManagerUI& pm) {
    pm.SetDefaultFont(kLayoutFace, 12, false, false, false, true);
    const int sizes[] = {12, 14, 16, 18};
    for (int id = 0; id < 4; ++id) pm.AddFont(id, kLayoutFace, sizes[id], false, false, false, true);
}

// A message-box button (msg::CSelectionUI's look), added before the last
// spacer of "bottombar".
inline DuiLib::CButtonUI* addSelectionButton(DuiLib::CPaintManagerUI& pm, const std::wstring& caption,
                                             bool highlight) {
    auto* bar = static_cast<DuiLib::CContainerUI*>(pm.FindControl(L"bottombar"));
    if (!bar) return nullptr;
    auto* button = new DuiLib::CButtonUI;
    button->SetText(caption);
    button->SetFixedHeight(30);
    button->SetTextStyle(DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    button->SetTextPadding(RECT{20, 0, 20, 0});
    button->SetPadding(RECT{10, 0, 10, 0});
    button->SetMinWidth(90);
    button->SetShowCursor(true);
    button->SetShowHtml(true);
    button->SetFont(1);
    const std::wstring file = highlight ? L"common\\btn_bg_default.png" : L"common\\btn_bg.png";
    button->SetNormalImage(L"file='" + file + L"' source='0,0,20,28' corner='6,6,6,6'");
    button->SetHotImage(L"file='" + file + L"' source='20,0,40,28' corner='6,6,6,6'");
    button->SetPushedImage(L"file='" + file + L"' source='40,0,60,28' corner='6,6,6,6'");
    button->SetTextColor(highlight ? 0xFF000000 : 0xFF17171A);
    bar->AddAt(button, bar->GetCount() - 1);
    return button;
}

// The message box's text label as the box's set-text and set-icon steps leave it.
inline void setMessageBoxText(DuiLib::CPaintManagerUI& pm, const std::wstring& text, bool withIcon) {
    auto* label = static_cast<DuiLib::CControlUI*>(pm.FindControl(L"descriptlabel"));
    if (!label) return;
    if (!withIcon) {
        if (auto* icon = pm.FindControl(L"msgiconimage")) icon->SetVisible(false);
        label->SetAttribute(L"width", L"340");
    }
    label->SetAttribute(L"align", L"center");
    label->SetAttribute(L"valign", L"vcenter");
    label->SetAttribute(L"multiline", L"true");
    label->SetText(text);
}

// The exit confirmation's texts and button images.
inline void fillExitBox(DuiLib::CPaintManagerUI& pm) {
    using DuiLib::textFor;
    auto set = [&](const wchar_t* name, const std::wstring& text) {
        if (auto* c = pm.FindControl(name)) c->SetText(text);
    };
    set(L"titlelabel", textFor(L"MSGBox_noice"));
    set(L"descriptlabel", textFor(L"MsgBox_exit"));
    set(L"btnLeft", textFor(L"Yes"));
    set(L"btnRight", textFor(L"No"));
    set(L"btnSure", textFor(L"Yes"));
    const wchar_t* files[] = {L"button_box_cancel.png", L"button_box_hot.png"};
    const wchar_t* names[] = {L"btnLeft", L"btnRight"};
    for (int i = 0; i < 2; ++i) {
        auto* button = static_cast<DuiLib::CButtonUI*>(pm.FindControl(names[i]));
        if (!button) continue;
        const std::wstring file = files[i];
        button->SetNormalImage(L"file='" + file + L"' source='0,0,100,32'");
        button->SetHotImage(L"file='" + file + L"' source='100,0,200,32'");
        button->SetPushedImage(L"file='" + file + L"' source='200,0,300,32'");
    }
}

// The install-folder field's frame for a valid or an invalid folder.
inline void setPathEditImages(DuiLib::CEditUI& edit, bool valid) {
    if (valid) {
        edit.SetNormalImage(L"file='browse_button.png' source='0,0,28,28' corner='4,4,4,4'");
        edit.SetHotImage(L"file='browse_button.png' source='28,0,56,28' corner='4,4,4,4'");
        edit.SetFocusedImage(L"file='browse_button.png' source='56,0,84,28' corner='4,4,4,4'");
    } else {
        const wchar_t* error = L"file='error_edit_bg.png' source='0,0,10,10' corner='4,4,4,4'";
        edit.SetNormalImage(error);
        edit.SetHotImage(error);
        edit.SetFocusedImage(error);
    }
}

// Image strings the windows' code sets, besides those of the layouts.
inline const wchar_t* const kCodeImages[] = {
    L"file='browse_button.png' source='0,0,28,28' corner='4,4,4,4'",
    L"file='browse_button.png' source='28,0,56,28' corner='4,4,4,4'",
    L"file='browse_button.png' source='56,0,84,28' corner='4,4,4,4'",
    L"file='error_edit_bg.png' source='0,0,10,10' corner='4,4,4,4'",
    L"file='button_box_cancel.png' source='0,0,100,32'",
    L"file='button_box_cancel.png' source='100,0,200,32'",
    L"file='button_box_cancel.png' source='200,0,300,32'",
    L"file='button_box_hot.png' source='0,0,100,32'",
    L"file='button_box_hot.png' source='100,0,200,32'",
    L"file='button_box_hot.png' source='200,0,300,32'",
    L"file='common\\btn_bg_default.png' source='0,0,20,28' corner='6,6,6,6'",
    L"file='common\\btn_bg_default.png' source='20,0,40,28' corner='6,6,6,6'",
    L"file='common\\btn_bg_default.png' source='40,0,60,28' corner='6,6,6,6'",
    L"file='common\\btn_bg.png' source='0,0,20,28' corner='6,6,6,6'",
    L"file='common\\btn_bg.png' source='20,0,40,28' corner='6,6,6,6'",
    L"file='common\\btn_bg.png' source='40,0,60,28' corner='6,6,6,6'",
    L"common/msg_noice48.png",
    L"common/msg_ok48.png",
};

}  // namespace shippedskin
