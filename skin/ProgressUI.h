// A horizontal or vertical bar: the background is the control's bkimage,
// the filled part shows "foreimage" (or "forecolor") up to the value.
#pragma once

#include "skin/LabelUI.h"

namespace DuiLib {

class CProgressUI : public CLabelUI {
public:
    std::wstring GetClass() const override { return L"ProgressUI"; }
    LPVOID GetInterface(const std::wstring& name) override;

    bool IsHorizontal() const { return m_bHorizontal; }
    void SetHorizontal(bool horizontal = true);
    int GetMinValue() const { return m_nMin; }
    void SetMinValue(int value);
    int GetMaxValue() const { return m_nMax; }
    void SetMaxValue(int value);
    int GetValue() const { return m_nValue; }
    void SetValue(int value);  // clamped to min..max
    void SetForeImage(const std::wstring& image);
    // The filled part of the control's rectangle.
    RECT FilledRect() const;

    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStatusImage(HDC hDC) override;

private:
    bool m_bHorizontal = true;
    int m_nMin = 0;
    int m_nMax = 100;
    int m_nValue = 0;
    DWORD m_dwForeColor = 0;
    TDrawInfo m_diFore;
};

}  // namespace DuiLib
