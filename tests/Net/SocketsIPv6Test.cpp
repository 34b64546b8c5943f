// The window's TCP endpoints over IPv6 and over both families at once: the host listens on
// IPv4 as before and on IPv6 beside it, its one-connection limit spans both, and the client
// reaches an IPv6 host and sees its resets as it does over IPv4. Skipped where the machine has
// no IPv6 loopback.
#include "Net/ClientSocket.h"
#include "Net/HostAddress.h"
#include "Net/ServerSocket.h"
#include "tests/Net/IPv6TestUtil.h"
#include "tests/Net/NetTestUtil.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <cerrno>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

using nettest::WaitFor;

enum class Family { IPv4, IPv6 };

QHostAddress Loopback(Family family) {
    return family == Family::IPv4 ? QHostAddress(QHostAddress::LocalHost)
                                  : QHostAddress(QHostAddress::LocalHostIPv6);
}

const char* Name(Family family) {
    return family == Family::IPv4 ? "IPv4" : "IPv6";
}

class NetIPv6 : public testing::Test {
protected:
    void SetUp() override {
        PELLIUM_SKIP_WITHOUT_IPV6_LOOPBACK();
        port = nettest::FreeDualPort();
        server.SetPort(port);
        server.SetMaxConnections(1);
        client.SetPort(port);
        client.SetAddress(QStringLiteral("::1"));
        server.OnClientConnect = [this](TServerSocket*, QTcpSocket*) { ++serverConnects; };
        server.OnClientRead
            = [this](TServerSocket*, QTcpSocket* s) { serverBytes += s->readAll(); };
        server.OnClientError = [](TServerSocket*, QTcpSocket*, TErrorEvent, int) {
            ADD_FAILURE() << "server error";
        };
        client.OnRead = [this](TClientSocket*, QTcpSocket* s) { clientBytes += s->readAll(); };
    }

    // A raw peer connected to the host over the given family; returns once the host holds it.
    std::unique_ptr<QTcpSocket> RawPeer(Family family) {
        auto peer = std::make_unique<QTcpSocket>();
        peer->connectToHost(Loopback(family), static_cast<quint16>(port));
        EXPECT_TRUE(WaitFor([&] { return peer->state() == QAbstractSocket::ConnectedState; }));
        return peer;
    }

    int port = 0;
    TServerSocket server;
    TClientSocket client;
    int serverConnects = 0;
    QByteArray serverBytes;
    QByteArray clientBytes;
};

TEST_F(NetIPv6, BytesTravelBothWaysUnchangedOverIPv6) {
    server.Open();
    EXPECT_TRUE(server.ListensOnIPv6());
    client.Open();
    ASSERT_TRUE(WaitFor([this] { return client.Connected() && serverConnects == 1; }));
    QTcpSocket* connection = server.Connections().front();
    EXPECT_EQ(connection->peerAddress(), QHostAddress(QHostAddress::LocalHostIPv6));
    const QByteArray toServer("pE2E4\rm<Ad\xFD> x\r");
    ASSERT_TRUE(client.SendText(toServer));
    ASSERT_TRUE(server.SendText(connection, "r0\r"));
    EXPECT_TRUE(WaitFor([&] { return serverBytes == toServer && clientBytes == "r0\r"; }));
}

// An IPv4 peer reaches the host's IPv4 listener, as it did when the host listened on IPv4
// alone: its connection is an IPv4 one at both ends, not an IPv4-mapped IPv6 one.
TEST_F(NetIPv6, AnIPv4PeerIsAnIPv4ConnectionAsBefore) {
    server.Open();
    client.SetAddress(QStringLiteral("127.0.0.1"));
    client.Open();
    ASSERT_TRUE(WaitFor([this] { return client.Connected() && serverConnects == 1; }));
    const QTcpSocket* connection = server.Connections().front();
    EXPECT_EQ(connection->localAddress().toString(), "127.0.0.1");
    EXPECT_EQ(connection->peerAddress().toString(), "127.0.0.1");
    EXPECT_EQ(connection->localAddress().protocol(), QAbstractSocket::IPv4Protocol);
}

// The one-connection limit counts the connections of both families: while a peer of either
// family is connected, a stray of either family is closed unread and unnoticed.
class NetIPv6Strays : public NetIPv6,
                      public testing::WithParamInterface<std::tuple<Family, Family>> { };

TEST_P(NetIPv6Strays, AStrayOfEitherFamilyIsClosedWhileAPeerOfEitherIsConnected) {
    const auto [peerFamily, strayFamily] = GetParam();
    server.Open();
    std::unique_ptr<QTcpSocket> peer = RawPeer(peerFamily);
    ASSERT_TRUE(WaitFor([this] { return serverConnects == 1; }));

    std::unique_ptr<QTcpSocket> stray = RawPeer(strayFamily);
    QByteArray strayReceived;
    QObject::connect(
        stray.get(), &QTcpSocket::readyRead, [&] { strayReceived += stray->readAll(); });
    stray->write("pE2E4\r");
    ASSERT_TRUE(WaitFor([&] { return stray->state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_EQ(serverConnects, 1);
    EXPECT_EQ(server.Connections().size(), 1U);
    EXPECT_TRUE(serverBytes.isEmpty());
    EXPECT_TRUE(strayReceived.isEmpty());

    // The first peer goes on, both ways.
    QByteArray peerReceived;
    QObject::connect(peer.get(), &QTcpSocket::readyRead, [&] { peerReceived += peer->readAll(); });
    peer->write("m<p> hi\r");
    ASSERT_TRUE(server.SendText(server.Connections().front(), "r1\r"));
    EXPECT_TRUE(WaitFor([&] { return serverBytes == "m<p> hi\r" && peerReceived == "r1\r"; }));
}

INSTANTIATE_TEST_SUITE_P(Families, NetIPv6Strays,
    testing::Combine(
        testing::Values(Family::IPv4, Family::IPv6), testing::Values(Family::IPv4, Family::IPv6)),
    [](const testing::TestParamInfo<NetIPv6Strays::ParamType>& param) {
        return std::string(Name(std::get<0>(param.param))) + "PeerAnd"
            + Name(std::get<1>(param.param)) + "Stray";
    });

TEST_F(NetIPv6, CloseStopsListeningOnBothFamilies) {
    server.Open();
    server.Close();
    for (const Family family : { Family::IPv4, Family::IPv6 }) {
        SCOPED_TRACE(Name(family));
        QTcpSocket probe;
        probe.connectToHost(Loopback(family), static_cast<quint16>(port));
        EXPECT_TRUE(WaitFor([&] { return probe.state() == QAbstractSocket::UnconnectedState; }));
        EXPECT_EQ(probe.error(), QAbstractSocket::ConnectionRefusedError);
    }
    EXPECT_EQ(serverConnects, 0);
}

// A port that another program holds on IPv6 alone: the host listens on IPv4 as before.
TEST_F(NetIPv6, APortTakenOnIPv6AloneLeavesTheHostOnIPv4) {
    QTcpServer squatter;
    ASSERT_TRUE(squatter.listen(QHostAddress::AnyIPv6, static_cast<quint16>(port)));
    ASSERT_NO_THROW(server.Open());
    EXPECT_TRUE(server.Active());
    EXPECT_FALSE(server.ListensOnIPv6());
    client.SetAddress(QStringLiteral("127.0.0.1"));
    client.Open();
    EXPECT_TRUE(WaitFor([this] { return client.Connected() && serverConnects == 1; }));
}

// The host's IPv6 listener is opened again with the IPv4 one.
TEST_F(NetIPv6, OpenedAgainTheHostListensOnIPv6Again) {
    server.Open();
    server.Close();
    server.Open();
    EXPECT_TRUE(server.ListensOnIPv6());
    client.Open();
    EXPECT_TRUE(WaitFor([this] { return client.Connected() && serverConnects == 1; }));
}

// The forms of an IPv6 address the joiner may type reach the host.
TEST_F(NetIPv6, BracketsReachTheHost) {
    server.Open();
    client.SetAddress(QStringLiteral("[::1]"));
    client.Open();
    EXPECT_TRUE(WaitFor([this] { return client.Connected() && serverConnects == 1; }));
}

// A link-local address of this machine, with the zone of its interface, reaches the host (the
// connection stays inside the machine). Skipped where no interface has one.
TEST_F(NetIPv6, ALinkLocalAddressWithItsZoneReachesTheHost) {
    QString linkLocal;
    for (const TInterfaceAddress& entry : MachineAddresses())
        if (entry.InterfaceUp && entry.Address.protocol() == QAbstractSocket::IPv6Protocol
            && entry.Address.isLinkLocal() && !entry.Address.scopeId().isEmpty()) {
            linkLocal = entry.Address.toString(); // with its zone, "fe80::…%eth0"
            break;
        }
    if (linkLocal.isEmpty()) GTEST_SKIP() << "no link-local IPv6 address on this machine";
    ASSERT_FALSE(ParseHostAddress(linkLocal).isNull()) << linkLocal.toStdString();
    server.Open();
    client.SetAddress(linkLocal);
    client.Open();
    EXPECT_TRUE(WaitFor([this] { return client.Connected() && serverConnects == 1; }))
        << linkLocal.toStdString();
}

TEST_F(NetIPv6, JoiningAnIPv6AddressWhereNobodyListensIsAConnectError) {
    TErrorEvent kind = TErrorEvent::eeGeneral;
    int code = 0;
    client.OnError = [&](TClientSocket*, QTcpSocket*, TErrorEvent k, int c) {
        kind = k;
        code = c;
    };
    client.Open();
    ASSERT_TRUE(WaitFor([&] { return code != 0; }));
    EXPECT_EQ(kind, TErrorEvent::eeConnect);
    EXPECT_EQ(code, ECONNREFUSED);
}

// A host on IPv6 that resets the link: an error on the client endpoint first, then its
// disconnect, as over IPv4.
TEST_F(NetIPv6, AResetOfAnIPv6LinkIsAnErrorThenADisconnect) {
    QTcpServer rawHost;
    ASSERT_TRUE(rawHost.listen(QHostAddress::LocalHostIPv6, 0));
    client.SetPort(rawHost.serverPort());
    std::vector<std::string> events;
    client.OnError = [&](TClientSocket*, QTcpSocket*, TErrorEvent kind, int code) {
        events.push_back(kind == TErrorEvent::eeReceive && code == ECONNRESET ? "reset" : "other");
    };
    client.OnDisconnect = [&](TClientSocket*, QTcpSocket*) { events.push_back("disconnect"); };
    client.Open();
    ASSERT_TRUE(WaitFor([&] { return rawHost.hasPendingConnections(); }));
    std::unique_ptr<QTcpSocket> peer(rawHost.nextPendingConnection());
    ASSERT_TRUE(WaitFor([this] { return client.Connected(); }));
    nettest::DropSocket(*peer, nettest::Leave::Reset);
    ASSERT_TRUE(WaitFor([&] { return !events.empty() && events.back() == "disconnect"; }));
    EXPECT_EQ(events, (std::vector<std::string> { "reset", "disconnect" }));
}

} // namespace
