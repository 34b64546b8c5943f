// The window's TCP endpoints on loopback: notifications, close semantics and errors.
#include "Net/ClientSocket.h"
#include "Net/ServerSocket.h"
#include "tests/Net/NetTestUtil.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <algorithm>
#include <cerrno>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

// Records every notification of both endpoints as text, in order.
struct Recorder {
    std::vector<std::string> events;
    void Add(const std::string& e) { events.push_back(e); }
    bool Has(const std::string& e) const {
        return std::find(events.begin(), events.end(), e) != events.end();
    }
};

class NetEndpoints : public testing::Test {
protected:
    void SetUp() override {
        port = nettest::FreePort();
        server.SetPort(port);
        client.SetPort(port);
        client.SetAddress(QStringLiteral("127.0.0.1"));
        server.OnClientConnect = [this](TServerSocket*, QTcpSocket*) { log.Add("server connect"); };
        server.OnClientDisconnect
            = [this](TServerSocket*, QTcpSocket*) { log.Add("server disconnect"); };
        server.OnClientRead
            = [this](TServerSocket*, QTcpSocket* s) { serverBytes += s->readAll(); };
        server.OnClientError
            = [this](TServerSocket*, QTcpSocket*, TErrorEvent, int) { log.Add("server error"); };
        client.OnConnect = [this](TClientSocket*, QTcpSocket*) { log.Add("client connect"); };
        client.OnDisconnect = [this](TClientSocket*, QTcpSocket*) { log.Add("client disconnect"); };
        client.OnRead = [this](TClientSocket*, QTcpSocket* s) { clientBytes += s->readAll(); };
        client.OnError = [this](TClientSocket*, QTcpSocket*, TErrorEvent kind, int) {
            log.Add(kind == TErrorEvent::eeConnect ? "client connect error" : "client error");
        };
    }

    void ConnectBoth() {
        server.Open();
        client.Open();
        // Until both ends have the connection, or the attempt has failed.
        ASSERT_TRUE(QTest::qWaitFor(
            [this] {
                return (client.Connected() && server.Connections().size() == 1)
                    || log.Has("client connect error");
            },
            5000));
        ASSERT_FALSE(log.Has("client connect error"));
        ASSERT_TRUE(QTest::qWaitFor(
            [this] { return log.Has("client connect") && log.Has("server connect"); }, 5000));
    }

    int port = 0;
    TServerSocket server;
    TClientSocket client;
    Recorder log;
    QByteArray serverBytes;
    QByteArray clientBytes;
};

TEST_F(NetEndpoints, BytesTravelBothWaysUnchanged) {
    ASSERT_NO_FATAL_FAILURE(ConnectBoth());
    const QByteArray toServer("pE2E4\rm<Ad\xFD> x\r");
    ASSERT_TRUE(client.SendText(toServer));
    ASSERT_TRUE(server.SendText(server.Connections().front(), "r0\r"));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return serverBytes == toServer && clientBytes == "r0\r"; }, 5000));
}

TEST_F(NetEndpoints, ClientCloseNotifiesBeforeReturningAndPeerSeesADisconnect) {
    ASSERT_NO_FATAL_FAILURE(ConnectBoth());
    client.Close();
    EXPECT_EQ(log.events.back(), "client disconnect");
    EXPECT_FALSE(client.Connected());
    EXPECT_TRUE(QTest::qWaitFor([this] { return log.Has("server disconnect"); }, 5000));
    EXPECT_TRUE(server.Connections().empty());
    EXPECT_TRUE(server.Active()); // still listening
    QTest::qWait(20);
    EXPECT_FALSE(log.Has("server error"));
    EXPECT_FALSE(log.Has("client error"));
}

TEST_F(NetEndpoints, ServerCloseDropsPeersWithoutItsOwnNotification) {
    ASSERT_NO_FATAL_FAILURE(ConnectBoth());
    server.Close();
    EXPECT_FALSE(server.Active());
    EXPECT_TRUE(server.Connections().empty());
    EXPECT_TRUE(QTest::qWaitFor([this] { return log.Has("client disconnect"); }, 5000));
    EXPECT_FALSE(log.Has("server disconnect"));
    EXPECT_FALSE(log.Has("client error")); // a peer closing is not an error
    // Open again at once on the same port: the listener is back.
    EXPECT_NO_THROW(server.Open());
    client.Open();
    EXPECT_TRUE(QTest::qWaitFor([this] { return server.Connections().size() == 1; }, 5000));
}

TEST_F(NetEndpoints, ClosingANeverOpenedOrFailedClientIsSilent) {
    client.Close();
    client.Open(); // nobody listens on the port
    EXPECT_TRUE(log.events.empty()); // the outcome never arrives inside Open
    EXPECT_TRUE(QTest::qWaitFor([this] { return log.Has("client connect error"); }, 5000));
    client.Close();
    QTest::qWait(20);
    EXPECT_EQ(log.events, std::vector<std::string> { "client connect error" });
}

TEST_F(NetEndpoints, ErrorOfAnAttemptClosedMeanwhileIsNotReported) {
    client.Open(); // refused later
    client.Close();
    QTest::qWait(50);
    EXPECT_TRUE(log.events.empty());
}

TEST_F(NetEndpoints, ConnectionsAreKeptInOrderOfAcceptance) {
    ASSERT_NO_FATAL_FAILURE(ConnectBoth());
    QTcpSocket second;
    second.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
    ASSERT_TRUE(QTest::qWaitFor([this] { return server.Connections().size() == 2; }, 5000));
    ASSERT_TRUE(server.SendText(server.Connections().front(), "m1\r"));
    EXPECT_TRUE(QTest::qWaitFor([this] { return clientBytes == "m1\r"; }, 5000));
    second.disconnectFromHost();
    EXPECT_TRUE(QTest::qWaitFor([this] { return server.Connections().size() == 1; }, 5000));
    ASSERT_TRUE(server.SendText(server.Connections().front(), "m2\r"));
    EXPECT_TRUE(QTest::qWaitFor([this] { return clientBytes == "m1\rm2\r"; }, 5000));
}

TEST_F(NetEndpoints, AConnectionBeyondTheMaximumIsClosedUnnoticedUntilARoomIsFree) {
    server.SetMaxConnections(1);
    ASSERT_NO_FATAL_FAILURE(ConnectBoth());
    QTcpSocket extra;
    QByteArray extraReceived;
    QObject::connect(&extra, &QTcpSocket::readyRead, [&] { extraReceived += extra.readAll(); });
    extra.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
    ASSERT_TRUE(QTest::qWaitFor([&] { return extra.state() == QAbstractSocket::ConnectedState; }));
    extra.write("pE2E4\r");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return extra.state() == QAbstractSocket::UnconnectedState; }, 5000));
    EXPECT_EQ(server.Connections().size(), 1U);
    EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "server connect"), 1);
    EXPECT_TRUE(serverBytes.isEmpty());
    EXPECT_TRUE(extraReceived.isEmpty());
    EXPECT_FALSE(log.Has("server error"));
    EXPECT_FALSE(log.Has("server disconnect"));

    client.Close();
    ASSERT_TRUE(QTest::qWaitFor([this] { return log.Has("server disconnect"); }, 5000));
    client.Open();
    ASSERT_TRUE(QTest::qWaitFor([this] { return server.Connections().size() == 1; }, 5000));
    EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "server connect"), 2);
}

// The peer of the client endpoint ends the connection in order or with a reset.
struct PeerEnd {
    const char* name;
    bool reset;
    std::vector<std::string> events; // of the client endpoint, after "client connect"
};

void PrintTo(const PeerEnd& c, std::ostream* os) {
    *os << c.name;
}

class NetClientPeerEnd : public NetEndpoints, public testing::WithParamInterface<PeerEnd> { };

TEST_P(NetClientPeerEnd, AnOrderlyCloseIsADisconnectAndAResetAnErrorFirst) {
    QTcpServer rawHost;
    ASSERT_TRUE(rawHost.listen(QHostAddress::LocalHost, 0));
    client.SetPort(rawHost.serverPort());
    TErrorEvent kind = TErrorEvent::eeGeneral;
    int code = 0;
    client.OnError = [&](TClientSocket*, QTcpSocket*, TErrorEvent k, int c) {
        kind = k;
        code = c;
        log.Add("client error");
    };
    client.Open();
    // Until both ends have the connection, or the attempt has failed.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return (rawHost.hasPendingConnections() && client.Connected())
                || log.Has("client error");
        },
        5000));
    ASSERT_FALSE(log.Has("client error"));
    std::unique_ptr<QTcpSocket> peer(rawHost.nextPendingConnection());
    log.events.clear();
    nettest::DropSocket(*peer, GetParam().reset ? nettest::Leave::Reset : nettest::Leave::Close);
    ASSERT_TRUE(QTest::qWaitFor([this] { return log.Has("client disconnect"); }, 5000));
    EXPECT_EQ(log.events, GetParam().events);
    EXPECT_FALSE(client.Connected());
    EXPECT_EQ(client.Socket(), nullptr);
    if (GetParam().reset) {
        EXPECT_EQ(kind, TErrorEvent::eeReceive);
        EXPECT_EQ(code, ECONNRESET);
    }
}

INSTANTIATE_TEST_SUITE_P(Ends, NetClientPeerEnd,
    testing::Values(PeerEnd { "InOrder", false, { "client disconnect" } },
        PeerEnd { "Reset", true, { "client error", "client disconnect" } }),
    [](const testing::TestParamInfo<PeerEnd>& param) { return std::string(param.param.name); });

TEST_F(NetEndpoints, ListeningOnAPortInUseThrows) {
    QTcpServer squatter;
    ASSERT_TRUE(squatter.listen(QHostAddress::AnyIPv4, static_cast<quint16>(port)));
    EXPECT_THROW(server.Open(), TSocketError);
    EXPECT_FALSE(server.Active());
}

TEST(NetAddress, OnlyDottedIPv4IsAccepted) {
    EXPECT_EQ(ParseDottedIPv4("127.0.0.1"), QHostAddress(QStringLiteral("127.0.0.1")));
    EXPECT_EQ(ParseDottedIPv4("192.168.001.020"), QHostAddress(QStringLiteral("192.168.1.20")));
    EXPECT_EQ(ParseDottedIPv4("255.255.255.255"), QHostAddress(QStringLiteral("255.255.255.255")));
    for (const char* bad : { "", "localhost", "127.0.0", "127.0.0.1.5", "256.0.0.1", "1..2.3",
             "::1", " 127.0.0.1", "127.0.0.1 ", "1234.0.0.1", "+1.2.3.4", "0x7f.0.0.1" }) {
        SCOPED_TRACE(bad);
        EXPECT_TRUE(ParseDottedIPv4(QString::fromLatin1(bad)).isNull());
    }
}

TEST(NetAddress, ClientRefusesToOpenWithoutADottedAddress) {
    TClientSocket client;
    bool notified = false;
    client.OnError = [&](TClientSocket*, QTcpSocket*, TErrorEvent, int) { notified = true; };
    for (const char* bad : { "", "localhost" }) {
        client.SetAddress(QString::fromLatin1(bad));
        EXPECT_THROW(client.Open(), TSocketError);
    }
    QTest::qWait(10);
    EXPECT_FALSE(notified);
}

} // namespace
