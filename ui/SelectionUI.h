// The buttons a message box builds at run time from a button description:
// caption, click callback and whether it is the highlighted choice. The
// box recognises them by the interface name "Selection".
#pragma once

#include <functional>
#include <string>

#include "skin/ButtonUI.h"

namespace msg {

// What a caller passes to add a button: the caption (a string id of the
// language table), what a click does, and the highlighted look.
struct ButtonDesc {
    std::wstring caption;
    std::function<void()> onClick;
    bool highlight = false;
};

class CSelectionUI : public DuiLib::CButtonUI {
public:
    // The caption is shown as given; resolve string ids before.
    explicit CSelectionUI(const ButtonDesc& desc);

    LPVOID GetInterface(const std::wstring& name) override;
    const std::function<void()>& onClick() const { return onClick_; }

protected:
    // Images from `folder` ("common" or "remote").
    CSelectionUI(const ButtonDesc& desc, const std::wstring& folder);

private:
    void applyLook(bool highlight, const std::wstring& folder);

    std::function<void()> onClick_;
};

// The same button drawn with the images of the "remote" folder.
class CSelectionUIRemote : public CSelectionUI {
public:
    explicit CSelectionUIRemote(const ButtonDesc& desc);
};

}  // namespace msg
