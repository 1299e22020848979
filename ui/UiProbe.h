// Lets a test program on the same desktop read a skin window's controls,
// which are drawn, not system windows. Only test builds answer; in a
// release build attach() does nothing.
//
// A peer sends the window WM_COPYDATA with dwData = kProbeTag and the
// UTF-16 text "CONTROL\tANSWER_FILE". The window writes one UTF-8 line to
// ANSWER_FILE and answers TRUE:
//   visible enabled left top right bottom value text
// with the rectangle in screen coordinates (empty until the control was
// first laid out), value the progress value, the option's selected state,
// the combo's selection or -1, and the text as the control shows it. CONTROL "#N"
// names the Nth button that answers "Selection" (from 1); "*" the window's
// own text. A missing control answers FALSE and writes nothing.
#pragma once

#include <windows.h>

#include "skin/PaintManager.h"

namespace ui {

const ULONG_PTR kProbeTag = 0x4F525650;  // "ORVP"

class UiProbe : public DuiLib::IMessageFilterUI {
public:
    UiProbe() = default;
    ~UiProbe();
    UiProbe(const UiProbe&) = delete;
    UiProbe& operator=(const UiProbe&) = delete;

    // Starts answering for the window of pm (after its tree is built).
    void attach(DuiLib::CPaintManagerUI& pm);

    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

private:
    DuiLib::CPaintManagerUI* pm_ = nullptr;
};

}  // namespace ui
