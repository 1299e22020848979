#include "config/endpoints.h"

#include <windows.h>

#include <iterator>

#include "config/BuildSettings.h"

namespace config {
namespace endpoints {

namespace {

struct HostRow {
    Host host;
    const wchar_t* key;
    const wchar_t* subdomain;  // release builds: subdomain + "." + domain
};

const HostRow kHosts[] = {
    {Host::ContentCn, L"CONTENT_CN", L"cdn-cn"},
    {Host::Content, L"CONTENT", L"cdn"},
    {Host::SiteCn, L"SITE_CN", L"cn"},
    {Host::SiteTw, L"SITE_TW", L"tw"},
    {Host::SiteKr, L"SITE_KR", L"kr"},
    {Host::SiteVn, L"SITE_VN", L"vn"},
    {Host::SiteTh, L"SITE_TH", L"th"},
    {Host::SiteRu, L"SITE_RU", L"ru"},
    {Host::SitePt, L"SITE_PT", L"pt"},
    {Host::SiteId, L"SITE_ID", L"id"},
    {Host::SiteEs, L"SITE_ES", L"es"},
    {Host::SiteFr, L"SITE_FR", L"fr"},
    {Host::SiteJp, L"SITE_JP", L"jp"},
    {Host::SiteAr, L"SITE_AR", L"ar"},
    {Host::SiteFa, L"SITE_FA", L"fa"},
    {Host::SiteDe, L"SITE_DE", L"de"},
    {Host::Site, L"SITE", L"www"},
    {Host::Report, L"REPORT", L"report"},
    {Host::Analytics, L"ANALYTICS", L"analytics"},
};

const HostRow& rowOf(Host host) {
    for (const HostRow& row : kHosts)
        if (row.host == host) return row;
    return kHosts[std::size(kHosts) - 1];
}

#if ORVANE_TEST_ENDPOINTS
std::wstring environment(const std::wstring& name) {
    wchar_t value[512];
    const DWORD length = GetEnvironmentVariableW(name.c_str(), value, static_cast<DWORD>(std::size(value)));
    // Missing, empty or too long for a sane origin: no override.
    if (length == 0 || length >= std::size(value)) return std::wstring();
    return std::wstring(value, length);
}

std::wstring withoutTrailingSlash(std::wstring text) {
    while (!text.empty() && text.back() == L'/') text.pop_back();
    return text;
}
#endif

}  // namespace

const wchar_t* key(Host host) {
    return rowOf(host).key;
}

std::wstring origin(Host host) {
    const HostRow& row = rowOf(host);
#if ORVANE_TEST_ENDPOINTS
    std::wstring value = environment(std::wstring(L"ORVANE_TEST_HOST_") + row.key);
    if (value.empty()) value = environment(L"ORVANE_TEST_HOST");
    if (value.empty()) value = ORVANE_TEST_ORIGIN;
    return withoutTrailingSlash(value);
#else
    return std::wstring(L"https://") + row.subdomain + L"." + ORVANE_RELEASE_DOMAIN;
#endif
}

}  // namespace endpoints
}  // namespace config
