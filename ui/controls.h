// Typed lookup of a window's named controls.
#pragma once

#include "skin/ControlUI.h"
#include "skin/PaintManager.h"

namespace ui {

// The control called name when it answers the interface kind ("Button",
// "Progress", ...), else null.
template <typename T>
T* findAs(DuiLib::CPaintManagerUI& pm, const wchar_t* name, const wchar_t* kind) {
    DuiLib::CControlUI* control = pm.FindControl(name);
    return control ? static_cast<T*>(control->GetInterface(kind)) : nullptr;
}

}  // namespace ui
