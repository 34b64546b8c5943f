// The main window against a raw-socket peer that speaks bytes: what Pellium sends, byte for
// byte, and how it takes what a peer sends (split messages, line breaks, control characters,
// floods, messages arriving while another one is being handled).
#include "Form1NetworkTestUtil.h"
#include "Widgets/RadioGroup.h"

#include <QTcpSocket>

using namespace nettest;

namespace {

// Pellium hosting, the test joining with a plain socket.
class Form1NetworkWire : public testing::Test {
protected:
    void SetUp() override {
        PelliumApp()->ClearRecordedMessages();
        const int port = FreePort();
        UsePort(host, port);
        ChooseHost(host);
        peer.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
        ASSERT_TRUE(WaitFor([this] { return Panel(host, 0) == "Connected"; }));
        QObject::connect(&peer, &QTcpSocket::readyRead, [this] { received += peer.readAll(); });
    }

    void Send(const QByteArray& bytes) {
        peer.write(bytes);
        peer.flush();
    }

    // Waits for exactly these bytes from Pellium (and nothing more), then forgets them.
    void ExpectReceived(const QByteArray& bytes) {
        // Until they are all here, or the link is gone and no more can come.
        WaitFor([&] {
            return received.size() >= bytes.size()
                || peer.state() == QAbstractSocket::UnconnectedState;
        });
        QTest::qWait(10);
        EXPECT_EQ(received.toHex(' '), bytes.toHex(' '));
        received.clear();
    }

    void StartAsWhite() {
        host.RadioGroup1->SetItemIndex(0);
        host.BitBtn4->click();
        ExpectReceived("r0\r");
    }

    TForm1 host;
    QTcpSocket peer;
    QByteArray received;
};

TEST_F(Form1NetworkWire, MovesStartsAndChatLeaveAsExactBytes) {
    host.RadioGroup1->SetItemIndex(1);
    host.BitBtn4->click();
    ExpectReceived(QByteArray::fromHex("72310D")); // r1 CR
    StartAsWhite();
    ASSERT_TRUE(host.GameBoard1->UserMove(Square::E2, Square::E4));
    ExpectReceived(QByteArray::fromHex("70453245340D")); // pE2E4 CR

    host.Edit2->setText("Oyuncu Adı");
    Say(host, "şç");
    ExpectReceived("m<Oyuncu Ad\xFD> \xFE\xE7\r");
}

TEST_F(Form1NetworkWire, PastedLineBreaksNeverReachTheWire) {
    host.Edit2->setText("a\r\nb");
    host.Edit1->setText("x\rpE7E5\ny");
    QTest::keyClick(host.Edit1, Qt::Key_Return);
    ExpectReceived("m<ab> xpE7E5y\r");
    EXPECT_EQ(LastLogLine(host), "<ab> xpE7E5y");
}

TEST_F(Form1NetworkWire, ReceivedMovesArePlayedAndAnsweredWithTheLocalMove) {
    host.RadioGroup1->SetItemIndex(1); // the host plays Black, the peer White
    host.BitBtn4->click();
    ExpectReceived("r1\r");
    Send("pe2e4\r");
    ASSERT_TRUE(WaitFor([this] { return host.GameBoard1->Tag() == 0; }));
    EXPECT_EQ(Panel(host, 2), "Turn: Black");
    ASSERT_TRUE(host.GameBoard1->UserMove(Square::E7, Square::E5));
    ExpectReceived("pE7E5\r");
}

TEST_F(Form1NetworkWire, AMessageSplitBetweenReadsIsCompleted) {
    host.RadioGroup1->SetItemIndex(1);
    host.BitBtn4->click();
    ExpectReceived("r1\r");
    QTcpSocket* connection = host.ServerSocket1->Connections().front();
    Send("pE2");
    // The first half arrives in a read of its own and waits in the connection's framing.
    ASSERT_TRUE(WaitFor([&] { return FramedBytes(host, connection) == 3; }));
    EXPECT_EQ(host.GameBoard1->Tag(), 1);
    Send("E4\rm<pe");
    ASSERT_TRUE(WaitFor([&] { return FramedBytes(host, connection) == 4; }));
    EXPECT_EQ(host.GameBoard1->Tag(), 0); // the move is complete and played
    Send("er> selam\r");
    ASSERT_TRUE(WaitFor([this] { return LastLogLine(host) == "<peer> selam"; }));
    EXPECT_EQ(host.GameBoard1->Position().substr(36, 1), "P"); // the pawn stands on E4
    EXPECT_EQ(host.GameBoard1->Tag(), 0);
}

TEST_F(Form1NetworkWire, RefusedAndUnknownMessagesAreDroppedSilently) {
    StartAsWhite(); // White is to move, so a black move is refused
    const std::string before = host.GameBoard1->Position();
    Send("pE7E5\rpE9E4\rp\r\r\nm<x> after LF\rxyz\rm<x> last\r");
    ASSERT_TRUE(WaitFor([this] { return LastLogLine(host) == "<x> last"; }));
    EXPECT_EQ(host.GameBoard1->Position(), before);
    EXPECT_EQ(host.GameBoard1->Tag(), 0);
    EXPECT_EQ(host.Memo1->document()->blockCount(), 1); // the LF made "m<x> after LF" unknown
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(Form1NetworkWire, ControlCharactersShowAsOneVisibleLine) {
    const char raw[] = "m<x> a\x00"
                       "b\ncd\x01<b>e</b>\r";
    Send(QByteArray(raw, sizeof(raw) - 1));
    ASSERT_TRUE(WaitFor([this] {
        return host.Memo1->document()->blockCount() == 1 && !LastLogLine(host).isEmpty();
    }));
    EXPECT_EQ(LastLogLine(host), QStringLiteral("<x> a␀b␊cd␁<b>e</b>"));
}

TEST_F(Form1NetworkWire, AFloodWithoutCrIsDroppedAndTheLinkGoesOn) {
    StartAsWhite();
    ASSERT_TRUE(host.GameBoard1->UserMove(Square::E2, Square::E4));
    ExpectReceived("pE2E4\r");
    Send("m" + QByteArray(1 << 20, 'x'));
    Send("still the flood\rpE7E5\rm<x> hi\r");
    ASSERT_TRUE(WaitFor([this] { return LastLogLine(host) == "<x> hi"; }));
    EXPECT_EQ(host.GameBoard1->Tag(), 0); // the move after the flood was played
    EXPECT_EQ(host.Memo1->document()->blockCount(), 1);
}

// A message that arrives while another one is still being handled (here: a handler of the
// board running an event loop in the middle of a received move, while the peer sends a game
// start) waits until that move is complete, and is then handled.
TEST_F(Form1NetworkWire, AStartArrivingInsideAMoveWaitsForTheMoveToFinish) {
    host.RadioGroup1->SetItemIndex(1);
    host.BitBtn4->click();
    ExpectReceived("r1\r");
    QTcpSocket* connection = host.ServerSocket1->Connections().front();
    // 1 e4 f5: the queen's diagonal to h5 and on to e8 is open.
    host.GameBoard1->SetPosition(
        "rnbqkbnrppppp pp             p      P           PPPP PPPRNBQKBNR");
    bool startedInside = false;
    int checks = 0;
    host.GameBoard1->OnCheck = [&](TChessModel*, Square, Square) {
        ++checks;
        Send("r0\r");
        // The start arrives now, while the move is still being made.
        EXPECT_TRUE(WaitFor([&] { return ArrivedBytes(connection) > 0; }));
        startedInside = host.GameBoard1->Position() == TChessModel::StartPosition;
    };
    Send("pD1H5\r"); // a check
    ASSERT_TRUE(
        WaitFor([this] { return host.GameBoard1->Position() == TChessModel::StartPosition; }));
    EXPECT_EQ(checks, 1);
    EXPECT_FALSE(startedInside);
    EXPECT_EQ(host.GameBoard1->Tag(), 1); // from r0: the host now plays Black
}

// The socket whose read is being handled does not announce new bytes again while that read
// runs; what the same peer sent meanwhile is still handled once the move is complete.
TEST_F(Form1NetworkWire, BytesFromTheSamePeerArrivingInsideAMoveAreNotLost) {
    host.RadioGroup1->SetItemIndex(1);
    host.BitBtn4->click();
    ExpectReceived("r1\r");
    host.GameBoard1->SetPosition(
        "rnbqkbnrppppp pp             p      P           PPPP PPPRNBQKBNR");
    QTcpSocket* connection = host.ServerSocket1->Connections().front();
    host.GameBoard1->OnCheck = [&](TChessModel*, Square, Square) {
        Send("m<x> during\r");
        EXPECT_TRUE(WaitFor([&] { return ArrivedBytes(connection) > 0; }));
        EXPECT_TRUE(host.Memo1->document()->isEmpty());
    };
    Send("pD1H5\r");
    ASSERT_TRUE(WaitFor([this] { return LastLogLine(host) == "<x> during"; }));
}

TEST_F(Form1NetworkWire, AFailedSendInsideAMoveLetsTheMoveFinishThenReportsIt) {
    StartAsWhite();
    // The link reads as up, but there is no connection left to send on.
    host.ServerSocket1->Close();
    ASSERT_TRUE(host.ServerSocket1->Connections().empty());
    ASSERT_EQ(Panel(host, 0), "Connected");
    host.GameBoard1->SetPosition(
        "r   k  rpppppppp                                PPPPPPPPR   K  R");
    ASSERT_TRUE(host.GameBoard1->UserMove(Square::E1, Square::G1));
    // Castling finished on the local board: the rook has moved too.
    EXPECT_EQ(host.GameBoard1->Position().substr(56), "R    RK ");
    EXPECT_TRUE(Messages().isEmpty()); // nothing reported inside the move
    ASSERT_TRUE(WaitFor([] { return !Messages().isEmpty(); }));
    EXPECT_EQ(Messages(), QStringList({ "Error" }));
}

// Pellium joining, the test hosting with a plain listening socket.
TEST(Form1NetworkWireJoin, TheJoinerTakesTheOtherColourAndSendsItsMoves) {
    PelliumApp()->ClearRecordedMessages();
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    TForm1 joiner;
    UsePort(joiner, server.serverPort());
    ChooseJoin(joiner);
    joiner.BitBtn3->click();
    ASSERT_EQ(WaitForJoinOutcome(joiner), "Connected");
    ASSERT_TRUE(WaitFor([&] { return server.hasPendingConnections(); }));
    QTcpSocket* peer = server.nextPendingConnection();
    QByteArray received;
    QObject::connect(peer, &QTcpSocket::readyRead, [&] { received += peer->readAll(); });

    peer->write("r0\rpE2E4\r");
    ASSERT_TRUE(
        WaitFor([&] { return joiner.GameBoard1->Tag() == 0 && joiner.GameBoard1->isEnabled(); }));
    EXPECT_TRUE(joiner.GameBoard1->WhiteOnTop());
    EXPECT_EQ(Panel(joiner, 2), "Turn: Black");
    ASSERT_TRUE(joiner.GameBoard1->UserMove(Square::E7, Square::E5));
    ASSERT_TRUE(WaitFor([&] { return received == "pE7E5\r"; }));

    peer->write("r2\r");
    ASSERT_TRUE(
        WaitFor([&] { return joiner.GameBoard1->Position() == TChessModel::StartPosition; }));
    EXPECT_EQ(joiner.GameBoard1->Tag(), 0);
    EXPECT_FALSE(joiner.GameBoard1->WhiteOnTop());

    peer->close();
    ASSERT_EQ(WaitForLinkDown(joiner), "Disconnected");
    EXPECT_EQ(joiner.BitBtn3->text(), "Connect");
    EXPECT_TRUE(Messages().isEmpty());
}

} // namespace
