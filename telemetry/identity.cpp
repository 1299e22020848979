#include "telemetry/identity.h"

#include <iphlpapi.h>
#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "common/Handle.h"

namespace telemetry {
namespace identity {

namespace {

using GlobalMemory = common::UniqueHandle<common::NullHandleTraits<HGLOBAL, &GlobalFree>>;

// --- MD5, RFC 1321 ----------------------------------------------------------

const uint32_t kShifts[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                              5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                              4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                              6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};

// floor(abs(sin(i + 1)) * 2^32), the table of the RFC.
const uint32_t kSines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

uint32_t rotateLeft(uint32_t x, uint32_t n) {
    return (x << n) | (x >> (32 - n));
}

void md5Block(uint32_t state[4], const unsigned char block[64]) {
    uint32_t m[16];
    for (int i = 0; i < 16; ++i) {
        m[i] = uint32_t(block[i * 4]) | uint32_t(block[i * 4 + 1]) << 8 | uint32_t(block[i * 4 + 2]) << 16 |
               uint32_t(block[i * 4 + 3]) << 24;
    }
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        uint32_t f;
        int g;
        if (i < 16) {
            f = (b & c) | (~b & d);
            g = i;
        } else if (i < 32) {
            f = (d & b) | (~d & c);
            g = (5 * i + 1) % 16;
        } else if (i < 48) {
            f = b ^ c ^ d;
            g = (3 * i + 5) % 16;
        } else {
            f = c ^ (b | ~d);
            g = (7 * i) % 16;
        }
        const uint32_t next = d;
        d = c;
        c = b;
        b = b + rotateLeft(a + f + kSines[i] + m[g], kShifts[i]);
        a = next;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

void md5(const unsigned char* data, uint64_t length, unsigned char digest[16]) {
    uint32_t state[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    uint64_t done = 0;
    for (; length - done >= 64; done += 64) md5Block(state, data + done);

    // The tail, the 0x80 marker, zeros up to 56 mod 64, then the bit length.
    unsigned char tail[128] = {};
    const size_t rest = static_cast<size_t>(length - done);
    std::memcpy(tail, data + done, rest);
    tail[rest] = 0x80;
    const size_t tailLength = rest < 56 ? 64 : 128;
    const uint64_t bits = length * 8;
    for (int i = 0; i < 8; ++i) tail[tailLength - 8 + i] = static_cast<unsigned char>(bits >> (8 * i));
    for (size_t offset = 0; offset < tailLength; offset += 64) md5Block(state, tail + offset);

    for (int i = 0; i < 16; ++i) digest[i] = static_cast<unsigned char>(state[i / 4] >> (8 * (i % 4)));
}

// --- adapters ---------------------------------------------------------------

bool systemAdapters(std::vector<AdapterAddress>& addresses) {
    ULONG size = 0;
    const DWORD probe = GetAdaptersInfo(nullptr, &size);
    if ((probe != ERROR_SUCCESS && probe != ERROR_BUFFER_OVERFLOW) || size == 0) return false;
    GlobalMemory buffer(GlobalAlloc(GPTR, size));
    if (!buffer) return false;
    auto* first = static_cast<IP_ADAPTER_INFO*>(buffer.get());
    if (GetAdaptersInfo(first, &size) != ERROR_SUCCESS) return false;
    for (const IP_ADAPTER_INFO* adapter = first; adapter; adapter = adapter->Next) {
        AdapterAddress address;
        static_assert(sizeof(adapter->Address) == sizeof(AdapterAddress), "8-byte address field");
        std::memcpy(address.data(), adapter->Address, address.size());
        addresses.push_back(address);
    }
    return true;
}

std::atomic<AdapterQuery> g_adapterQuery{&systemAdapters};

bool isZero(const AdapterAddress& address) {
    return std::all_of(address.begin(), address.end(), [](unsigned char byte) { return byte == 0; });
}

std::string macText(const AdapterAddress& a) {
    char text[13];
    std::snprintf(text, sizeof(text), "%02X%02X%02X%02X%02X%02X", a[0], a[1], a[2], a[3], a[4], a[5]);
    return text;
}

}  // namespace

std::vector<std::string> listAdapterMacs() {
    std::vector<AdapterAddress> addresses;
    std::vector<std::string> macs;
    if (!g_adapterQuery.load()(addresses)) return macs;
    for (const AdapterAddress& address : addresses)
        if (!isZero(address)) macs.push_back(macText(address));
    return macs;
}

std::wstring makeDeviceId() {
    const std::string id = deviceIdFor(listAdapterMacs());
    return std::wstring(id.begin(), id.end());  // hex digits and "-" only
}

std::string deviceIdFor(std::vector<std::string> macs) {
    if (macs.empty()) return std::string();
    std::sort(macs.begin(), macs.end());
    std::string joined;
    for (const std::string& mac : macs) {
        if (!joined.empty()) joined += '|';
        joined += mac;
    }
    const std::string digest = md5Hex(joined.data(), static_cast<std::ptrdiff_t>(joined.size()));
    if (macs.size() < 2) return digest;
    char count[24];
    std::snprintf(count, sizeof(count), "%x-", static_cast<unsigned>(macs.size()));
    return count + digest;
}

std::string md5Hex(const void* bytes, std::ptrdiff_t length) {
    if (!bytes || length <= 0) return std::string();
    unsigned char digest[16];
    md5(static_cast<const unsigned char*>(bytes), static_cast<uint64_t>(length), digest);
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : digest) {
        text += kHex[byte >> 4];
        text += kHex[byte & 0x0f];
    }
    return text;
}

std::wstring makeGuidString() {
    GUID guid;
    if (FAILED(CoCreateGuid(&guid))) return std::wstring();
    return formatGuid(guid);
}

std::wstring formatGuid(const GUID& g) {
    char text[40];
    std::snprintf(text, sizeof(text), "%08X_%04X_%04x_%02X%02X_%02X%02X%02X%02X%02X%02X",
                  static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2],
                  g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return std::wstring(text, text + std::strlen(text));
}

void setAdapterQuery(AdapterQuery query) {
    g_adapterQuery.store(query ? query : &systemAdapters);
}

}  // namespace identity
}  // namespace telemetry
