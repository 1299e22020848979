// Builds a control tree from a layout: registers the window's fonts, images
// and default lists, applies the window attributes, and creates the controls
// with their attributes in document order. Parse errors keep their message
// and location for the caller.
#pragma once

#include <string>

#include "skin/Markup.h"
#include "skin/UIDefs.h"

namespace DuiLib {

class CContainerUI;

class CDialogBuilder {
public:
    // Reads layout `file` from the skin package (`type` non-empty: an
    // executable resource of that type) and builds it. Null when the file is
    // missing, cannot be parsed or has no control.
    CControlUI* Create(const std::wstring& file, const std::wstring& type = L"",
                       IDialogBuilderCallback* callback = nullptr, CPaintManagerUI* manager = nullptr,
                       CControlUI* parent = nullptr);
    // The same from layout text.
    CControlUI* CreateFromText(const std::wstring& xml, IDialogBuilderCallback* callback = nullptr,
                               CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);

    // Why the last Create failed: the reader's message and location.
    const std::wstring& GetLastErrorMessage() const { return m_error.message; }
    const std::wstring& GetLastErrorLocation() const { return m_error.location; }

    // A control for a layout element name (compared without case); null
    // when the engine does not know it.
    static CControlUI* CreateControl(const std::wstring& elementName);

private:
    CControlUI* Build(const MarkupNode& root, IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                      CControlUI* parent);
    void RegisterResources(const MarkupNode& root, CPaintManagerUI* manager);
    CControlUI* BuildChildren(const MarkupNode& node, CControlUI* parent, CPaintManagerUI* manager,
                              int depth);
    void BuildInclude(const MarkupNode& node, CControlUI* parent, CPaintManagerUI* manager, int depth,
                      CControlUI*& first);

    IDialogBuilderCallback* m_callback = nullptr;
    MarkupError m_error;
};

}  // namespace DuiLib
