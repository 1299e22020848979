#include "skin/DialogBuilder.h"

#include <cwctype>

#include "skin/ButtonUI.h"
#include "skin/ComboUI.h"
#include "skin/ContainerUI.h"
#include "skin/EditUI.h"
#include "skin/PaintManager.h"
#include "skin/ProgressUI.h"
#include "skin/RichEditUI.h"
#include "skin/SkinImage.h"
#include "skin/SkinPackage.h"

namespace DuiLib {
namespace {

// Deeper trees are cut off: the skin needs a handful of levels.
const int kMaxDepth = 200;

std::wstring lower(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

std::wstring attr(const MarkupNode& node, const wchar_t* name) {
    const std::wstring* v = node.attribute(name, true);
    return v ? *v : std::wstring();
}

bool boolAttr(const MarkupNode& node, const wchar_t* name) {
    return value::toBool(attr(node, name));
}

bool isResourceElement(const std::wstring& name) {
    return equalsNoCase(name, L"Image") || equalsNoCase(name, L"Font") || equalsNoCase(name, L"Default") ||
           equalsNoCase(name, L"MultiLanguage");
}

DWORD maskOf(const std::wstring& text) {
    size_t start = text.compare(0, 1, L"#") == 0 ? 1 : 0;
    return static_cast<DWORD>(wcstoul(text.c_str() + start, nullptr, 16));
}

bool readLayout(const std::wstring& file, const std::wstring& type, std::wstring& text) {
    SkinBytes bytes;
    if (type.empty()) {
        if (!loadSkinResource(file, bytes)) return false;
    } else {
        HMODULE module = resourceInstance() ? resourceInstance() : GetModuleHandleW(nullptr);
        HRSRC info = FindResourceW(module, file.c_str(), type.c_str());
        HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
        const unsigned char* data =
            loaded ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
        if (!data) return false;
        bytes.assign(data, data + SizeofResource(module, info));
    }
    text = markupText(bytes.data(), bytes.size());
    return true;
}

}  // namespace

CControlUI* CDialogBuilder::CreateControl(const std::wstring& elementName) {
    const std::wstring n = lower(elementName);
    if (n == L"control") return new CControlUI;
    if (n == L"verticallayout" || n == L"vbox") return new CVerticalLayoutUI;
    if (n == L"horizontallayout" || n == L"hbox") return new CHorizontalLayoutUI;
    if (n == L"tablayout") return new CTabLayoutUI;
    if (n == L"container") return new CContainerUI;
    if (n == L"label") return new CLabelUI;
    if (n == L"text") return new CTextUI;
    if (n == L"button") return new CButtonUI;
    if (n == L"option" || n == L"checkbox") return new COptionUI;
    if (n == L"edit") return new CEditUI;
    if (n == L"richedit") return new CRichEditUI;
    if (n == L"combo" || n == L"combobox") return new CComboUI;
    if (n == L"progress") return new CProgressUI;
    if (n == L"listlabelelement") return new CListLabelElementUI;
    return nullptr;
}

CControlUI* CDialogBuilder::Create(const std::wstring& file, const std::wstring& type,
                                   IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                                   CControlUI* parent) {
    m_error = MarkupError();
    std::wstring text;
    if (!readLayout(file, type, text)) {
        m_error.message = L"Could not load file";
        m_error.location = file;
        return nullptr;
    }
    return CreateFromText(text, callback, manager, parent);
}

CControlUI* CDialogBuilder::CreateFromText(const std::wstring& xml, IDialogBuilderCallback* callback,
                                           CPaintManagerUI* manager, CControlUI* parent) {
    m_error = MarkupError();
    MarkupNode root;
    if (!parseMarkup(xml, root, m_error)) return nullptr;
    return Build(root, callback, manager, parent);
}

CControlUI* CDialogBuilder::Build(const MarkupNode& root, IDialogBuilderCallback* callback,
                                  CPaintManagerUI* manager, CControlUI* parent) {
    m_callback = callback;
    if (manager && equalsNoCase(root.name, L"Window")) {
        for (const auto& a : root.attributes) manager->SetWindowAttribute(a.first, a.second);
    }
    RegisterResources(root, manager);
    // A layout whose root is a control element builds that element.
    if (CControlUI* probe = CreateControl(root.name)) {
        delete probe;
        MarkupNode wrapper;
        wrapper.children.push_back(root);
        return BuildChildren(wrapper, parent, manager, 0);
    }
    return BuildChildren(root, parent, manager, 0);
}

void CDialogBuilder::RegisterResources(const MarkupNode& root, CPaintManagerUI* manager) {
    if (!manager) return;
    for (const MarkupNode& child : root.children) {
        if (equalsNoCase(child.name, L"Image")) {
            std::wstring mask = attr(child, L"mask");
            manager->AddImage(attr(child, L"name"), attr(child, L"restype"), maskOf(mask), !mask.empty(),
                              boolAttr(child, L"shared"));
        } else if (equalsNoCase(child.name, L"Font")) {
            const std::wstring* id = child.attribute(L"id", true);
            std::wstring face = attr(child, L"name");
            if (!id || value::toInt(*id) < 0 || face.empty()) continue;
            const std::wstring* sizeText = child.attribute(L"size", true);
            int size = sizeText ? value::toInt(*sizeText) : 12;
            bool bold = boolAttr(child, L"bold"), underline = boolAttr(child, L"underline");
            bool italic = boolAttr(child, L"italic"), shared = boolAttr(child, L"shared");
            manager->AddFont(value::toInt(*id), face, size, bold, underline, italic, shared);
            if (boolAttr(child, L"default"))
                manager->SetDefaultFont(face, size, bold, underline, italic, shared);
        } else if (equalsNoCase(child.name, L"Default")) {
            std::wstring name = attr(child, L"name");
            if (!name.empty())
                manager->AddDefaultAttributeList(name, attr(child, L"value"), boolAttr(child, L"shared"));
        }
    }
}

void CDialogBuilder::BuildInclude(const MarkupNode& node, CControlUI* parent, CPaintManagerUI* manager,
                                  int depth, CControlUI*& first) {
    const std::wstring* countText = node.attribute(L"count", true);
    int count = countText ? value::toInt(*countText) : 1;
    std::wstring source = attr(node, L"source");
    for (int i = 0; i < count; ++i) {
        std::wstring text;
        MarkupNode root;
        MarkupError error;
        if (!readLayout(source, L"", text) || !parseMarkup(text, root, error)) return;
        RegisterResources(root, manager);
        MarkupNode wrapper;
        const MarkupNode* controls = &root;
        if (CControlUI* probe = CreateControl(root.name)) {
            delete probe;
            wrapper.children.push_back(root);
            controls = &wrapper;
        }
        CControlUI* built = BuildChildren(*controls, parent, manager, depth + 1);
        if (!first) first = built;
    }
}

CControlUI* CDialogBuilder::BuildChildren(const MarkupNode& node, CControlUI* parent,
                                          CPaintManagerUI* manager, int depth) {
    CControlUI* first = nullptr;
    if (depth > kMaxDepth) return nullptr;
    auto* container = parent ? static_cast<CContainerUI*>(parent->GetInterface(L"Container")) : nullptr;
    for (const MarkupNode& child : node.children) {
        if (isResourceElement(child.name)) continue;
        if (equalsNoCase(child.name, L"Include")) {
            BuildInclude(child, parent, manager, depth, first);
            continue;
        }
        CControlUI* control = CreateControl(child.name);
        if (!control && m_callback) control = m_callback->CreateControl(child.name);
        if (!control) continue;  // unknown element: skipped with its subtree
        if (!child.children.empty()) BuildChildren(child, control, manager, depth + 1);
        if (parent) {
            bool added = false;
            if (container) {
                if (boolAttr(child, L"cover")) {
                    container->SetCover(control);
                    added = true;
                } else {
                    added = container->Add(control);
                }
            }
            if (!added) {
                delete control;
                continue;
            }
        } else if (first) {
            delete control;  // only one root control
            continue;
        }
        if (manager) {
            std::wstring defaults = manager->GetDefaultAttributeList(child.name);
            if (!defaults.empty()) control->ApplyAttributeList(defaults);
        }
        for (const auto& a : child.attributes) control->SetAttribute(a.first, a.second);
        if (!first) first = control;
    }
    return first;
}

}  // namespace DuiLib
