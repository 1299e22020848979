// The machine's identity that both telemetry channels send, the MD5 digest it
// and the report signature rest on, and the text form of event ids.
// Stateless free functions; any thread.
//
//   std::wstring id = telemetry::identity::makeDeviceId();   // "" or "<md5>" or "2-<md5>"
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace telemetry {
namespace identity {

// The hardware address of every network adapter as 12 upper-case hex
// characters (its first six bytes), in the order the system lists them.
// Adapters whose whole address field is zero are left out; duplicates stay.
// Empty when the query fails.
std::vector<std::string> listAdapterMacs();

// The device id of this machine: deviceIdFor(listAdapterMacs()), widened.
std::wstring makeDeviceId();

// md5Hex of the addresses sorted and joined with "|"; with two or more, the
// count in lower-case hex and "-" come first. Empty for an empty list. The
// result does not depend on the order of the list.
std::string deviceIdFor(std::vector<std::string> macs);

// MD5 (RFC 1321) of the bytes as 32 lower-case hex characters. Empty for a
// null pointer or a length of 0 or less.
std::string md5Hex(const void* bytes, std::ptrdiff_t length);

// A new GUID in the form formatGuid gives; empty when none can be made.
std::wstring makeGuidString();

// "XXXXXXXX_XXXX_xxxx_XXXX_XXXXXXXXXXXX": the third group in lower case, the
// rest in upper case.
std::wstring formatGuid(const GUID& guid);

// Test seam: the adapter query listAdapterMacs rests on, so the id can be
// checked for adapter sets this machine does not have. The query fills the
// 8-byte address field of each adapter in system order and returns false on
// failure. Null restores the system query. Set before other threads ask.
using AdapterAddress = std::array<unsigned char, 8>;
using AdapterQuery = bool (*)(std::vector<AdapterAddress>& addresses);
void setAdapterQuery(AdapterQuery query);

}  // namespace identity
}  // namespace telemetry
