// Where the program talks to: the origin (scheme, host, port) of every
// server, by role. Paths are added by the callers.
//
// Release builds name every host under the domain set at configure time
// (ORVANE_RELEASE_DOMAIN, a reserved domain by default, so an unconfigured
// build never reaches anyone). Test builds name the loopback origin
// ORVANE_TEST_ORIGIN and, at run time only, take overrides from the
// environment: ORVANE_TEST_HOST_<KEY> for one role (keys below), else
// ORVANE_TEST_HOST for every role, e.g. ORVANE_TEST_HOST=http://localhost:8123.
#pragma once

#include <string>

namespace config {
namespace endpoints {

enum class Host {
    ContentCn,  // CONTENT_CN: content host of the Chinese region
    Content,    // CONTENT: international content host
    SiteCn,     // SITE_CN ... SITE_DE: the home-page site of one language
    SiteTw,
    SiteKr,
    SiteVn,
    SiteTh,
    SiteRu,
    SitePt,
    SiteId,
    SiteEs,
    SiteFr,
    SiteJp,
    SiteAr,
    SiteFa,
    SiteDe,
    Site,       // SITE: international site; also serves the licence page
    Report,     // REPORT: event report server
    Analytics,  // ANALYTICS: analytics collection endpoint
};

// The role's origin without a trailing slash, e.g. "https://cdn.orvane.invalid".
std::wstring origin(Host host);

// The override key of a role ("CONTENT_CN"); used in the variable names above.
const wchar_t* key(Host host);

}  // namespace endpoints
}  // namespace config
