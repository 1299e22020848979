#include "model/documents.h"

#include <utility>

#include "common/textconv.h"
#include "rapidjson/document.h"
#include "utility/filename.h"

namespace documents {

namespace {

using rapidjson::Value;

// Iterative parsing: a deeply nested document cannot exhaust the worker's stack.
// The parser takes a NUL byte for the end of the text, so what follows one
// would go unchecked; JSON has none outside escapes.
bool parseObject(const std::string& text, rapidjson::Document& document) {
    if (text.empty() || text.size() > kMaxDocumentBytes || text.find('\0') != std::string::npos) return false;
    document.Parse<rapidjson::kParseIterativeFlag>(text.data(), text.size());
    return !document.HasParseError() && document.IsObject();
}

const Value* member(const Value& object, const char* name) {
    const Value::ConstMemberIterator it = object.FindMember(name);
    return it == object.MemberEnd() ? nullptr : &it->value;
}

const Value* textMember(const Value& object, const char* name) {
    const Value* value = member(object, name);
    return value && value->IsString() ? value : nullptr;
}

const Value* objectMember(const Value& object, const char* name) {
    const Value* value = member(object, name);
    return value && value->IsObject() ? value : nullptr;
}

std::wstring utf8Text(const Value& text) {
    return common::utf8ToWide(text.GetString(), static_cast<int>(text.GetStringLength()));
}

std::wstring codePageText(const Value& text) {
    return common::ansiToWide(text.GetString(), static_cast<int>(text.GetStringLength()));
}

// Exactly "1"; "true", "01" and numbers are not.
bool isOne(const Value& text) {
    return text.GetStringLength() == 1 && text.GetString()[0] == '1';
}

std::optional<std::wstring> editionUrl(const Value& root, const char* name) {
    const Value* edition = objectMember(root, name);
    const Value* url = edition ? textMember(*edition, "url") : nullptr;
    if (!url) return std::nullopt;
    return utf8Text(*url);
}

const char* editionMember(Edition edition) {
    switch (edition) {
        case Edition::Player4:
            return "mnq4";
        case Edition::Player64:
            return "mnq64";
        case Edition::Player9:
            return "mnq9";
        case Edition::Player3:
            break;
    }
    return "mnq";
}

struct PackageText {
    const char* name;
    std::wstring GamePackage::*field;
    bool codePage;  // sent in the system code page rather than UTF-8
};

const PackageText kPackageTexts[] = {
    {"app_download_url", &GamePackage::url, false}, {"app_package_name", &GamePackage::packageName, false},
    {"gamename", &GamePackage::name, false},        {"app_icon", &GamePackage::iconUrl, false},
    {"app_obb", &GamePackage::obbUrl, false},       {"game_slt_url", &GamePackage::gameSltUrl, false},
    {"resolution", &GamePackage::resolution, true}, {"gameid", &GamePackage::gameId, true},
};

struct PackageFlag {
    const char* name;
    bool GamePackage::*field;
};

const PackageFlag kPackageFlags[] = {{"xapk", &GamePackage::isXapk},
                                     {"from_appstore", &GamePackage::fromAppStore}};

GamePackage readPackage(const Value& element) {
    GamePackage game;
    for (const PackageText& row : kPackageTexts) {
        if (const Value* text = textMember(element, row.name))
            game.*row.field = row.codePage ? codePageText(*text) : utf8Text(*text);
    }
    for (const PackageFlag& row : kPackageFlags) {
        if (const Value* text = textMember(element, row.name)) game.*row.field = isOne(*text);
    }
    return game;
}

const std::pair<const char*, std::wstring ChannelSettings::*> kSettingTexts[] = {
    {"launch_h", &ChannelSettings::launchImage1920Url},
    {"launch_V", &ChannelSettings::launchImage1080Url},
    {"title", &ChannelSettings::title},
    {"runapp", &ChannelSettings::runApp},
    {"qqlink", &ChannelSettings::qqLink},
    {"shortcutname", &ChannelSettings::shortcutName},
    {"shortcuturl", &ChannelSettings::shortcutUrl},
    {"heapsize", &ChannelSettings::heapSize},
};

// An integer in the signed 32-bit range; booleans and fractions are not.
std::optional<int> intMember(const Value& object, const char* name) {
    const Value* value = member(object, name);
    if (!value || !value->IsInt()) return std::nullopt;
    return value->GetInt();
}

}  // namespace

bool readPlayerUrls(const std::string& text, Edition edition, std::wstring& player4Url,
                    std::wstring& playerUrl) {
    rapidjson::Document document;
    if (!parseObject(text, document)) return false;
    if (std::optional<std::wstring> url = editionUrl(document, "mnq4")) player4Url = std::move(*url);
    if (edition == Edition::Player4) {
        playerUrl = player4Url;
    } else if (std::optional<std::wstring> url = editionUrl(document, editionMember(edition))) {
        playerUrl = std::move(*url);
    }
    return true;
}

void readGamePackages(const std::string& text, std::vector<GamePackage>& target) {
    rapidjson::Document document;
    if (!parseObject(text, document)) return;
    const Value* result = member(document, "result");
    if (!result || !result->IsArray()) return;
    for (const Value& element : result->GetArray()) {
        if (!element.IsObject()) continue;
        GamePackage game = readPackage(element);
        if (!game.url.empty() || !game.gameId.empty() || !game.packageName.empty())
            target.push_back(std::move(game));
    }
}

std::optional<ChannelSettings> readChannelSettings(const std::string& text) {
    rapidjson::Document document;
    if (!parseObject(text, document)) return std::nullopt;
    ChannelSettings settings;
    for (const auto& row : kSettingTexts) {
        if (const Value* value = textMember(document, row.first)) settings.*row.second = utf8Text(*value);
    }
    // The shortcut and its icon are named after it: it must stay inside their folders.
    settings.shortcutName = utility::filename::safeFileName(settings.shortcutName);
    if (const std::optional<int> ad = intMember(document, "ad")) settings.adShow = *ad != 0;
    if (const std::optional<int> clean = intMember(document, "cleanmodel")) settings.cleanModel = *clean != 0;
    if (const std::optional<int> store = intMember(document, "runappstore"))
        settings.runAppStore = *store != 0;
    const Value* root = member(document, "root");
    if (root && root->IsBool()) settings.useRoot = root->GetBool() ? 1 : 0;
    return settings;
}

void readCustomerInfo(const std::string& text, const std::wstring& profileKey, std::wstring& installErrorText,
                      std::wstring& customerLink) {
    rapidjson::Document document;
    if (!parseObject(text, document)) return;
    std::string key = common::wideToAnsi(profileKey);
    if (key.empty()) key = "en";
    const Value* entry = objectMember(document, key.c_str());
    if (!entry) return;
    if (const Value* error = textMember(*entry, "installError")) installErrorText = utf8Text(*error);
    if (const Value* link = textMember(*entry, "customerLink")) customerLink = utf8Text(*link);
}

}  // namespace documents
