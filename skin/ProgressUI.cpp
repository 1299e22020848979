#include "skin/ProgressUI.h"

#include <algorithm>

namespace DuiLib {

LPVOID CProgressUI::GetInterface(const std::wstring& name) {
    return name == L"Progress" ? this : CLabelUI::GetInterface(name);
}

void CProgressUI::SetHorizontal(bool horizontal) {
    m_bHorizontal = horizontal;
    Invalidate();
}

void CProgressUI::SetMinValue(int value) {
    m_nMin = value;
    SetValue(m_nValue);
}

void CProgressUI::SetMaxValue(int value) {
    m_nMax = value;
    SetValue(m_nValue);
}

void CProgressUI::SetValue(int value) {
    int low = std::min(m_nMin, m_nMax), high = std::max(m_nMin, m_nMax);
    value = std::max(low, std::min(value, high));
    if (value == m_nValue) return;
    m_nValue = value;
    Invalidate();
}

void CProgressUI::SetForeImage(const std::wstring& image) {
    m_diFore.Set(image);
    Invalidate();
}

RECT CProgressUI::FilledRect() const {
    RECT rc = m_rcItem;
    if (m_nMax <= m_nMin) return RECT{rc.left, rc.top, rc.left, rc.top};
    long long span = m_nMax - m_nMin, done = m_nValue - m_nMin;
    if (m_bHorizontal) {
        rc.right = rc.left + static_cast<LONG>((rc.right - rc.left) * done / span);
    } else {
        rc.top = rc.bottom - static_cast<LONG>((rc.bottom - rc.top) * done / span);
    }
    return rc;
}

void CProgressUI::SetAttribute(const std::wstring& name, const std::wstring& v) {
    if (name == L"hor") {
        SetHorizontal(value::toBool(v));
    } else if (name == L"min") {
        SetMinValue(value::toInt(v));
    } else if (name == L"max") {
        SetMaxValue(value::toInt(v));
    } else if (name == L"value") {
        SetValue(value::toInt(v));
    } else if (name == L"foreimage") {
        SetForeImage(v);
    } else if (name == L"forecolor") {
        m_dwForeColor = value::toColor(v);
    } else {
        CLabelUI::SetAttribute(name, v);
    }
}

void CProgressUI::PaintStatusImage(HDC hDC) {
    RECT filled = FilledRect(), clip;
    if (!IntersectRect(&clip, &filled, &m_rcPaint)) return;
    if (m_dwForeColor) render::fillColor(hDC, filled, clip, m_dwForeColor);
    // The fore image spans the whole bar; only its filled part shows.
    RECT saved = m_rcPaint;
    m_rcPaint = clip;
    DrawImage(hDC, m_diFore);
    m_rcPaint = saved;
}

}  // namespace DuiLib
