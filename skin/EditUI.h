// Single-line text input. Drawn by the engine; while it has the focus a
// native edit window sits over its text area and takes the typing.
#pragma once

#include "skin/LabelUI.h"

namespace DuiLib {

class CEditUI : public CLabelUI {
public:
    CEditUI();
    ~CEditUI() override;

    std::wstring GetClass() const override { return L"EditUI"; }
    LPVOID GetInterface(const std::wstring& name) override;
    UINT GetControlFlags() const override;

    void SetText(const std::wstring& text) override;
    void SetEnabled(bool enabled = true) override;
    void SetNormalImage(const std::wstring& image);
    void SetHotImage(const std::wstring& image);
    void SetFocusedImage(const std::wstring& image);
    void SetDisabledImage(const std::wstring& image);
    void SetReadOnly(bool readOnly) { m_bReadOnly = readOnly; }
    bool IsReadOnly() const { return m_bReadOnly; }
    void SetPasswordMode(bool password) { m_bPassword = password; }
    void SetMaxChar(int count) { m_nMaxChar = count; }
    HWND GetNativeWindow() const { return m_hwndNative; }

    void DoEvent(TEventUI& event) override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStatusImage(HDC hDC) override;
    void PaintText(HDC hDC) override;
    void PaintBorder(HDC hDC) override;

private:
    static LRESULT CALLBACK NativeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    RECT TextRect() const;
    void BeginEdit();
    // Takes the native window's text and removes it.
    void EndEdit();

    HWND m_hwndNative = nullptr;
    WNDPROC m_oldProc = nullptr;
    UINT m_uState = 0;
    bool m_bReadOnly = false;
    bool m_bPassword = false;
    bool m_bNumberOnly = false;
    bool m_bAutoSelAll = false;
    int m_nMaxChar = 255;
    DWORD m_dwNativeBkColor = 0xFFFFFFFF;
    DWORD m_dwHotBorderColor = 0;
    TDrawInfo m_diNormal, m_diHot, m_diFocused, m_diDisabled;
    TDrawInfo m_diNormalEnlarge, m_diHotEnlarge, m_diFocusedEnlarge, m_diDisabledEnlarge;
};

}  // namespace DuiLib
