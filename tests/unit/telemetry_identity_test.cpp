// The device id over adapter sets fed through the query seam, the MD5 digest
// against RFC 1321's vectors (and lengths around the padding boundary, from
// an independent implementation), and the GUID text form.
#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <string>
#include <vector>

#include "telemetry/identity.h"

namespace {

namespace identity = telemetry::identity;
using identity::AdapterAddress;

TEST(Md5, MatchesReferenceDigests) {
    const struct {
        std::string input;
        const char* digest;
    } cases[] = {
        // RFC 1321, appendix A.5 (its empty-string vector is below: no input, no digest)
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
        // Padding fits in the last block, just does not, block edges, many blocks.
        {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
        {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
        {std::string(63, 'a'), "b06521f39153d618550606be297466d5"},
        {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
        {std::string(65, 'a'), "c743a45e0d2e6a95cb859adae0248435"},
        {std::string(1000, 'a'), "cabe45dcc9ae5b66ba86600cca6b8ba8"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(identity::md5Hex(c.input.data(), static_cast<std::ptrdiff_t>(c.input.size())), c.digest)
            << c.input.size() << " bytes";
    }
}

TEST(Md5, NoBytesGiveNoDigest) {
    EXPECT_EQ(identity::md5Hex(nullptr, 3), "");
    EXPECT_EQ(identity::md5Hex("abc", 0), "");
    EXPECT_EQ(identity::md5Hex("abc", -1), "");
}

// The adapter query answers with whatever the current test put here.
std::vector<AdapterAddress> g_adapters;
bool g_queryFails = false;

bool fakeAdapters(std::vector<AdapterAddress>& addresses) {
    addresses = g_adapters;
    return !g_queryFails;
}

class DeviceId : public testing::Test {
protected:
    void SetUp() override {
        g_adapters.clear();
        g_queryFails = false;
        identity::setAdapterQuery(&fakeAdapters);
    }
    void TearDown() override { identity::setAdapterQuery(nullptr); }
};

// Bytes 6 and 7 of the field are set to show that only the first six count.
const AdapterAddress kA = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x77, 0x88};
const AdapterAddress kB = {0x00, 0xFF, 0xEE, 0x00, 0x00, 0x01, 0x00, 0x00};
const AdapterAddress kZero = {};
const AdapterAddress kZeroSix = {0, 0, 0, 0, 0, 0, 0x12, 0x34};  // not all zero: counts

std::vector<AdapterAddress> sixteenAdapters() {
    std::vector<AdapterAddress> list;
    for (unsigned char i = 16; i-- > 0;) list.push_back({0x02, 0, 0, 0, 0, i, 0, 0});  // listed backwards
    return list;
}

TEST_F(DeviceId, FollowsTheSortedAddressesOfTheUsableAdapters) {
    const struct {
        const char* name;
        std::vector<AdapterAddress> adapters;
        std::vector<std::string> macs;  // as listed
        const wchar_t* id;
    } cases[] = {
        {"none", {}, {}, L""},
        {"only an all-zero address", {kZero}, {}, L""},
        {"one", {kA}, {"001A2B3C4D5E"}, L"7598b725a578ee13656d280b6520f326"},
        {"one beside an all-zero one", {kZero, kA}, {"001A2B3C4D5E"}, L"7598b725a578ee13656d280b6520f326"},
        {"two, A then B", {kA, kB}, {"001A2B3C4D5E", "00FFEE000001"}, L"2-249290230f93007038b8bc43937a4f89"},
        {"two, B then A", {kB, kA}, {"00FFEE000001", "001A2B3C4D5E"}, L"2-249290230f93007038b8bc43937a4f89"},
        {"the same address twice",
         {kA, kA},
         {"001A2B3C4D5E", "001A2B3C4D5E"},
         L"2-db9e5718fe63e7de2dc1db405c2e4418"},
        {"first six bytes zero", {kZeroSix}, {"000000000000"}, L"35b9ab5a36f3234dd26db357fd4a0dc1"},
    };
    for (const auto& c : cases) {
        g_adapters = c.adapters;
        EXPECT_EQ(identity::listAdapterMacs(), c.macs) << c.name;
        EXPECT_EQ(identity::makeDeviceId(), c.id) << c.name;
    }
}

TEST_F(DeviceId, SixteenAdaptersArePrefixedWithTheCountInHex) {
    g_adapters = sixteenAdapters();
    EXPECT_EQ(identity::listAdapterMacs().front(), "02000000000F");
    EXPECT_EQ(identity::makeDeviceId(), L"10-223b17055c8ddd53b3bc051fe8147c19");
}

TEST_F(DeviceId, AFailedQueryGivesNoId) {
    g_adapters = {kA};
    g_queryFails = true;
    EXPECT_TRUE(identity::listAdapterMacs().empty());
    EXPECT_EQ(identity::makeDeviceId(), L"");
}

bool isUpperHex(const std::string& text) {
    for (char ch : text)
        if (!std::isxdigit(static_cast<unsigned char>(ch)) || std::islower(static_cast<unsigned char>(ch)))
            return false;
    return true;
}

// The system query on this machine: whatever adapters Wine reports come out
// in the documented form, and the id agrees with them.
TEST(DeviceIdOfThisMachine, HasTheFormOfItsAdapterList) {
    const std::vector<std::string> macs = identity::listAdapterMacs();
    for (const std::string& mac : macs) {
        EXPECT_EQ(mac.size(), 12u) << mac;
        EXPECT_TRUE(isUpperHex(mac)) << mac;
    }
    const std::wstring id = identity::makeDeviceId();
    if (macs.empty()) {
        EXPECT_EQ(id, L"");
    } else {
        wchar_t count[16];
        swprintf(count, 16, L"%x-", static_cast<unsigned>(macs.size()));
        const std::wstring prefix = macs.size() < 2 ? L"" : count;
        EXPECT_EQ(id.size(), prefix.size() + 32) << id;
        EXPECT_EQ(id.substr(0, prefix.size()), prefix);
    }
}

TEST(Guid, ThirdGroupIsLowerCaseTheRestUpperCaseJoinedByUnderscores) {
    const GUID guid = {0x0a1b2c3d, 0xabcd, 0xef01, {0xab, 0xcd, 0xef, 0x01, 0x23, 0x45, 0x67, 0x89}};
    EXPECT_EQ(identity::formatGuid(guid), L"0A1B2C3D_ABCD_ef01_ABCD_EF0123456789");
}

TEST(Guid, NewGuidsAreDistinctAndShapedLikeTheFormat) {
    const std::wstring first = identity::makeGuidString();
    const std::wstring second = identity::makeGuidString();
    EXPECT_NE(first, second);
    for (const std::wstring& text : {first, second}) {
        ASSERT_EQ(text.size(), 36u) << text;
        for (std::size_t at : {8, 13, 18, 23}) EXPECT_EQ(text[at], L'_') << text;
    }
}

}  // namespace
