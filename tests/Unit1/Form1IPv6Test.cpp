// Network play over IPv6: two real windows linked over the IPv6 loopback play and chat as over
// IPv4; a host plays one game at a time whatever the families of its peer and of a stray; an
// IPv4 and an IPv6 peer take turns on one host; what the joiner may type, and what fails.
// Skipped where the machine has no IPv6 loopback.
#include "Form1NetworkTestUtil.h"
#include "Widgets/RadioGroup.h"
#include "tests/Net/IPv6TestUtil.h"

#include <QTcpSocket>
#include <memory>
#include <string>

using namespace nettest;

namespace {

class Form1IPv6 : public testing::Test {
protected:
    void SetUp() override {
        PELLIUM_SKIP_WITHOUT_IPV6_LOOPBACK();
        PelliumApp()->ClearRecordedMessages();
        port = FreeDualPort();
        UsePort(host, port);
        UsePort(joiner, port);
        ChooseHost(host);
        ASSERT_TRUE(host.ServerSocket1->ListensOnIPv6());
    }

    // form joins the host at address; returns once both show "Connected".
    void Join(TForm1& form, const QString& address) {
        UsePort(form, port);
        ChooseJoin(form, address);
        form.BitBtn3->click();
        ASSERT_TRUE(WaitFor(
            [&] { return Panel(host, 0) == "Connected" && Panel(form, 0) == "Connected"; }));
    }

    // The joiner leaves; returns once the host shows it.
    void Leave(TForm1& form) {
        form.BitBtn3->click();
        ASSERT_TRUE(WaitFor([this] { return Panel(host, 0) == "Disconnected"; }));
    }

    // The host on White starts; one move each way, and a Turkish chat line each way.
    void PlayAndChat(TForm1& peer) {
        host.RadioGroup1->SetItemIndex(0);
        host.BitBtn4->click();
        ASSERT_TRUE(WaitFor([&] { return peer.GameBoard1->isEnabled(); }));
        ASSERT_EQ(peer.GameBoard1->Tag(), 1);
        ASSERT_TRUE(host.GameBoard1->UserMove(Square::E2, Square::E4));
        ASSERT_TRUE(WaitFor([&] { return peer.GameBoard1->Tag() == 0; }));
        EXPECT_EQ(peer.GameBoard1->Position(), host.GameBoard1->Position());
        ASSERT_TRUE(peer.GameBoard1->UserMove(Square::E7, Square::E5));
        ASSERT_TRUE(WaitFor([&] { return host.GameBoard1->Tag() == 0; }));
        EXPECT_EQ(host.GameBoard1->Position(),
            "rnbqkbnrpppp ppp            p       P           PPPP PPPRNBQKBNR");
        EXPECT_EQ(Panel(host, 2), "Turn: White");
        EXPECT_EQ(Panel(peer, 2), "Turn: White");

        Say(peer, "merhaba ğüşıöç ĞÜŞİÖÇ");
        ASSERT_TRUE(
            WaitFor([&] { return LastLogLine(host) == "<Oyuncu Adı> merhaba ğüşıöç ĞÜŞİÖÇ"; }));
        Say(host, "hoş geldin");
        ASSERT_TRUE(WaitFor([&] { return LastLogLine(peer) == "<Oyuncu Adı> hoş geldin"; }));
    }

    int port = 0;
    TForm1 host;
    TForm1 joiner;
};

class Form1IPv6Join : public Form1IPv6, public testing::WithParamInterface<const char*> { };

TEST_P(Form1IPv6Join, TwoWindowsPlayAndChatOverTheIPv6Loopback) {
    ASSERT_NO_FATAL_FAILURE(Join(joiner, QString::fromLatin1(GetParam())));
    EXPECT_EQ(host.ServerSocket1->Connections().front()->peerAddress(),
        QHostAddress(QHostAddress::LocalHostIPv6));
    EXPECT_EQ(joiner.BitBtn3->text(), "Disconnect");
    EXPECT_EQ(EnabledModes(host), "H");
    EXPECT_EQ(EnabledModes(joiner), "J");
    ASSERT_NO_FATAL_FAILURE(PlayAndChat(joiner));
    ASSERT_NO_FATAL_FAILURE(Leave(joiner));
    EXPECT_EQ(Panel(joiner, 0), "Disconnected");
    EXPECT_EQ(joiner.BitBtn3->text(), "Connect");
    EXPECT_EQ(EnabledModes(host), "SHJ");
    EXPECT_TRUE(Messages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Addresses, Form1IPv6Join, testing::Values("::1", "[::1]"),
    [](const testing::TestParamInfo<const char*>& param) {
        return std::string(param.index == 0 ? "Bare" : "InBrackets");
    });

// A third copy joining a host in a game is turned away, over either family and whatever the
// family of the host's peer; the game goes on.
struct StrayCase {
    const char* name;
    const char* peer;
    const char* stray;
};

void PrintTo(const StrayCase& c, std::ostream* os) {
    *os << c.name;
}

class Form1IPv6Stray : public Form1IPv6, public testing::WithParamInterface<StrayCase> { };

TEST_P(Form1IPv6Stray, AThirdCopyIsTurnedAwayAndTheGameGoesOn) {
    ASSERT_NO_FATAL_FAILURE(Join(joiner, QString::fromLatin1(GetParam().peer)));
    TForm1 third;
    UsePort(third, port);
    ChooseJoin(third, QString::fromLatin1(GetParam().stray));
    third.BitBtn3->click();
    ASSERT_TRUE(
        WaitFor([&] { return third.BitBtn3->isEnabled() && third.BitBtn3->text() == "Connect"; }));
    EXPECT_NE(Panel(third, 0), "Connected");
    EXPECT_EQ(EnabledModes(third), "SHJ");
    EXPECT_EQ(Panel(host, 0), "Connected");
    EXPECT_EQ(host.ServerSocket1->Connections().size(), 1U);
    ASSERT_NO_FATAL_FAILURE(PlayAndChat(joiner));
    EXPECT_TRUE(LastLogLine(third).isEmpty());
    // Whether the third copy sees its close as orderly or as a reset (then "Error"), the host
    // shows nothing.
    for (const QString& message : Messages()) EXPECT_EQ(message, "Error");
}

const StrayCase kStrayCases[] = {
    { "IPv6PeerIPv6Stray", "::1", "::1" },
    { "IPv6PeerIPv4Stray", "::1", "127.0.0.1" },
    { "IPv4PeerIPv6Stray", "127.0.0.1", "::1" },
};

INSTANTIATE_TEST_SUITE_P(Families, Form1IPv6Stray, testing::ValuesIn(kStrayCases),
    [](const testing::TestParamInfo<StrayCase>& param) { return std::string(param.param.name); });

// One host, peers of both families in turn: each is accepted once the one before has gone.
TEST_F(Form1IPv6, AnIPv4AndAnIPv6PeerTakeTurnsOnOneHost) {
    TForm1 other;
    ASSERT_NO_FATAL_FAILURE(Join(joiner, QStringLiteral("127.0.0.1")));
    EXPECT_EQ(host.ServerSocket1->Connections().front()->peerAddress().toString(), "127.0.0.1");
    ASSERT_NO_FATAL_FAILURE(PlayAndChat(joiner));
    ASSERT_NO_FATAL_FAILURE(Leave(joiner));
    ASSERT_NO_FATAL_FAILURE(Join(other, QStringLiteral("::1")));
    ASSERT_NO_FATAL_FAILURE(PlayAndChat(other));
    ASSERT_NO_FATAL_FAILURE(Leave(other));
    ASSERT_NO_FATAL_FAILURE(Join(joiner, QStringLiteral("127.0.0.1")));
    Say(host, "yine sen");
    ASSERT_TRUE(WaitFor([&] { return LastLogLine(joiner) == "<Oyuncu Adı> yine sen"; }));
    EXPECT_TRUE(Messages().isEmpty());
}

// Texts that are no address fail at once as an empty one does: one "Error", and the join side
// stays idle with its caption.
class Form1IPv6BadAddress : public Form1IPv6, public testing::WithParamInterface<const char*> { };

TEST_P(Form1IPv6BadAddress, FailsAtOnceAndLeavesTheJoinSideIdle) {
    ChooseJoin(joiner, QString::fromUtf8(GetParam()));
    joiner.BitBtn3->click();
    ExpectJoinFailedAtOnce(joiner);
    EXPECT_EQ(Panel(host, 0), "Bağlantı Yok");
}

INSTANTIATE_TEST_SUITE_P(Texts, Form1IPv6BadAddress,
    testing::Values("::1]", "[::1]:4567", "::1 ", "fe80::1%", "ip6-localhost", "::1/128"));

// A link-local address with a zone that names no interface of this machine is taken, and then
// fails through the connection error.
TEST_F(Form1IPv6, AZoneNamingNoInterfaceFailsThroughTheConnectionError) {
    ChooseJoin(joiner, QStringLiteral("fe80::1%yok0"));
    joiner.BitBtn3->click();
    ASSERT_TRUE(WaitFor([this] { return Panel(joiner, 0) == "Connection Error"; }));
    EXPECT_EQ(joiner.BitBtn3->text(), "Connect");
    EXPECT_TRUE(joiner.BitBtn3->isEnabled());
    EXPECT_EQ(EnabledModes(joiner), "SHJ");
    QTest::qWait(20);
    EXPECT_EQ(Messages(), QStringList({ "Error" }));
}

} // namespace
