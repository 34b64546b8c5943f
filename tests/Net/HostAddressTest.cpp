// The addresses of network play: the host's address as the joiner types it, and which of the
// machine's own addresses the host offers a friend.
#include "Net/HostAddress.h"

#include "tests/Net/NetTestUtil.h"

#include <cctype>
#include <gtest/gtest.h>
#include <string>
#include <vector>

inline void PrintTo(const QHostAddress& a, std::ostream* os) {
    *os << (a.isNull() ? std::string("(null)") : a.toString().toStdString());
}

namespace {

struct AddressText {
    const char* text;
    const char* address; // what it stands for; nullptr: refused
    const char* zone = "";
};

void PrintTo(const AddressText& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class HostAddressText : public testing::TestWithParam<AddressText> { };

TEST_P(HostAddressText, IsTakenOrRefusedAtOnce) {
    const AddressText& c = GetParam();
    const QHostAddress parsed = ParseHostAddress(QString::fromUtf8(c.text));
    if (!c.address) {
        EXPECT_TRUE(parsed.isNull()) << parsed.toString().toStdString();
        return;
    }
    QHostAddress expected(QString::fromLatin1(c.address));
    expected.setScopeId(QString::fromLatin1(c.zone));
    EXPECT_EQ(parsed, expected) << parsed.toString().toStdString();
    EXPECT_EQ(parsed.scopeId(), QString::fromLatin1(c.zone));
    EXPECT_EQ(parsed.protocol(), expected.protocol());
}

const AddressText kAddressTexts[] = {
    // IPv4: dotted, exactly as before.
    { "127.0.0.1", "127.0.0.1" },
    { "192.168.001.020", "192.168.1.20" },
    { "127.1", nullptr },
    { "0x7f.0.0.1", nullptr },
    { "[127.0.0.1]", nullptr },
    { "127.0.0.1:4567", nullptr },
    { "256.0.0.1", nullptr },
    // IPv6 literals, bare or in brackets, any case.
    { "::1", "::1" },
    { "[::1]", "::1" },
    { "fd00::2", "fd00::2" },
    { "2001:db8::5", "2001:db8::5" },
    { "[2001:DB8::A]", "2001:db8::a" },
    { "1:2:3:4:5:6:7:8", "1:2:3:4:5:6:7:8" },
    { "::ffff:192.0.2.1", "::ffff:192.0.2.1" },
    // Zones, for link-local addresses: an interface name or number.
    { "fe80::1%lo", "fe80::1", "lo" },
    { "fe80::1%eth0", "fe80::1", "eth0" },
    { "[fe80::1%wlp2s0]", "fe80::1", "wlp2s0" },
    { "fe80::1%br-lan.10", "fe80::1", "br-lan.10" },
    { "fe80::1%2", "fe80::1", "2" },
    // Anything else.
    { "", nullptr },
    { "localhost", nullptr },
    { "ip6-localhost", nullptr },
    { "::1 ", nullptr },
    { " ::1", nullptr },
    { "[::1", nullptr },
    { "::1]", nullptr },
    { "[[::1]]", nullptr },
    { "[]", nullptr },
    { "[::1]:4567", nullptr },
    { "::1/128", nullptr },
    { "1::2::3", nullptr },
    { ":::", nullptr },
    { "12345::1", nullptr },
    { "g::1", nullptr },
    { "1:2:3:4:5:6:7:8:9", nullptr },
    { "fe80::1%", nullptr },
    { "%lo", nullptr },
    { "fe80::1%eth 0", nullptr },
    { "fe80::1%%lo", nullptr },
    { "fe80::1%lo%lo", nullptr },
    { "fe80::1%ağ0", nullptr },
    { "fe80::1%abcdefghijklmnop", nullptr },
    { "[fe80::1]%lo", nullptr },
};

INSTANTIATE_TEST_SUITE_P(Texts, HostAddressText, testing::ValuesIn(kAddressTexts),
    [](const testing::TestParamInfo<AddressText>& param) {
        std::string name = std::to_string(param.index) + "_";
        for (const char* c = param.param.text; *c; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

// ---- The addresses offered to a friend ----

struct FriendCase {
    const char* name;
    std::vector<std::pair<const char*, bool>> interfaces; // address, interface up
    bool withIPv6;
    std::vector<const char*> offered;
};

void PrintTo(const FriendCase& c, std::ostream* os) {
    *os << c.name;
}

class FriendAddressChoice : public testing::TestWithParam<FriendCase> { };

TEST_P(FriendAddressChoice, OffersTheUsableAddressesBestFirst) {
    std::vector<TInterfaceAddress> addresses;
    for (const auto& [text, up] : GetParam().interfaces) {
        QHostAddress address;
        const QString s = QString::fromLatin1(text);
        const qsizetype percent = s.indexOf(u'%');
        address.setAddress(s.left(percent));
        if (percent >= 0) address.setScopeId(s.mid(percent + 1));
        addresses.push_back({ address, up });
    }
    QStringList offered;
    for (const QHostAddress& address : FriendAddresses(addresses, GetParam().withIPv6))
        offered << address.toString();
    QStringList expected;
    for (const char* text : GetParam().offered) expected << QString::fromLatin1(text);
    EXPECT_EQ(offered, expected);
}

const FriendCase kFriendCases[] = {
    { "IPv4FirstThenGlobalThenUniqueLocal",
        { { "127.0.0.1", true }, { "::1", true }, { "fd00::2", true },
            { "fe80::fc:ff:fe00:1%eth0", true }, { "2a01:4f8::5", true }, { "192.0.2.2", true },
            { "10.1.2.3", true } },
        true, { "192.0.2.2", "10.1.2.3", "2a01:4f8::5", "fd00::2" } },
    { "WithoutIPv6ListenerNoIPv6", { { "::1", true }, { "fd00::2", true }, { "192.0.2.2", true } },
        false, { "192.0.2.2" } },
    { "InterfacesThatAreDownAreLeftOut",
        { { "127.0.0.1", true }, { "192.0.2.2", false }, { "2a01:4f8::5", false },
            { "10.0.0.7", true } },
        true, { "10.0.0.7" } },
    { "LinkLocalAndLoopbackOnlyWhenThereIsNothingElse",
        { { "127.0.0.1", true }, { "::1", true }, { "fe80::1%eth0", true }, { "169.254.3.4", true },
            { "192.0.2.2", false } },
        true, { "fe80::1", "169.254.3.4", "127.0.0.1", "::1" } },
    { "LoopbackAloneWithoutIPv6", { { "127.0.0.1", true }, { "::1", true } }, false,
        { "127.0.0.1" } },
    { "EachAddressOnce",
        { { "192.0.2.2", true }, { "192.0.2.2", true }, { "fe80::1%eth0", true },
            { "fe80::1%eth1", true } },
        true, { "192.0.2.2" } },
    { "NeverMulticastOrSiteLocal",
        { { "224.0.0.1", true }, { "ff02::1", true }, { "fec0::1", true }, { "::", true },
            { "127.0.0.1", true } },
        true, { "127.0.0.1" } },
    { "Nothing", {}, true, {} },
};

INSTANTIATE_TEST_SUITE_P(Machines, FriendAddressChoice, testing::ValuesIn(kFriendCases),
    [](const testing::TestParamInfo<FriendCase>& param) { return std::string(param.param.name); });

// This machine's own addresses include its IPv4 loopback, on an interface that is up.
TEST(MachineAddresses, IncludeTheIPv4LoopbackOfAnInterfaceThatIsUp) {
    bool found = false;
    for (const TInterfaceAddress& entry : MachineAddresses())
        found = found || (entry.Address == QHostAddress::LocalHost && entry.InterfaceUp);
    EXPECT_TRUE(found);
}

} // namespace
