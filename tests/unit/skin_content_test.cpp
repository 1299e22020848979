// The shipped skin as OrvaneInstaller.exe carries it: the archives, icon,
// manifest and version resource; the string table and the StringBundle files
// in every language; every layout building with the engine; every image a
// layout or the windows' code names; and every text fitting its control.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/textconv.h"
#include "model/language.h"
#include "skin/ArchiveExtract.h"
#include "skin/ButtonUI.h"
#include "skin/ContainerUI.h"
#include "skin/DialogBuilder.h"
#include "skin/EditUI.h"
#include "skin/ImageString.h"
#include "skin/LabelUI.h"
#include "skin/Markup.h"
#include "skin/PaintManager.h"
#include "skin/SkinImage.h"
#include "skin/SkinPackage.h"
#include "skin/StringTable.h"
#include "skin/TextMarkup.h"
#include "skinshots/ShippedSkin.h"
#include "skin_testdata.h"

using namespace DuiLib;

namespace {

const std::vector<std::wstring> kLocales = {
    L"zh_CN", L"zh_TW", L"en_US", L"ko_KR", L"vi_VN", L"th_TH", L"in_ID", L"ja_JP", L"ru_RU", L"pt_PT",
    L"es_ES", L"ar_IL", L"tr_TR", L"fr_FR", L"de_DE", L"it_IT", L"fa_IR", L"ms_MY", L"uk_UA"};

const std::vector<std::wstring> kKeys = {L"Title_wndTitle",
                                         L"Label_installing_waiting",
                                         L"Label_getversion_info",
                                         L"Label_downloading",
                                         L"Button_install_now",
                                         L"Button_install_fast",
                                         L"Button_start_player",
                                         L"MsgBox_error",
                                         L"protocol_accept_orvanex",
                                         L"Title_wndTitle_orvanex",
                                         L"MsgBox_exit_orvanex",
                                         L"customer_connect",
                                         L"install_error_tip2",
                                         L"customerLink",
                                         L"MsgBox_xp",
                                         L"MsgBox_32",
                                         L"jump_download",
                                         L"do_exit",
                                         L"change_path_tip",
                                         L"path_noice",
                                         L"path_more",
                                         L"path_ssd",
                                         L"path_ok",
                                         L"path_not",
                                         L"MsgBox_accept_protocol",
                                         L"MsgBox_error_path",
                                         L"MsgBox_disk_notEnough",
                                         L"Label_choice_path",
                                         L"MSGBox_noice",
                                         L"MsgBox_exit",
                                         L"sure",
                                         L"cancel",
                                         L"browser",
                                         L"Label_path_error",
                                         L"Button_install_define",
                                         L"Button_install_back",
                                         L"protocol_accept",
                                         L"protocol_accept_btn",
                                         L"progress_downloading_label",
                                         L"progress_downloading_label2",
                                         L"progress_download_label",
                                         L"progress_install_label",
                                         L"progress_finish_label",
                                         L"Label_installingapp_waiting",
                                         L"homepage",
                                         L"error",
                                         L"download_error_content",
                                         L"go_homePage",
                                         L"installing_exit_tip",
                                         L"Reject",
                                         L"Accept",
                                         L"Yes",
                                         L"No",
                                         L"accept_protocol",
                                         L"titlename",
                                         L"installSucess",
                                         L"googleDriver_downloadingPage",
                                         L"googleDriver_downloadLow",
                                         L"googleDriver_downloadError",
                                         L"install_error_tip",
                                         L"download_error_tip",
                                         L"reDownload",
                                         L"download_error_tip2",
                                         L"downloadBybrowser",
                                         L"download_slowtip",
                                         L"download_close",
                                         L"facebook_tip",
                                         L"minimize_tip"};

// Ids the windows' code looks up (window caption, boxes, progress texts,
// language switch), besides the "@" texts of the layouts.
const std::vector<std::wstring> kCodeIds = {L"Title_wndTitle",
                                            L"titlename",
                                            L"protocol_accept_btn",
                                            L"protocol_accept",
                                            L"Button_install_now",
                                            L"Button_install_fast",
                                            L"Button_start_player",
                                            L"Button_install_define",
                                            L"Button_install_back",
                                            L"browser",
                                            L"sure",
                                            L"cancel",
                                            L"Yes",
                                            L"No",
                                            L"MsgBox_error",
                                            L"MSGBox_noice",
                                            L"MsgBox_exit",
                                            L"MsgBox_accept_protocol",
                                            L"MsgBox_error_path",
                                            L"MsgBox_disk_notEnough",
                                            L"MsgBox_xp",
                                            L"MsgBox_32",
                                            L"jump_download",
                                            L"do_exit",
                                            L"download_slowtip",
                                            L"downloadBybrowser",
                                            L"download_close",
                                            L"customerLink",
                                            L"Label_choice_path",
                                            L"change_path_tip",
                                            L"path_noice",
                                            L"path_ssd",
                                            L"path_more",
                                            L"path_ok",
                                            L"path_not",
                                            L"Label_path_error",
                                            L"progress_install_label",
                                            L"progress_finish_label",
                                            L"progress_downloading_label",
                                            L"progress_downloading_label2",
                                            L"Label_getversion_info",
                                            L"Label_downloading",
                                            L"Label_installing_waiting",
                                            L"Label_installingapp_waiting"};

// Ids that are deliberately not in the table: their texts show as written.
const std::set<std::wstring> kAbsentIds = {L"close_tip", L"confirm"};

// Images a layout names that the package leaves out (they draw nothing).
const std::set<std::wstring> kAbsentImages = {L"error_icon_small.png", L"bg_white.png",
                                              L"msg/msg_close_btn.png"};

// The sixteen StringBundle files.
const std::vector<std::wstring> kBundles = {L"ar", L"cn", L"de", L"en", L"es", L"fa", L"fr", L"id",
                                            L"jp", L"kr", L"pt", L"ru", L"th", L"tr", L"tw", L"vn"};

// Window layouts, then the files they include.
const std::vector<std::wstring> kLayouts = {L"mainframe.xml",
                                            L"downloaderbox.xml",
                                            L"downloaderrorbox.xml",
                                            L"common/xml_messagebox.xml",
                                            L"common/xml_messagebox_noicon.xml",
                                            L"common/xml_messagebox2.xml",
                                            L"common/xml_traynotice.xml"};
const std::vector<std::wstring> kIncluded = {L"scrollbar.xml"};

std::string narrow(const std::wstring& text) {
    return common::wideToAnsi(text);
}

std::wstring resourcesDir() {
    return skintest::hostPath(ORVANE_RESOURCES_DIR);
}

// Every file under `folder`, by its "/"-separated name below it.
void listFiles(const std::wstring& folder, const std::wstring& prefix,
               std::map<std::wstring, std::string>& out) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            listFiles(folder + L"\\" + name, prefix + name + L"/", out);
        else
            out[prefix + name] = testsupport::readFile(folder + L"\\" + name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

// What the installer carries, read once from its resources.
struct Shipped {
    HMODULE module = nullptr;
    std::map<std::wstring, std::string> skin, fonts;
    int skinResult = -1, fontsResult = -1;
};

const Shipped& shipped() {
    static std::unique_ptr<Shipped> s;
    if (s) return *s;
    s = std::make_unique<Shipped>();
    s->module =
        LoadLibraryExW(skintest::hostPath(ORVANE_INSTALLER_EXE).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    auto unpack = [&](int id, std::map<std::wstring, std::string>& into) {
        const void* bytes = nullptr;
        size_t size = 0;
        if (!s->module || !findZipResource(s->module, id, &bytes, &size)) return -1;
        return extractArchiveToMemory(bytes, size,
                                      [&](const std::wstring& name, const unsigned char* b, size_t n) {
                                          into[name] = std::string(reinterpret_cast<const char*>(b), n);
                                      });
    };
    s->skinResult = unpack(129, s->skin);
    s->fontsResult = unpack(130, s->fonts);
    return *s;
}

// The engine reads the shipped skin from its store, as in the installer.
void useShippedSkin() {
    static bool loaded = false;
    if (loaded) return;
    setResourceFolder(L"");
    clearSkinStore();
    for (const auto& [name, bytes] : shipped().skin)
        storeSkinFile(name, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    loaded = true;
}

const std::string& tableBytes() {
    return shipped().skin.at(L"multi_language.tsv");
}

// Loads the string table for one language, as the installer does at start.
void useLanguage(const std::wstring& locale) {
    clearStringTable();
    setSkinLanguage(locale);
    loadStringTable(tableBytes().data(), tableBytes().size());
}

// Rows of the table as the engine reads them.
std::vector<std::vector<std::wstring>> tableRows() {
    std::vector<std::vector<std::wstring>> rows;
    size_t pos = 0;
    std::vector<std::wstring> cells;
    while (readTableRow(tableBytes().data(), tableBytes().size(), pos, cells)) rows.push_back(cells);
    return rows;
}

int countOf(const std::wstring& text, const std::wstring& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

// The markup tags of a text, in order ("<u #666666>", "</u>").
std::vector<std::wstring> tagsOf(const std::wstring& text) {
    std::vector<std::wstring> tags;
    for (size_t at = text.find(L'<'); at != std::wstring::npos; at = text.find(L'<', at + 1)) {
        size_t end = text.find(L'>', at);
        if (end == std::wstring::npos) break;
        tags.push_back(text.substr(at, end - at + 1));
    }
    return tags;
}

MarkupNode parseLayout(const std::wstring& file) {
    SkinBytes bytes;
    EXPECT_TRUE(loadSkinResource(file, bytes)) << narrow(file);
    MarkupNode root;
    MarkupError error;
    EXPECT_TRUE(parseMarkup(markupText(bytes.data(), bytes.size()), root, error))
        << narrow(file) << ": " << narrow(error.message) << " at " << narrow(error.location);
    return root;
}

void walk(const MarkupNode& node, const std::function<void(const MarkupNode&)>& visit) {
    visit(node);
    for (const MarkupNode& child : node.children) walk(child, visit);
}

// name="value" pairs of an attribute list (a Default element's value).
std::vector<std::pair<std::wstring, std::wstring>> attributeList(const std::wstring& list) {
    std::vector<std::pair<std::wstring, std::wstring>> out;
    size_t pos = 0;
    while (true) {
        size_t eq = list.find(L'=', pos);
        if (eq == std::wstring::npos) break;
        size_t open = list.find_first_of(L"\"'", eq),
               close = open == std::wstring::npos ? open : list.find(list[open], open + 1);
        if (close == std::wstring::npos) break;
        std::wstring name = list.substr(pos, eq - pos);
        name.erase(0, name.find_first_not_of(L" \t\r\n"));
        name.erase(name.find_last_not_of(L" \t\r\n") + 1);
        out.emplace_back(name, list.substr(open + 1, close - open - 1));
        pos = close + 1;
    }
    return out;
}

bool isImageAttribute(const std::wstring& name) {
    std::wstring lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(), ::towlower);
    return lower.find(L"image") != std::wstring::npos;
}

// Every image string of a layout: image attributes, Default lists and Image elements.
std::vector<std::wstring> imageStrings(const MarkupNode& root) {
    std::vector<std::wstring> out;
    walk(root, [&](const MarkupNode& node) {
        if (equalsNoCase(node.name, L"Image")) {
            if (const std::wstring* name = node.attribute(L"name", true)) out.push_back(*name);
            return;
        }
        for (const auto& [name, value] : node.attributes) {
            if (equalsNoCase(node.name, L"Default") && equalsNoCase(name, L"value")) {
                for (const auto& [inner, innerValue] : attributeList(value))
                    if (isImageAttribute(inner)) out.push_back(innerValue);
            } else if (isImageAttribute(name) && !value.empty()) {
                out.push_back(value);
            }
        }
    });
    return out;
}

std::wstring normalised(std::wstring file) {
    std::replace(file.begin(), file.end(), L'\\', L'/');
    return file;
}

// --- resources of the executable -------------------------------------------------------

TEST(ShippedResources, ArchivesHoldTheStagedSkinAndTheProfileFonts) {
    ASSERT_NE(nullptr, shipped().module);
    ASSERT_EQ(0, shipped().skinResult);
    ASSERT_EQ(0, shipped().fontsResult);

    std::map<std::wstring, std::string> staged;
    listFiles(resourcesDir() + L"\\skin", L"", staged);
    ASSERT_FALSE(staged.empty());
    std::vector<std::wstring> stagedNames, packedNames;
    for (const auto& entry : staged) stagedNames.push_back(entry.first);
    for (const auto& entry : shipped().skin) packedNames.push_back(entry.first);
    EXPECT_EQ(stagedNames, packedNames);
    for (const auto& [name, bytes] : staged) {
        auto it = shipped().skin.find(name);
        if (it != shipped().skin.end()) {
            EXPECT_TRUE(it->second == bytes) << narrow(name);
        }
    }

    const std::vector<std::wstring> fonts = {L"NanumGothic.otf", L"NotoSans-Regular.otf",
                                             L"Roboto-Regular.otf"};
    std::vector<std::wstring> packedFonts;
    for (const auto& entry : shipped().fonts) packedFonts.push_back(entry.first);
    EXPECT_EQ(fonts, packedFonts);
    for (const auto& [name, bytes] : shipped().fonts) EXPECT_EQ("OTTO", bytes.substr(0, 4)) << narrow(name);
}

TEST(ShippedResources, IconHasThreeSizesAndTheManifestAsksForAdminAndCommonControls6) {
    HMODULE module = shipped().module;
    ASSERT_NE(nullptr, module);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(107), RT_GROUP_ICON);
    ASSERT_NE(nullptr, group);
    const BYTE* dir = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    ASSERT_NE(nullptr, dir);
    std::set<int> sizes;
    const int count = dir[4] | (dir[5] << 8);
    for (int i = 0; i < count; ++i) {
        const BYTE* entry = dir + 6 + 14 * i;
        EXPECT_EQ(entry[0], entry[1]);
        sizes.insert(entry[0]);
    }
    EXPECT_EQ((std::set<int>{16, 32, 48}), sizes);

    HRSRC manifestRes = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(nullptr, manifestRes);
    const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(module, manifestRes)));
    MarkupNode manifest;
    MarkupError error;
    ASSERT_TRUE(parseMarkup(markupText(bytes, SizeofResource(module, manifestRes)), manifest, error))
        << narrow(error.message);
    std::wstring level, controlsVersion;
    walk(manifest, [&](const MarkupNode& node) {
        if (node.name == L"requestedExecutionLevel") level = *node.attribute(L"level");
        const std::wstring* name = node.attribute(L"name");
        if (node.name == L"assemblyIdentity" && name && *name == L"Microsoft.Windows.Common-Controls")
            controlsVersion = *node.attribute(L"version");
    });
    EXPECT_EQ(L"requireAdministrator", level);
    EXPECT_EQ(L"6.0.0.0", controlsVersion);
}

TEST(ShippedResources, VersionResourceNamesTheProduct) {
    const std::wstring exe = skintest::hostPath(ORVANE_INSTALLER_EXE);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, info.data()));
    auto value = [&](const wchar_t* name) {
        wchar_t* text = nullptr;
        UINT length = 0;
        std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        return VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) && text
                   ? std::wstring(text)
                   : std::wstring();
    };
    EXPECT_EQ(L"Orvane Installer", value(L"ProductName"));
    EXPECT_EQ(L"OrvaneInstaller.exe", value(L"OriginalFilename"));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(VS_FFI_SIGNATURE, fixed->dwSignature);
    EXPECT_EQ(std::wstring(L"1.0.0.0"), value(L"ProductVersion"));
}

// --- texts ----------------------------------------------------------------------------------

TEST(ShippedStrings, TableHasTheNineteenColumnsAndEveryKeyOnce) {
    auto rows = tableRows();
    ASSERT_GE(rows.size(), 2u);
    std::vector<std::wstring> header(rows[0].begin() + 2, rows[0].end());
    EXPECT_EQ(L"Code", rows[0][0]);
    EXPECT_EQ(L"language_code", rows[0][1]);
    EXPECT_EQ(kLocales, header);
    EXPECT_EQ(L"language_name", rows[1][1]);
    EXPECT_EQ(kLocales.size() + 2, rows[1].size());
    std::vector<std::wstring> keys;
    for (size_t i = 2; i < rows.size(); ++i) {
        EXPECT_EQ(L"Label", rows[i][0]);
        EXPECT_EQ(kLocales.size() + 2, rows[i].size()) << narrow(rows[i][1]);
        keys.push_back(rows[i][1]);
    }
    EXPECT_EQ(kKeys, keys);
}

// Words that are spelled the same as in English in that language.
bool sameWordAsEnglish(const std::wstring& key, const std::wstring& locale) {
    static const std::set<std::pair<std::wstring, std::wstring>> allowed = {
        {L"sure", L"in_ID"},  {L"sure", L"ja_JP"}, {L"sure", L"pt_PT"}, {L"sure", L"fr_FR"},
        {L"sure", L"de_DE"},  {L"sure", L"it_IT"}, {L"sure", L"ms_MY"}, {L"MsgBox_error", L"es_ES"},
        {L"error", L"es_ES"}, {L"No", L"es_ES"},   {L"No", L"it_IT"}};
    return allowed.count({key, locale}) > 0;
}

TEST(ShippedStrings, EveryLanguageTranslatesEveryKeyWithTheSameFormatAndMarkup) {
    useLanguage(L"en_US");
    std::map<std::wstring, std::wstring> english;
    for (const auto& key : kKeys) english[key] = findText(key).value_or(L"");
    for (const auto& locale : kLocales) {
        useLanguage(locale);
        for (const auto& key : kKeys) {
            SCOPED_TRACE(narrow(locale + L" " + key));
            std::optional<std::wstring> text = findText(key);
            ASSERT_TRUE(text.has_value());
            // An over-long cell is read as empty.
            EXPECT_FALSE(text->empty());
            EXPECT_EQ(countOf(english[key], L"%s"), countOf(*text, L"%s"));
            EXPECT_EQ(countOf(english[key], L"%"), countOf(*text, L"%"));
            EXPECT_EQ(tagsOf(english[key]), tagsOf(*text));
            if (locale != L"en_US" && key != L"customerLink" && !sameWordAsEnglish(key, locale)) {
                EXPECT_NE(english[key], *text) << "left in English";
            }
        }
    }
}

TEST(ShippedStrings, EveryIdTheLayoutsAndTheCodeUseIsInEveryLanguage) {
    useShippedSkin();
    std::set<std::wstring> ids(kCodeIds.begin(), kCodeIds.end());
    for (const auto& file : kLayouts) {
        walk(parseLayout(file), [&](const MarkupNode& node) {
            for (const auto& [name, value] : node.attributes)
                if ((name == L"text" || name == L"tooltip") && value.size() > 1 && value[0] == L'@')
                    ids.insert(value.substr(1));
        });
    }
    EXPECT_GT(ids.size(), kCodeIds.size());  // the layouts add their own
    for (const auto& locale : kLocales) {
        useLanguage(locale);
        for (const auto& id : ids) {
            if (kAbsentIds.count(id))
                EXPECT_FALSE(findText(id).has_value()) << narrow(id) << " shows as written";
            else
                EXPECT_TRUE(findText(id).has_value()) << narrow(locale + L" " + id);
        }
    }
}

TEST(ShippedStrings, BundlesCarryTheTableTextsOfTheirLanguage) {
    useShippedSkin();
    for (const auto& code : kBundles) {
        SCOPED_TRACE(narrow(code));
        const std::wstring file = L"language\\downloader_" + code + L".xml";
        SkinBytes bytes;
        ASSERT_TRUE(loadSkinResource(file, bytes));
        const std::wstring xml = markupText(bytes.data(), bytes.size());
        MarkupNode root;
        MarkupError error;
        ASSERT_TRUE(parseMarkup(xml, root, error)) << narrow(error.message);
        EXPECT_EQ(L"StringBundle", root.name);
        ASSERT_NE(nullptr, root.attribute(L"ver"));
        EXPECT_EQ(L"100", *root.attribute(L"ver"));

        std::map<std::wstring, std::wstring> strings;
        ASSERT_TRUE(language::loadStringBundle(xml, strings));
        std::set<std::wstring> keys;
        for (const auto& entry : strings) keys.insert(entry.first);
        EXPECT_EQ(std::set<std::wstring>(kKeys.begin(), kKeys.end()), keys);
        useLanguage(language::codeForShort(code));
        for (const auto& key : kKeys) EXPECT_EQ(findText(key).value_or(L"?"), strings[key]) << narrow(key);
        // Inline markup travels escaped.
        EXPECT_NE(std::wstring::npos, xml.find(L"&lt;u #666666&gt;"));
    }
}

// --- layouts and images ------------------------------------------------------------------------

struct WindowFacts {
    const wchar_t* file;
    SIZE size;
    RECT caption;
    SIZE minimum;
    bool layered;
};

TEST(ShippedLayouts, EveryLayoutBuildsWithItsWindowAttributes) {
    useShippedSkin();
    const WindowFacts windows[] = {
        {L"mainframe.xml", {640, 400}, {0, 0, 220, 180}, {600, 400}, false},
        {L"downloaderbox.xml", {436, 236}, {0, 0, 0, 236}, {300, 200}, true},
        {L"downloaderrorbox.xml", {456, 296}, {0, 0, 0, 296}, {300, 200}, true},
        {L"common/xml_messagebox.xml", {436, 266}, {0, 0, 0, 266}, {300, 200}, true},
        {L"common/xml_messagebox_noicon.xml", {436, 266}, {0, 0, 0, 266}, {300, 200}, true},
        {L"common/xml_messagebox2.xml", {436, 336}, {0, 0, 0, 336}, {300, 200}, true},
        {L"common/xml_traynotice.xml", {312, 182}, {0, 0, 0, 36}, {312, 182}, false},
    };
    for (const auto& w : windows) {
        SCOPED_TRACE(narrow(w.file));
        CPaintManagerUI pm;
        CDialogBuilder builder;
        CControlUI* root = builder.Create(w.file, L"", nullptr, &pm);
        ASSERT_NE(nullptr, root) << narrow(builder.GetLastErrorMessage()) << " "
                                 << narrow(builder.GetLastErrorLocation());
        pm.AttachDialog(root);
        EXPECT_EQ(w.size.cx, pm.GetInitSize().cx);
        EXPECT_EQ(w.size.cy, pm.GetInitSize().cy);
        RECT caption = pm.GetCaptionRect();
        EXPECT_TRUE(EqualRect(&w.caption, &caption));
        EXPECT_EQ(w.minimum.cx, pm.GetMinInfo().cx);
        EXPECT_EQ(w.minimum.cy, pm.GetMinInfo().cy);
        EXPECT_EQ(w.layered, pm.IsLayered());
    }
}

// A named control: its kind, size (0 = not fixed), floating place, and
// whether it shows when the window opens (hidden itself, in a hidden
// container or on a page other than the first: not shown).
struct ControlFacts {
    const wchar_t* name;
    const wchar_t* kind;
    int width, height;
    int x, y;  // floating position; -1 when the control flows
    bool shown;
};

void checkControls(const wchar_t* file, const std::vector<ControlFacts>& facts, const RECT& client) {
    SCOPED_TRACE(narrow(file));
    CPaintManagerUI pm;
    CDialogBuilder builder;
    CControlUI* root = builder.Create(file, L"", nullptr, &pm);
    ASSERT_NE(nullptr, root);
    pm.AttachDialog(root);
    root->SetPos(client);
    for (const auto& f : facts) {
        SCOPED_TRACE(narrow(f.name));
        CControlUI* c = pm.FindControl(f.name);
        ASSERT_NE(nullptr, c);
        EXPECT_NE(nullptr, c->GetInterface(f.kind));
        if (f.width) {
            EXPECT_EQ(f.width, c->GetFixedWidth());
        }
        if (f.height) {
            EXPECT_EQ(f.height, c->GetFixedHeight());
        }
        EXPECT_EQ(f.x >= 0, c->IsFloat());
        if (f.x >= 0) {
            EXPECT_EQ(f.x, c->GetFixedXY().cx);
            EXPECT_EQ(f.y, c->GetFixedXY().cy);
        }
        EXPECT_EQ(f.shown, c->IsVisible());
    }
}

TEST(ShippedLayouts, MainWindowControlsHaveTheirRolesSizesAndStates) {
    useShippedSkin();
    checkControls(L"mainframe.xml",
                  {{L"rootContainer", L"VerticalLayout", 0, 0, -1, 0, true},
                   {L"bgImageControl", L"Control", 640, 400, 0, 0, true},
                   {L"logoControl9", L"VerticalLayout", 340, 64, 150, 112, false},
                   {L"logoControl", L"VerticalLayout", 300, 64, 170, 112, true},
                   {L"titlebar", L"HorizontalLayout", 0, 40, -1, 0, true},
                   {L"titlename", L"Label", 0, 0, -1, 0, true},
                   {L"languageCombo", L"Combo", 130, 34, -1, 0, false},
                   {L"joinfacebookBtn", L"Button", 36, 34, -1, 0, true},
                   {L"minbtn", L"Button", 36, 34, -1, 0, true},
                   {L"closebtn", L"Button", 36, 34, -1, 0, true},
                   {L"maintab", L"TabLayout", 0, 0, -1, 0, true},
                   {L"userdefinitionsui", L"VerticalLayout", 0, 0, 16, 132, false},
                   {L"installpathui", L"HorizontalLayout", 0, 0, -1, 0, false},
                   {L"pathedit", L"Edit", 500, 28, 0, 4, false},
                   {L"browsebtn", L"Button", 100, 28, 508, 4, false},
                   {L"errorpathnoticeui", L"HorizontalLayout", 0, 0, -1, 0, false},
                   {L"pathErrorLabel", L"Label", 0, 0, -1, 0, false},
                   {L"protocoleLayout", L"HorizontalLayout", 620, 34, 0, 200, true},
                   {L"acceptprotocolopt", L"Option", 18, 18, -1, 0, true},
                   {L"LicenseAgreementText", L"Label", 0, 0, -1, 0, true},
                   {L"protocollinkbtn", L"Button", 0, 0, -1, 0, true},
                   {L"userdefinitionLayout", L"HorizontalLayout", 0, 0, -1, 0, true},
                   {L"userdefinitionBtn", L"Button", 0, 0, -1, 0, true},
                   {L"direction_right", L"Control", 0, 0, -1, 0, true},
                   {L"backLayout", L"HorizontalLayout", 0, 0, -1, 0, false},
                   {L"direction_left", L"Control", 0, 0, -1, 0, false},
                   {L"backBtn", L"Button", 0, 0, -1, 0, false},
                   {L"installnowbtn", L"Button", 160, 44, 240, 80, true},
                   {L"protocoledit", L"RichEdit", 626, 302, 7, 4, false},
                   {L"confirmprotocolbtn", L"Button", 140, 32, 250, 318, false},
                   {L"loadingprogresslabel", L"Label", 0, 0, 0, 118, false},
                   {L"installprogressbar", L"Progress", 580, 10, 0, 150, false},
                   {L"progress_install_label", L"Label", 0, 0, 318, 165, false},
                   {L"progress_finish_label", L"Label", 0, 0, 4529, 228, false},
                   {L"downloadProgressLabel", L"Label", 200, 20, 378, 166, false},
                   {L"homepageBtn", L"Button", 0, 0, -1, 0, false},
                   {L"tipInstallLabel", L"Label", 0, 0, 0, 268, false},
                   {L"apkinstallprogresslabel", L"Label", 500, 28, 90, 8, false},
                   {L"apkfilenamelabel", L"Label", 200, 28, 332, 8, false},
                   {L"apkinstallprogressbar", L"Progress", 490, 14, 90, 40, false},
                   {L"tastenowbtn", L"Button", 160, 44, 240, 194, false}},
                  RECT{0, 0, 640, 400});

    CPaintManagerUI pm;
    CDialogBuilder builder;
    CControlUI* root = builder.Create(L"mainframe.xml", L"", nullptr, &pm);
    ASSERT_NE(nullptr, root);
    pm.AttachDialog(root);
    EXPECT_EQ(8, static_cast<CContainerUI*>(pm.FindControl(L"maintab"))->GetCount());
    EXPECT_TRUE(static_cast<COptionUI*>(pm.FindControl(L"acceptprotocolopt"))->IsSelected());
    EXPECT_EQ(L"@Button_install_fast", pm.FindControl(L"installnowbtn")->GetText());
    EXPECT_EQ(L"@download_close", pm.FindControl(L"closebtn")->GetToolTip());
}

TEST(ShippedLayouts, BoxesShareTheFrameAndHaveTheirControls) {
    useShippedSkin();
    const std::vector<ControlFacts> frame = {{L"rootLayout", L"VerticalLayout", 0, 0, -1, 0, true},
                                             {L"titlelabel", L"Label", 0, 0, -1, 0, true},
                                             {L"closebtn", L"Button", 34, 34, -1, 0, true}};
    auto with = [&](std::vector<ControlFacts> more) {
        more.insert(more.begin(), frame.begin(), frame.end());
        return more;
    };
    checkControls(L"downloaderbox.xml",
                  with({{L"descriptlabel", L"Label", 380, 60, -1, 0, true},
                        {L"bottombar", L"HorizontalLayout", 0, 50, -1, 0, true},
                        {L"btnLeft", L"Button", 100, 32, -1, 0, true},
                        {L"btnRight", L"Button", 100, 32, -1, 0, true},
                        {L"bottombar2", L"HorizontalLayout", 0, 50, -1, 0, false},
                        {L"btnSure", L"Button", 100, 32, -1, 0, false}}),
                  RECT{0, 0, 436, 236});
    checkControls(L"downloaderrorbox.xml",
                  with({{L"descriptlabel", L"Label", 400, 60, -1, 0, true},
                        {L"loadingContactUsBtn", L"Button", 160, 20, -1, 0, true},
                        {L"btnLeft", L"Button", 100, 32, -1, 0, true},
                        {L"btnRight", L"Button", 100, 32, -1, 0, true}}),
                  RECT{0, 0, 456, 296});
    for (const wchar_t* file : {L"common/xml_messagebox.xml", L"common/xml_messagebox_noicon.xml"})
        checkControls(file,
                      with({{L"msgiconimage", L"Control", 48, 48, -1, 0, true},
                            {L"descriptlabel", L"Label", 382, 0, -1, 0, true},
                            {L"bottombar", L"HorizontalLayout", 0, 52, -1, 0, true}}),
                      RECT{0, 0, 436, 266});

    // The root panel is 16 pixels in from the shadow's top-left corner.
    const struct {
        const wchar_t* file;
        RECT client, panel;
    } panels[] = {{L"downloaderbox.xml", {0, 0, 436, 236}, {16, 16, 416, 216}},
                  {L"downloaderrorbox.xml", {0, 0, 456, 296}, {16, 16, 436, 276}},
                  {L"common/xml_messagebox.xml", {0, 0, 436, 266}, {16, 16, 416, 246}}};
    for (const auto& p : panels) {
        CPaintManagerUI pm;
        CDialogBuilder builder;
        CControlUI* root = builder.Create(p.file, L"", nullptr, &pm);
        ASSERT_NE(nullptr, root);
        pm.AttachDialog(root);
        root->SetPos(p.client);
        RECT panel = pm.FindControl(L"rootLayout")->GetPos();
        EXPECT_TRUE(EqualRect(&p.panel, &panel)) << narrow(p.file);
    }
}

// Checks one image string against the package; `where` names its user.
void checkImage(const std::wstring& text, const std::wstring& where, std::set<std::wstring>& used) {
    ImageAttributes a = parseImageString(text);
    const std::wstring file = normalised(a.file);
    SCOPED_TRACE(narrow(where + L": " + text));
    ASSERT_FALSE(file.empty());
    SkinBytes bytes;
    if (kAbsentImages.count(file)) {
        EXPECT_FALSE(loadSkinResource(file, bytes)) << "left out on purpose";
        return;
    }
    used.insert(file);
    SkinImagePtr image = loadSkinImage(a.file, L"", a.hasMask, a.mask);
    ASSERT_NE(nullptr, image);
    RECT s = a.source;
    if (IsRectEmpty(&s)) s = RECT{0, 0, image->width, image->height};
    EXPECT_TRUE(s.left >= 0 && s.top >= 0 && s.right <= image->width && s.bottom <= image->height)
        << "source outside the " << image->width << "x" << image->height << " image";
    EXPECT_LE(a.corner.left + a.corner.right, s.right - s.left);
    EXPECT_LE(a.corner.top + a.corner.bottom, s.bottom - s.top);
}

TEST(ShippedImages, EveryImageNamedExistsCoversItsSlicesAndNoneIsUnused) {
    useShippedSkin();
    std::set<std::wstring> used;
    std::vector<std::wstring> files = kLayouts;
    files.insert(files.end(), kIncluded.begin(), kIncluded.end());
    for (const auto& file : files)
        for (const auto& text : imageStrings(parseLayout(file))) checkImage(text, file, used);
    for (const wchar_t* text : shippedskin::kCodeImages) checkImage(text, L"code", used);

    std::set<std::wstring> images;
    for (const auto& entry : shipped().skin) {
        const std::wstring& name = entry.first;
        if (name.size() > 4 &&
            (name.substr(name.size() - 4) == L".png" || name.substr(name.size() - 4) == L".bmp"))
            images.insert(name);
    }
    EXPECT_EQ(images, used);
}

TEST(ShippedImages, ScrollBarBitmapUsesItsMaskColourAndTheShadowIsSoft) {
    useShippedSkin();
    auto transparent = [](const SkinImagePtr& image) {
        return std::count_if(image->pixels.begin(), image->pixels.end(),
                             [](DWORD p) { return (p >> 24) == 0; });
    };
    SkinImagePtr plain = loadSkinImage(L"scrollbar.bmp", L"", false, 0);
    SkinImagePtr masked = loadSkinImage(L"scrollbar.bmp", L"", true, 0xFFFF00FF);
    ASSERT_TRUE(plain && masked);
    EXPECT_EQ(0, transparent(plain));
    EXPECT_GT(transparent(masked), masked->width * masked->height / 2);

    // The drop shadow fades: partly transparent pixels between the clear
    // outer edge and the panel's place.
    SkinImagePtr shadow = loadSkinImage(L"common/shadow_bottom.png", L"", false, 0);
    ASSERT_NE(nullptr, shadow);
    const int y = shadow->height / 2;
    std::set<int> alphas;
    for (int x = 0; x < 16; ++x) alphas.insert(shadow->pixels[y * shadow->width + x] >> 24);
    EXPECT_EQ(0, *alphas.begin());
    EXPECT_GE(alphas.size(), 6u);
}

// --- texts fit their controls --------------------------------------------------------------

bool isCjk(wchar_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFF00 && c <= 0xFFEF);
}

// The test prefix maps the layouts' face to a font without Arabic or Thai,
// and the profile faces have no Han or Hangul: Windows falls back to a font of
// the script there, so the text is measured in one.
HFONT measuringFont(HFONT font, const std::wstring& text, std::vector<HFONT>& made) {
    const wchar_t* face = nullptr;
    for (wchar_t c : text) {
        if (c >= 0x0600 && c <= 0x06FF)
            face = L"Noto Sans Arabic";
        else if (c >= 0x0E00 && c <= 0x0E7F)
            face = L"Noto Sans Thai";
        else if (isCjk(c) && !face)
            face = L"WenQuanYi Micro Hei";
    }
    if (!face) return font;
    LOGFONTW lf;
    GetObjectW(font, sizeof lf, &lf);
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    made.push_back(CreateFontIndirectW(&lf));
    return made.back();
}

std::wstring plainText(const std::wstring& text) {
    std::wstring out;
    for (const MarkupRun& run : parseTextMarkup(text)) out += run.newline ? L"\n" : run.text;
    return out;
}

bool isHanOrKana(wchar_t c) {
    return (c >= 0x3000 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF);
}

// Line-break pieces: at blanks, and between Han and kana characters where
// the system's text drawing breaks them (the skin's markup drawer breaks at
// blanks only; Korean breaks at blanks).
std::vector<std::wstring> breakable(const std::wstring& text, bool cjkBreaks) {
    std::vector<std::wstring> pieces;
    std::wstring piece;
    for (size_t i = 0; i < text.size(); ++i) {
        piece += text[i];
        bool end = text[i] == L' '
                       ? (i + 1 < text.size() && text[i + 1] != L' ')
                       : (cjkBreaks && isHanOrKana(text[i]) && i + 1 < text.size() && text[i + 1] != L' ');
        if (end) {
            pieces.push_back(piece);
            piece.clear();
        }
    }
    if (!piece.empty()) pieces.push_back(piece);
    return pieces;
}

struct Fit {
    bool fits;
    std::string why;
};

Fit fits(HDC dc, HFONT font, const std::wstring& text, const RECT& area, bool multiline, bool markup) {
    // Linked glyphs are drawn in the line height of the control's own font.
    TEXTMETRICW tm;
    SelectObject(dc, font);
    GetTextMetricsW(dc, &tm);
    std::vector<HFONT> made;
    SelectObject(dc, measuringFont(font, text, made));
    auto width = [&](const std::wstring& s) {
        SIZE size = {0, 0};
        GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &size);
        return static_cast<int>(size.cx);
    };
    const int w = area.right - area.left, h = area.bottom - area.top;
    int lines = 1, widest = 0;
    if (!multiline) {
        widest = width(text);
    } else {
        int line = 0;
        for (const std::wstring& piece : breakable(text, !markup)) {
            int pw = width(piece);
            if (line > 0 && line + pw > w) {
                ++lines;
                line = 0;
            }
            line += pw;
            std::wstring trimmed = piece;
            while (!trimmed.empty() && trimmed.back() == L' ') trimmed.pop_back();
            widest = std::max(widest, line - pw + width(trimmed));
        }
    }
    for (HFONT f : made) DeleteObject(f);
    Fit result{widest <= w && lines * tm.tmHeight <= h, ""};
    if (!result.fits)
        result.why = std::to_string(widest) + "x" + std::to_string(lines * tm.tmHeight) + " in " +
                     std::to_string(w) + "x" + std::to_string(h) + " (" + std::to_string(lines) + " lines)";
    return result;
}

// A built window for the fit checks, laid out over its client area.
class Built {
public:
    explicit Built(const std::wstring& file) {
        root_ = builder_.Create(file, L"", nullptr, &pm_);
        if (root_) pm_.AttachDialog(root_);
        SIZE size = pm_.GetInitSize();
        client_ = RECT{0, 0, size.cx, size.cy};
    }
    CPaintManagerUI& pm() { return pm_; }
    bool ok() const { return root_ != nullptr; }
    void layout() { root_->SetPos(client_); }
    CLabelUI* label(const wchar_t* name) { return static_cast<CLabelUI*>(pm_.FindControl(name)); }

    void check(HDC dc, const wchar_t* name, const std::wstring& text, const std::string& what) {
        CLabelUI* c = label(name);
        ASSERT_NE(nullptr, c) << narrow(name);
        check(dc, c, text, what);
    }
    // The text area of a label-family control and whether it wraps.
    void check(HDC dc, CLabelUI* c, const std::wstring& text, const std::string& what) {
        const std::wstring name = c->GetName();
        RECT pos = c->GetPos(), pad = c->GetTextPadding();
        ASSERT_FALSE(IsRectEmpty(&pos)) << narrow(name) << " is not laid out";
        RECT area = {pos.left + pad.left, pos.top + pad.top, pos.right - pad.right, pos.bottom - pad.bottom};
        Fit f = fits(dc, pm_.GetFont(c->GetFont()), plainText(text), area, c->IsMultiLine(), c->IsShowHtml());
        EXPECT_TRUE(f.fits) << what << " " << narrow(name) << ": \"" << narrow(text) << "\" needs " << f.why;
    }

private:
    CPaintManagerUI pm_;
    CDialogBuilder builder_;
    CControlUI* root_ = nullptr;
    RECT client_{};
};

std::wstring format(const std::wstring& pattern, const wchar_t* a, const wchar_t* b = L"") {
    wchar_t buffer[512];
    swprintf(buffer, 512, pattern.c_str(), a, b);
    return buffer;
}

TEST(ShippedText, EveryTextFitsItsControlInEveryLanguage) {
    useShippedSkin();
    HDC dc = CreateCompatibleDC(nullptr);
    for (const auto& locale : kLocales) {
        useLanguage(locale);
        const std::string where = narrow(locale);
        const LanguageProfile profile = language::languageProfileFor(language::shortForCode(locale));
        auto T = [](const wchar_t* id) { return textFor(id); };

        // The main window, page by page, with the folder section open.
        {
            Built main(L"mainframe.xml");
            ASSERT_TRUE(main.ok());
            shippedskin::applyMainWindowFonts(main.pm(), profile);
            for (const wchar_t* name : {L"userdefinitionsui", L"errorpathnoticeui"})
                main.pm().FindControl(name)->SetVisible(true);
            auto* tab = static_cast<CTabLayoutUI*>(main.pm().FindControl(L"maintab"));
            auto page = [&](int index) {
                tab->SelectItem(index, false);
                main.layout();
            };
            page(0);
            for (const wchar_t* id : {L"Button_install_fast", L"Button_install_now"})
                main.check(dc, L"installnowbtn", T(id), where);
            main.check(dc, L"browsebtn", T(L"browser"), where);
            main.check(dc, L"pathErrorLabel", T(L"Label_path_error"), where);
            main.check(dc, L"LicenseAgreementText", T(L"protocol_accept"), where);
            main.check(dc, L"protocollinkbtn", L"<u>" + T(L"protocol_accept_btn") + L"</u>", where);
            main.check(dc, L"userdefinitionBtn", T(L"Button_install_define"), where);
            main.pm().FindControl(L"userdefinitionLayout")->SetVisible(false);
            main.pm().FindControl(L"backLayout")->SetVisible(true);
            page(0);
            main.check(dc, L"backBtn", T(L"Button_install_back"), where);
            page(1);
            main.check(dc, L"confirmprotocolbtn", T(L"sure"), where);
            page(2);
            for (const std::wstring& status :
                 {T(L"progress_downloading_label"), T(L"Label_getversion_info"),
                  T(L"Label_installing_waiting"), T(L"Label_downloading") + L"(100%)"})
                main.check(dc, L"loadingprogresslabel", status, where);
            main.check(dc, L"downloadProgressLabel", L"1023.99KB/1024.00M", where);
            main.check(dc, L"progress_install_label", T(L"progress_install_label"), where);
            page(3);
            const std::wstring game = L" Farm Story";
            main.check(dc, L"apkinstallprogresslabel", T(L"progress_downloading_label") + game, where);
            main.check(dc, L"apkinstallprogresslabel", T(L"Label_installingapp_waiting") + game, where);
            main.check(dc, L"apkinstallprogresslabel",
                       T(L"progress_downloading_label2") + game +
                           L" (2/2)\xFF1A"
                           L"240M / 240M (<c #268fd6>100%</c>)",
                       where);
            page(4);
            main.check(dc, L"finishTipLabel", T(L"installSucess"), where);
            main.check(dc, L"tastenowbtn", T(L"Button_start_player"), where);
        }
        // The exit and error boxes draw with the main window's shared fonts.
        {
            CPaintManagerUI fonts;
            shippedskin::applyMainWindowFonts(fonts, profile);
            Built exitBox(L"downloaderbox.xml");
            ASSERT_TRUE(exitBox.ok());
            shippedskin::fillExitBox(exitBox.pm());
            exitBox.pm().FindControl(L"bottombar2")->SetVisible(true);
            exitBox.layout();
            exitBox.check(dc, L"titlelabel", T(L"MSGBox_noice"), where);
            exitBox.check(dc, L"descriptlabel", T(L"MsgBox_exit"), where);
            for (const wchar_t* name : {L"btnLeft", L"btnRight", L"btnSure"})
                exitBox.check(dc, name, exitBox.label(name)->GetText(), where);

            Built errorBox(L"downloaderrorbox.xml");
            ASSERT_TRUE(errorBox.ok());
            errorBox.layout();
            errorBox.check(dc, L"titlelabel", T(L"MsgBox_error"), where);
            errorBox.check(dc, L"descriptlabel", T(L"install_error_tip2"), where);
            errorBox.check(dc, L"loadingContactUsBtn", T(L"customer_connect"), where);
            errorBox.check(dc, L"btnLeft", T(L"sure"), where);
            errorBox.check(dc, L"btnRight", T(L"cancel"), where);
        }
        // Message boxes as the code opens them: title, text, buttons.
        const struct {
            const wchar_t* title;
            std::wstring text;
            std::vector<const wchar_t*> buttons;
        } boxes[] = {
            {L"MsgBox_error", T(L"MsgBox_accept_protocol"), {L"confirm"}},
            {L"MsgBox_error", T(L"MsgBox_error_path"), {L"confirm"}},
            {L"MsgBox_error", T(L"MsgBox_disk_notEnough"), {L"confirm"}},
            {L"MsgBox_error", T(L"MsgBox_xp"), {L"sure"}},
            {L"MsgBox_error", T(L"MsgBox_32"), {L"jump_download", L"do_exit"}},
            {L"MSGBox_noice", T(L"download_slowtip"), {L"downloadBybrowser", L"download_close"}},
            {L"MSGBox_noice", T(L"change_path_tip"), {L"cancel", L"sure"}},
            {L"path_noice", format(T(L"path_ssd"), L"C", L"D"), {L"path_not", L"path_ok"}},
            {L"path_noice", format(T(L"path_more"), L"D"), {L"path_not", L"path_ok"}},
        };
        for (const auto& box : boxes) {
            for (bool withIcon : {true, false}) {
                Built message(withIcon ? L"common/xml_messagebox.xml" : L"common/xml_messagebox_noicon.xml");
                ASSERT_TRUE(message.ok());
                shippedskin::applyMessageBoxFonts(message.pm());
                shippedskin::setMessageBoxText(message.pm(), box.text, withIcon);
                std::vector<CButtonUI*> buttons;
                for (size_t i = 0; i < box.buttons.size(); ++i)
                    buttons.push_back(
                        shippedskin::addSelectionButton(message.pm(), T(box.buttons[i]), i == 0));
                message.layout();
                message.check(dc, L"titlelabel", T(box.title), where);
                message.check(dc, L"descriptlabel", box.text, where + (withIcon ? " icon" : " no icon"));
                for (CButtonUI* button : buttons)
                    message.check(dc, button, button->GetText(), where + " button");
            }
        }
    }
    DeleteDC(dc);
}

}  // namespace
