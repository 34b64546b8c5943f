// The main window against a hostile peer on loopback, once hosting (the peer is a raw client
// socket) and once joined (the peer is a raw listening socket the window connects to). The peer
// sends a megabyte without a CR; bursts of 10,000 tiny messages (chat lines, moves legal and
// not, games started and played over and over, mates); long chat lines; random bytes; it
// connects and drops 500 times in a row; it closes right after a burst or in the middle of a
// message. After each case the window must still play and chat normally, its memory and its
// buffers must not have grown beyond a small bound, the user must have been able to act while
// a flood was being handled, and no storm of message boxes may bury the user. The cases that
// concern the link rather than the window's log run over the IPv6 loopback as well.
#include "Form1NetworkTestUtil.h"
#include "Unit1/PelliumApplication.h"
#include "Widgets/MessageBox.h"
#include "Widgets/RadioGroup.h"
#include "support/ProcessMemory.h"
#include "tests/Net/IPv6TestUtil.h"

#include <QDeadlineTimer>
#include <QScopeGuard>
#include <QTcpSocket>
#include <QTextBlock>
#include <QTimer>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <sys/socket.h>

using namespace nettest;

namespace {

// ---- Memory of this process ----

using process_memory::MiB;
using process_memory::PeakResidentBytes;
using process_memory::ResetPeakResident;
using process_memory::ResidentBytes;
using process_memory::ResidentSizeIsTheProgramsOwn;

// What one case may leave behind, and what it may use at its worst, in resident memory.
constexpr qint64 kResidentGrowthBound = 16 * MiB;
constexpr qint64 kPeakGrowthBound = 32 * MiB;

constexpr int kFloodGames = 50000;

// Runs the event loop (as the program's loop does, without pausing between rounds) until done()
// holds; false after 60 seconds, which only a slow sanitizer build may come near.
bool PumpUntil(const std::function<bool()>& done) {
    QTimer wake; // so that waiting for more events never outlasts the deadline
    wake.start(10);
    const QDeadlineTimer deadline(60000);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

// Runs the event loop from inside one of the window's handlers, as the program's own waits
// there do (StopThinking while the engine parks), until done() holds; false after 10 seconds.
// Unlike PumpUntil it forces no deferred deletion: Qt leaves those to the loop that posted them,
// as a socket whose notification is still running on the stack must outlive it.
bool WaitInsideAHandler(const std::function<bool()>& done) {
    QTimer wake;
    wake.start(10);
    const QDeadlineTimer deadline(10000);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

enum class Role { Hosting, Joined };

const std::string kAfterE4 = "rnbqkbnrpppppppp                    P           PPPP PPPRNBQKBNR";
// 1 e4 f5: the white queen's diagonal to h5 and on to e8 is open.
const std::string kAfterE4F5 = "rnbqkbnrppppp pp             p      P           PPPP PPPRNBQKBNR";

class HostileNet;
struct HostileCase {
    const char* name;
    void (HostileNet::*run)();
    bool overIPv6 = false; // the window and the peer meet on ::1 instead of 127.0.0.1
};

void PrintTo(const HostileCase& c, std::ostream* os) {
    *os << c.name;
}
void PrintTo(Role role, std::ostream* os) {
    *os << (role == Role::Hosting ? "Hosting" : "Joined");
}

class HostileNet : public testing::TestWithParam<std::tuple<Role, HostileCase>> {
protected:
    void SetUp() override {
        if (std::get<1>(GetParam()).overIPv6) {
            PELLIUM_SKIP_WITHOUT_IPV6_LOOPBACK();
        }
        PelliumApp()->ClearRecordedMessages();
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        if (Hosting()) {
            UsePort(form, FreePort());
            ChooseHost(form);
            ASSERT_TRUE(form.ServerSocket1->Active());
            ASSERT_TRUE(!std::get<1>(GetParam()).overIPv6 || form.ServerSocket1->ListensOnIPv6());
        } else {
            ASSERT_TRUE(listener.listen(Loopback(), 0));
            UsePort(form, listener.serverPort());
            ChooseJoin(form, Loopback().toString());
        }
    }

    bool Hosting() const { return std::get<0>(GetParam()) == Role::Hosting; }

    // The loopback address the window and the test's raw peer meet on.
    QHostAddress Loopback() const {
        return QHostAddress(std::get<1>(GetParam()).overIPv6 ? QHostAddress::LocalHostIPv6
                                                             : QHostAddress::LocalHost);
    }

    // ---- The link between the window and the test's raw peer ----

    // A new connection to the window, established on both sides: the window reads
    // "Connected". Everything the window sends on it is collected in received.
    void OpenLink() {
        received.clear();
        if (Hosting()) {
            peer = std::make_unique<QTcpSocket>();
            peer->connectToHost(Loopback(), static_cast<quint16>(form.ServerSocket1->Port()));
            // Until the window has taken the connection, or the attempt has failed.
            PumpUntil([this] {
                return peer->state() == QAbstractSocket::UnconnectedState
                    || (peer->state() == QAbstractSocket::ConnectedState
                        && form.ServerSocket1->Connections().size() == 1);
            });
            ASSERT_EQ(peer->state(), QAbstractSocket::ConnectedState);
            ASSERT_EQ(form.ServerSocket1->Connections().size(), 1U);
        } else {
            ASSERT_NE(form.BitBtn3->text(), "Disconnect");
            form.BitBtn3->click();
            // Until the listener has the connection, or the window's attempt has ended (its
            // button is enabled again) without it.
            PumpUntil(
                [this] { return listener.hasPendingConnections() || form.BitBtn3->isEnabled(); });
            ASSERT_TRUE(listener.hasPendingConnections()) << Panel(form, 0).toStdString();
            peer.reset(listener.nextPendingConnection());
            peer->setParent(nullptr);
            PumpUntil([this] { return form.BitBtn3->isEnabled(); }); // the attempt's outcome
        }
        ASSERT_EQ(Panel(form, 0), "Connected");
        QObject::connect(
            peer.get(), &QTcpSocket::readyRead, [this] { received += peer->readAll(); });
    }

    void Send(const QByteArray& bytes) {
        peer->write(bytes);
        peer->flush();
    }

    // Sends a chat line after a CR that ends whatever came before, and waits until the window
    // has logged it: everything the peer sent before has then been handled.
    void Sync() {
        const QString tag = QStringLiteral("<sync> %1").arg(++syncs);
        Send("\rm" + tag.toLatin1() + "\r");
        ASSERT_TRUE(PumpUntil([&] {
            Sample();
            return LastLogLine(form) == tag;
        })) << "last log line: "
            << LastLogLine(form).left(80).toStdString();
    }

    // The window's open connections.
    std::vector<QTcpSocket*> WindowSockets() const {
        std::vector<QTcpSocket*> sockets = form.ServerSocket1->Connections();
        if (QTcpSocket* client = form.ClientSocket1->Socket()) sockets.push_back(client);
        return sockets;
    }

    // Runs the event loop until the window's link is down, in order or with an error, and
    // returns what status panel 0 reads then: the caller checks which end it was, and never
    // waits out the deadline for one end when the link has reached the other.
    QString PumpUntilLinkDown() {
        PumpUntil([this] { return kLinkDownStates.contains(Panel(form, 0)); });
        return Panel(form, 0);
    }

    // Records the most that any of the window's connections holds of what it has received:
    // in the socket's buffer, and in its framing buffer.
    void Sample() {
        for (QTcpSocket* socket : WindowSockets()) {
            maxSocketBuffered = std::max(maxSocketBuffered, socket->bytesAvailable());
            maxBuffered = std::max(maxBuffered, FramedBytes(form, socket));
        }
    }

    // Waits for exactly these bytes from the window, then forgets them.
    void ExpectReceived(const QByteArray& bytes) {
        // Until they are all here, or the link is gone and no more can come.
        PumpUntil([&] {
            return received.size() >= bytes.size()
                || peer->state() == QAbstractSocket::UnconnectedState;
        });
        QTest::qWait(10);
        EXPECT_EQ(received.toHex(' '), bytes.toHex(' '));
        received.clear();
    }

    // A game start as the window's host side would have it: the window plays White.
    void StartWithWindowAsWhite() {
        if (Hosting()) {
            form.RadioGroup1->SetItemIndex(0);
            form.BitBtn4->click();
            ExpectReceived("r0\r");
        } else {
            Send("r1\r");
            ASSERT_NO_FATAL_FAILURE(Sync());
            ASSERT_TRUE(form.GameBoard1->isEnabled());
            ASSERT_EQ(form.GameBoard1->Tag(), 0);
            ASSERT_EQ(form.GameBoard1->Position(), TChessModel::StartPosition);
        }
    }

    // ---- After each case: a well-behaved peer plays and chats with the window ----

    void ExpectPlaysAndChats() {
        TGameBoard& board = *form.GameBoard1;
        // Everything before is handled (a closed connection's last messages too).
        ASSERT_NO_FATAL_FAILURE(Sync());
        QTest::qWait(20); // what the window sent before (moves it played and echoed) arrives
        received.clear();
        if (Hosting()) {
            // The window hosts and takes White; the peer answers 1 e4 with e5.
            form.RadioGroup1->SetItemIndex(0);
            form.BitBtn4->click();
            ExpectReceived("r0\r");
            ASSERT_EQ(board.Tag(), 0);
            ASSERT_TRUE(board.UserMove(Square::E2, Square::E4));
            ExpectReceived("pE2E4\r");
            Send("pE7E5\r");
        } else {
            // The peer hosts and takes White; the window answers 1 e4 with e5.
            Send("r0\rpE2E4\r");
            ASSERT_NO_FATAL_FAILURE(Sync());
            ASSERT_EQ(board.Position(), kAfterE4);
            EXPECT_EQ(board.Tag(), 0);
            EXPECT_TRUE(board.isEnabled());
            EXPECT_TRUE(board.WhiteOnTop());
            ASSERT_TRUE(board.UserMove(Square::E7, Square::E5));
            ExpectReceived("pE7E5\r");
        }
        ASSERT_TRUE(PumpUntil([&] { return board.Position().substr(28, 1) == "p"; }));
        EXPECT_EQ(
            board.Position(), "rnbqkbnrpppp ppp            p       P           PPPP PPPRNBQKBNR");
        EXPECT_EQ(board.Tag(), Hosting() ? 0 : 1);
        EXPECT_EQ(Panel(form, 2), "Turn: White");

        Send("m<peer> merhaba\r");
        ASSERT_TRUE(PumpUntil([this] { return LastLogLine(form) == "<peer> merhaba"; }));
        form.Edit2->setText("Oyuncu Adı");
        Say(form, "selam");
        ExpectReceived("m<Oyuncu Ad\xFD> selam\r");
        EXPECT_EQ(LastLogLine(form), "<Oyuncu Adı> selam");
    }

public:
    // ---- The hostile cases ----

    // (a) A megabyte without a CR, then the rest of the stream.
    void MegabyteWithoutCr() {
        ASSERT_NO_FATAL_FAILURE(OpenLink());
        Send("m" + QByteArray(MiB, 'x'));
        ASSERT_TRUE(PumpUntil([this] {
            Sample();
            return peer->bytesToWrite() == 0 || peer->state() == QAbstractSocket::UnconnectedState;
        }));
        ASSERT_EQ(peer->state(), QAbstractSocket::ConnectedState);
        ASSERT_NO_FATAL_FAILURE(Sync());
        EXPECT_LE(maxBuffered, TWireReader::MaxMessageSize);
        EXPECT_EQ(form.Memo1->document()->blockCount(), 1); // only the sync line
    }

    // (b) 10,000 chat lines in one burst: the log keeps the latest 5,000.
    void ChatBurst() {
        ASSERT_NO_FATAL_FAILURE(OpenLink());
        QByteArray burst;
        for (int i = 0; i < 10000; ++i) burst += "m<p> " + QByteArray::number(i) + "\r";
        Send(burst);
        ASSERT_TRUE(PumpUntil([this] {
            Sample();
            return LastLogLine(form) == "<p> 9999";
        }));
        const QTextDocument& log = *form.Memo1->document();
        EXPECT_EQ(log.blockCount(), 5000);
        EXPECT_EQ(log.firstBlock().text(), "<p> 5000");
    }

    // (b) Long chat lines, each just under the longest message the link takes (3.6 MB in all):
    // the log keeps the latest million characters.
    void LongChatLines() {
        ASSERT_NO_FATAL_FAILURE(OpenLink());
        const QByteArray text = QByteArray("merhaba ").repeated(7500);
        for (int i = 0; i < 60; ++i) {
            Send("m<" + QByteArray::number(i) + "> " + text + "\r");
            ASSERT_TRUE(PumpUntil([this] {
                Sample();
                return peer->bytesToWrite() < 256 * 1024
                    || peer->state() == QAbstractSocket::UnconnectedState;
            }));
            ASSERT_EQ(peer->state(), QAbstractSocket::ConnectedState);
        }
        ASSERT_NO_FATAL_FAILURE(Sync());
        const QTextDocument& log = *form.Memo1->document();
        EXPECT_LE(log.characterCount(), 1'000'000);
        EXPECT_GE(log.characterCount(), 900'000);
        EXPECT_EQ(log.lastBlock().previous().text(), "<59> " + QString::fromLatin1(text));
    }

    // (b) 10,000 moves in one burst: a knight shuffle for both colours (played until the
    // position repeats for the third time), moves of the wrong side, moves off the board and
    // empty moves.
    void MoveBurst() {
        ASSERT_NO_FATAL_FAILURE(OpenLink());
        ASSERT_NO_FATAL_FAILURE(StartWithWindowAsWhite());
        const QByteArray round = "pG1F3\rpG8F6\rpF3G1\rpF6G8\rpE7E5\rpZ9A1\rp\rpE2E5\r";
        QByteArray burst;
        for (int i = 0; i < 10000 / 8; ++i) burst += round;
        Send(burst);
        ASSERT_NO_FATAL_FAILURE(Sync());
        // Two whole rounds and the first move of the third repeat the start position three
        // times; the board refuses every move after that.
        EXPECT_EQ(form.GameBoard1->Position(), TChessModel::StartPosition);
    }

    // (b) A flood of game starts, each followed by a legal move (100,000 messages): each of
    // them is slow to handle (a new game, then a move on the board). The window goes on taking
    // the user's input meanwhile: the user, seeing the board restart over and over, cuts the
    // link as soon as the first move shows, the click is handled after no more than a few
    // dozen messages, and the rest of the flood goes with the connection.
    void GameFloodCutByUser() {
        ASSERT_NO_FATAL_FAILURE(OpenLink());
        TGameBoard& board = *form.GameBoard1;
        const TMoveEvent legalMove = board.OnLegalMove;
        board.OnLegalMove = [&](TChessModel* sender, Square from, Square to) {
            if (legalMoves++ == 0)
                QMetaObject::invokeMethod(
                    &form,
                    [&] { // the user's click, from the event loop
                        movesAtClick = legalMoves;
                        (Hosting() ? form.BitBtn1 : form.BitBtn3)->click();
                        clicked = true;
                    },
                    Qt::QueuedConnection);
            legalMove(sender, from, to);
        };
        const auto restore = qScopeGuard([&] { board.OnLegalMove = legalMove; });
        QByteArray flood;
        for (int i = 0; i < kFloodGames; ++i) flood += "r0\rpE2E4\r";
        Send(flood);
        ASSERT_TRUE(PumpUntil([&] {
            Sample();
            return clicked;
        }));
        EXPECT_EQ(Panel(form, 0), "Disconnected");
        EXPECT_LE(movesAtClick, 64); // a turn of the event loop takes at most 64 messages
        ASSERT_TRUE(
            PumpUntil([this] { return peer->state() == QAbstractSocket::UnconnectedState; }));
        QTest::qWait(50);
        EXPECT_EQ(legalMoves, movesAtClick); // nothing of the flood after the click
    }

    // (c) Random bytes (a fixed seed, so that every run sees the same bytes).
    void RandomBytes() {
        ASSERT_NO_FATAL_FAILURE(OpenLink());
        std::mt19937 random(4567);
        QByteArray bytes(256 * 1024, Qt::Uninitialized);
        for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
        Send(bytes);
        ASSERT_NO_FATAL_FAILURE(Sync());
    }

    // (d) 500 connections in a row, each dropped at once, half of them with a reset.
    void ConnectAndDrop500() {
        if (Hosting()) {
            // The peer connects and leaves again as soon as its own end is established,
            // whether or not the window has accepted the connection yet.
            QTcpSocket socket;
            for (int i = 0; i < 500; ++i) {
                socket.connectToHost(Loopback(), static_cast<quint16>(form.ServerSocket1->Port()));
                // Until it is connected, or refused.
                PumpUntil([&] {
                    return socket.state() == QAbstractSocket::ConnectedState
                        || socket.state() == QAbstractSocket::UnconnectedState;
                });
                ASSERT_EQ(socket.state(), QAbstractSocket::ConnectedState);
                DropSocket(socket, i % 2 ? Leave::Reset : Leave::Close);
                ASSERT_TRUE(
                    PumpUntil([&] { return socket.state() == QAbstractSocket::UnconnectedState; }));
            }
            ASSERT_TRUE(PumpUntil([this] {
                return form.ServerSocket1->Connections().empty()
                    && Panel(form, 0) == "Disconnected";
            }));
            EXPECT_FALSE(form.BitBtn4->isEnabled());
            EXPECT_EQ(EnabledModes(form), "SHJ");
        } else {
            // The window joins only when its user clicks the connect button: the user clicks
            // it 500 times, and each time the host drops the connection as soon as it has
            // accepted it.
            for (int i = 0; i < 500; ++i) {
                form.BitBtn3->click();
                PumpUntil([this] {
                    return listener.hasPendingConnections() || form.BitBtn3->isEnabled();
                });
                ASSERT_TRUE(listener.hasPendingConnections()) << Panel(form, 0).toStdString();
                std::unique_ptr<QTcpSocket> socket(listener.nextPendingConnection());
                DropSocket(*socket, i % 2 ? Leave::Reset : Leave::Close);
                ASSERT_TRUE(PumpUntil([this] {
                    return form.BitBtn3->isEnabled() && form.BitBtn3->text() == "Connect";
                }));
                if (Panel(form, 0) == "Connection Error") ++failedAttempts;
            }
            EXPECT_EQ(EnabledModes(form), "SHJ");
        }
        EXPECT_TRUE(WindowSockets().empty());
    }

    // (e) The peer closes in the middle of a message; the next connection's first bytes are
    // the rest of that message, which must not complete it.
    void LeaveMidMessage(Leave how) {
        ASSERT_NO_FATAL_FAILURE(OpenLink());
        ASSERT_NO_FATAL_FAILURE(StartWithWindowAsWhite());
        Send("m<x> whole\rpE2");
        ASSERT_TRUE(PumpUntil([this] { return peer->bytesToWrite() == 0; }));
        if (how == Leave::Close) {
            // (What a reset overtakes may be lost; an orderly close delivers it.)
            ASSERT_TRUE(PumpUntil([this] { return LastLogLine(form) == "<x> whole"; }));
        }
        DropSocket(*peer, how);
        // A reset of the joined window's link is an error on its client endpoint.
        const bool endsInError = how == Leave::Reset && !Hosting();
        ASSERT_EQ(PumpUntilLinkDown(), endsInError ? "Connection Error" : "Disconnected");
        if (endsInError) ++failedAttempts;
        EXPECT_TRUE(WindowSockets().empty());
        ASSERT_NO_FATAL_FAILURE(OpenLink());
        Send("E4\r");
        ASSERT_NO_FATAL_FAILURE(Sync());
        EXPECT_EQ(form.GameBoard1->Position(), TChessModel::StartPosition);
        EXPECT_EQ(form.GameBoard1->Tag(), 0);
    }
    // A burst of lines and an orderly close right after: every line is still handled.
    void BurstThenClose() {
        ASSERT_NO_FATAL_FAILURE(OpenLink());
        QByteArray burst;
        for (int i = 0; i < 200; ++i) burst += "m<p> " + QByteArray::number(i) + "\r";
        Send(burst);
        DropSocket(*peer, Leave::Close);
        ASSERT_EQ(PumpUntilLinkDown(), "Disconnected");
        // A new link: what it brings is handled after all that the closed one left.
        ASSERT_NO_FATAL_FAILURE(OpenLink());
        ASSERT_NO_FATAL_FAILURE(Sync());
        const QTextDocument& log = *form.Memo1->document();
        EXPECT_EQ(log.blockCount(), 201);
        EXPECT_EQ(log.lastBlock().previous().text(), "<p> 199");
    }
    // A flood of slow messages and an orderly close right after: once the window sees the close
    // it handles no more than a couple of hundred of the messages still waiting, so a peer that
    // has left cannot keep the board restarting for long.
    void FloodThenClose() {
        ASSERT_NO_FATAL_FAILURE(OpenLink());
        TGameBoard& board = *form.GameBoard1;
        const TMoveEvent legalMove = board.OnLegalMove;
        board.OnLegalMove = [&](TChessModel* sender, Square from, Square to) {
            ++legalMoves;
            legalMove(sender, from, to);
        };
        const auto restore = qScopeGuard([&] { board.OnLegalMove = legalMove; });
        QByteArray flood;
        for (int i = 0; i < 5000; ++i) flood += "r0\rpE2E4\r"; // 10,000 messages
        Send(flood);
        DropSocket(*peer, Leave::Close);
        PumpUntil([this] {
            Sample();
            return kLinkDownStates.contains(Panel(form, 0));
        });
        ASSERT_EQ(Panel(form, 0), "Disconnected");
        const int movesAtClose = legalMoves;
        QTest::qWait(100);
        EXPECT_LE(legalMoves - movesAtClose, 128); // 256 messages
        EXPECT_LT(legalMoves, 5000);
    }

    // The peer writes and closes at once while the window is still in the middle of a move it
    // received (a board event that runs the event loop): the window sees the close before it
    // has read those bytes. Every complete message among them, and the one it had read and not
    // handled yet, is still handled after the move, in the order sent.
    void WriteAndCloseInsideAMove() {
        ASSERT_NO_FATAL_FAILURE(OpenLink());
        TGameBoard& board = *form.GameBoard1;
        if (Hosting()) { // the window takes Black
            form.RadioGroup1->SetItemIndex(1);
            form.BitBtn4->click();
            ExpectReceived("r1\r");
        } else {
            Send("r0\r");
            ASSERT_NO_FATAL_FAILURE(Sync());
        }
        ASSERT_EQ(board.Tag(), 1);
        board.SetPosition(kAfterE4F5);
        const TMoveEvent check = board.OnCheck;
        const TMoveEvent legalMove = board.OnLegalMove;
        const auto restore = qScopeGuard([&] {
            board.OnCheck = check;
            board.OnLegalMove = legalMove;
        });
        std::vector<QString> logAtMove; // the last chat line when each move was played
        board.OnLegalMove = [&](TChessModel* sender, Square from, Square to) {
            logAtMove.push_back(LastLogLine(form));
            legalMove(sender, from, to);
        };
        int checks = 0;
        board.OnCheck = [&](TChessModel* sender, Square from, Square to) {
            check(sender, from, to);
            if (checks++ > 0) return;
            Send("m<p> 2\rpG7G6\rm<p> 3\r\rm<p> 4\rm<p> unfinished");
            DropSocket(*peer, Leave::Close);
            // Until the link is down, whichever way; then which way it went.
            WaitInsideAHandler([this] { return kLinkDownStates.contains(Panel(form, 0)); });
            EXPECT_EQ(Panel(form, 0), "Disconnected");
            EXPECT_TRUE(WindowSockets().empty());
            EXPECT_FALSE(LastLogLine(form).startsWith("<p>")); // nothing of it handled yet
        };
        Send("pD1H5\rm<p> 1\r"); // a check
        ASSERT_TRUE(PumpUntil([&] { return checks > 0; }));
        if (HasFailure()) return;
        // A new link: what it brings is handled after all that the closed one left.
        ASSERT_NO_FATAL_FAILURE(OpenLink());
        ASSERT_NO_FATAL_FAILURE(Sync());
        const QTextDocument& log = *form.Memo1->document();
        QStringList lines;
        for (QTextBlock b = log.firstBlock(); b.isValid(); b = b.next())
            if (b.text().startsWith("<p>")) lines << b.text();
        EXPECT_EQ(lines, QStringList({ "<p> 1", "<p> 2", "<p> 3", "<p> 4" }));
        EXPECT_EQ(checks, 1);
        ASSERT_EQ(logAtMove.size(), 2U); // pD1H5, then pG7G6
        EXPECT_EQ(logAtMove[1], "<p> 2");
        EXPECT_EQ(board.Position().substr(22, 1), "p"); // on g6
    }
    void CloseMidMessage() { LeaveMidMessage(Leave::Close); }
    void ResetMidMessage() { LeaveMidMessage(Leave::Reset); }

protected:
    TForm1 form;
    QTcpServer listener; // the raw host when the window joins
    std::unique_ptr<QTcpSocket> peer; // the raw peer's end of the current link
    QByteArray received; // what the window has sent on it
    int syncs = 0;
    qint64 maxSocketBuffered = 0;
    qsizetype maxBuffered = 0;
    int legalMoves = 0; // flood cut by the user: moves seen, and when the click came
    int movesAtClick = -1;
    bool clicked = false;
    int failedAttempts = 0; // joined window: links and attempts that ended in an error
};

TEST_P(HostileNet, WindowStaysUsableBoundedAndQuiet) {
    const HostileCase& hostile = std::get<1>(GetParam());
    QCoreApplication::processEvents();
    const qint64 before = ResidentBytes();
    ResetPeakResident();
    (this->*hostile.run)();
    if (HasFatalFailure()) return;
    QTest::qWait(50); // late notifications (errors are reported from the event loop)
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const qint64 after = ResidentBytes();
    const qint64 peak = PeakResidentBytes();
    std::cout << "[ memory   ] " << hostile.name << (Hosting() ? " hosting" : " joined")
              << ": resident +" << (after - before) / 1024 << " KiB after, peak +"
              << (peak - before) / 1024 << " KiB; log " << form.Memo1->document()->blockCount()
              << " lines; most buffered " << maxSocketBuffered << " bytes in the socket, "
              << maxBuffered << " in framing; " << Messages().size() << " boxes" << std::endl;

    // What the user sees: no box for anything a peer sends or for a peer leaving in order; a
    // failed connection attempt (the user's own click) or a host resetting the joined
    // window's link shows its one "Error".
    EXPECT_EQ(Messages(), QStringList(failedAttempts, QStringLiteral("Error")));
    if (ResidentSizeIsTheProgramsOwn) {
        EXPECT_LT(after - before, kResidentGrowthBound);
        EXPECT_LT(peak - before, kPeakGrowthBound);
    }
    EXPECT_LE(form.Memo1->document()->blockCount(), 5000);
    EXPECT_LE(maxSocketBuffered, LinkReadBufferSize);
    EXPECT_LE(maxBuffered, LinkReadBufferSize + TWireReader::MaxMessageSize);
    for (QTcpSocket* socket : WindowSockets()) {
        EXPECT_EQ(socket->bytesAvailable(), 0);
        EXPECT_EQ(FramedBytes(form, socket), 0);
    }

    if (!peer || peer->state() != QAbstractSocket::ConnectedState) {
        ASSERT_NO_FATAL_FAILURE(OpenLink());
    }
    ExpectPlaysAndChats();
}

const HostileCase kCases[] = {
    { "MegabyteWithoutCr", &HostileNet::MegabyteWithoutCr },
    { "ChatBurst", &HostileNet::ChatBurst },
    { "LongChatLines", &HostileNet::LongChatLines },
    { "MoveBurst", &HostileNet::MoveBurst },
    { "GameFloodCutByUser", &HostileNet::GameFloodCutByUser },
    { "RandomBytes", &HostileNet::RandomBytes },
    { "ConnectAndDrop500", &HostileNet::ConnectAndDrop500 },
    { "BurstThenClose", &HostileNet::BurstThenClose },
    { "FloodThenClose", &HostileNet::FloodThenClose },
    { "WriteAndCloseInsideAMove", &HostileNet::WriteAndCloseInsideAMove },
    { "CloseMidMessage", &HostileNet::CloseMidMessage },
    { "ResetMidMessage", &HostileNet::ResetMidMessage },
};

INSTANTIATE_TEST_SUITE_P(Cases, HostileNet,
    testing::Combine(testing::Values(Role::Hosting, Role::Joined), testing::ValuesIn(kCases)),
    [](const testing::TestParamInfo<HostileNet::ParamType>& param) {
        return std::string(std::get<0>(param.param) == Role::Hosting ? "Hosting" : "Joined")
            + std::get<1>(param.param).name;
    });

// The cases that concern the link, over the IPv6 loopback.
const HostileCase kIPv6Cases[] = {
    { "MegabyteWithoutCr", &HostileNet::MegabyteWithoutCr, true },
    { "MoveBurst", &HostileNet::MoveBurst, true },
    { "GameFloodCutByUser", &HostileNet::GameFloodCutByUser, true },
    { "RandomBytes", &HostileNet::RandomBytes, true },
    { "ConnectAndDrop500", &HostileNet::ConnectAndDrop500, true },
    { "BurstThenClose", &HostileNet::BurstThenClose, true },
    { "CloseMidMessage", &HostileNet::CloseMidMessage, true },
    { "ResetMidMessage", &HostileNet::ResetMidMessage, true },
};

INSTANTIATE_TEST_SUITE_P(IPv6Cases, HostileNet,
    testing::Combine(testing::Values(Role::Hosting, Role::Joined), testing::ValuesIn(kIPv6Cases)),
    [](const testing::TestParamInfo<HostileNet::ParamType>& param) {
        return std::string(std::get<0>(param.param) == Role::Hosting ? "Hosting" : "Joined")
            + std::get<1>(param.param).name;
    });

// Mates are the one thing a peer can send that opens boxes: each mate on the board shows
// "Mate". A peer that plays mate after mate (200 games of 1 f3 e5 2 g4 Qh4#, 1,000
// messages) while the user still has the first box open gets one more "Mate" box when the user
// closes it, not one for each game.
class HostileNetMates : public HostileNet {
protected:
    void SetUp() override {
        HostileNet::SetUp();
        PelliumApp()->SetRecordsMessages(false);
        PelliumApp()->MessageBoxRunner = [this](const QString& text) {
            shown << text;
            // The user leaves the first box open until the flood is over.
            if (shown.size() == 1) {
                EXPECT_TRUE(PumpUntil([this] { return LastLogLine(form) == "<peer> end"; }));
            }
        };
    }
    void TearDown() override {
        PelliumApp()->MessageBoxRunner = ExecMessageBox;
        PelliumApp()->SetRecordsMessages(true);
        HostileNet::TearDown();
    }

    QStringList shown; // the boxes that opened, in order
};

TEST_P(HostileNetMates, AFloodOfMatesGivesOneMoreBoxNotOneForEachGame) {
    ASSERT_NO_FATAL_FAILURE(OpenLink());
    QByteArray flood;
    for (int i = 0; i < 200; ++i) flood += "r0\rpF2F3\rpE7E5\rpG2G4\rpD8H4\r";
    Send(flood + "m<peer> end\r");
    ASSERT_TRUE(PumpUntil([this] { return LastLogLine(form) == "<peer> end"; }));
    QTest::qWait(50);
    EXPECT_EQ(shown.size(), 2); // the first box, and one for the mates while it was open
    EXPECT_EQ(shown.count(QStringLiteral("Mate")), shown.size());
    EXPECT_EQ(Panel(form, 1), "Mate");
    ExpectPlaysAndChats();
    EXPECT_EQ(shown.size(), 2);
}

INSTANTIATE_TEST_SUITE_P(Mates, HostileNetMates,
    testing::Combine(testing::Values(Role::Hosting, Role::Joined),
        testing::Values(HostileCase { "MateFlood", nullptr })),
    [](const testing::TestParamInfo<HostileNet::ParamType>& param) {
        return std::string(std::get<0>(param.param) == Role::Hosting ? "Hosting" : "Joined");
    });

} // namespace
