// Two real main windows in one process, linked over loopback: hosting and joining with every
// status text and control state, chat both ways, game starts, a whole game to mate, leaving
// from either side, a second joiner, and failed attempts to join.
#include "Form1NetworkTestUtil.h"
#include "GameBoard/GameBoardViewTestUtil.h"
#include "Widgets/RadioGroup.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <cerrno>
#include <memory>
#include <string>

using namespace nettest;

namespace {

class Form1Network : public testing::Test {
protected:
    void SetUp() override {
        PelliumApp()->ClearRecordedMessages();
        port = FreePort();
        UsePort(host, port);
        UsePort(joiner, port);
    }

    void Link() {
        ChooseHost(host);
        ChooseJoin(joiner);
        joiner.BitBtn3->click();
        ASSERT_EQ(WaitForJoinOutcome(joiner), "Connected");
        ASSERT_TRUE(WaitFor([this] { return Panel(host, 0) == "Connected"; }));
    }

    void Start(int hostColour) {
        host.RadioGroup1->SetItemIndex(hostColour);
        joiner.GameBoard1->SetPosition(
            "k                                                              K");
        host.BitBtn4->click();
        ASSERT_TRUE(WaitFor(
            [this] { return joiner.GameBoard1->Position() == TChessModel::StartPosition; }));
    }

    // The move from -> to made on the mover's board as a mouse drop makes it; returns once the
    // peer's board shows the same position.
    void Play(TForm1& mover, TForm1& peer, Square from, Square to) {
        ASSERT_EQ(mover.GameBoard1->Tag(), 0);
        ASSERT_EQ(peer.GameBoard1->Tag(), 1);
        ASSERT_TRUE(mover.GameBoard1->UserMove(from, to));
        EXPECT_EQ(mover.GameBoard1->Tag(), 1);
        ASSERT_TRUE(
            WaitFor([&] { return peer.GameBoard1->Position() == mover.GameBoard1->Position(); }));
        EXPECT_EQ(peer.GameBoard1->Tag(), 0);
    }

    int port = 0;
    TForm1 host;
    TForm1 joiner;
};

TEST_F(Form1Network, HostAndJoinGoThroughTheWindowStates) {
    ChooseHost(host);
    EXPECT_TRUE(host.ServerSocket1->Active());
    EXPECT_FALSE(host.Panel5->isHidden());
    EXPECT_FALSE(host.BitBtn1->isEnabled());
    EXPECT_FALSE(host.BitBtn4->isEnabled());
    EXPECT_EQ(Panel(host, 0), "Bağlantı Yok");

    ChooseJoin(joiner);
    EXPECT_FALSE(joiner.Panel7->isHidden());
    EXPECT_EQ(joiner.BitBtn3->text(), "Bağlan");
    joiner.BitBtn3->click();
    // Connecting: the button and the other modes wait for the outcome.
    EXPECT_FALSE(joiner.BitBtn3->isEnabled());
    EXPECT_EQ(EnabledModes(joiner), "J");

    ASSERT_EQ(WaitForJoinOutcome(joiner), "Connected");
    ASSERT_TRUE(WaitFor([this] { return Panel(host, 0) == "Connected"; }));
    EXPECT_TRUE(host.BitBtn1->isEnabled());
    EXPECT_TRUE(host.BitBtn4->isEnabled());
    EXPECT_EQ(EnabledModes(host), "H");
    EXPECT_EQ(joiner.BitBtn3->text(), "Disconnect");
    EXPECT_TRUE(joiner.BitBtn3->isEnabled());
    EXPECT_EQ(EnabledModes(joiner), "J");
    EXPECT_FALSE(host.GameBoard1->isEnabled()); // no game until "Başla"
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(Form1Network, ChatTravelsBothWaysWithTurkishLetters) {
    ASSERT_NO_FATAL_FAILURE(Link());
    joiner.Edit2->setText("Oyuncu Adı");
    Say(joiner, "merhaba ğüşıöç ĞÜŞİÖÇ");
    const QString line = "<Oyuncu Adı> merhaba ğüşıöç ĞÜŞİÖÇ";
    EXPECT_EQ(LastLogLine(joiner), line);
    EXPECT_TRUE(joiner.Edit1->text().isEmpty());
    ASSERT_TRUE(WaitFor([&] { return LastLogLine(host) == line; }));

    host.Edit2->setText("Ev Sahibi <İ>");
    Say(host, "");
    EXPECT_EQ(LastLogLine(host), "<Ev Sahibi <İ>> ");
    ASSERT_TRUE(WaitFor([&] { return LastLogLine(joiner) == "<Ev Sahibi <İ>> "; }));
    EXPECT_EQ(host.Memo1->document()->blockCount(), 2);
    EXPECT_EQ(joiner.Memo1->document()->blockCount(), 2);
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(Form1Network, UnmappableCharacterArrivesAsQuestionMarkAndIsLoggedSoOnBothSides) {
    ASSERT_NO_FATAL_FAILURE(Link());
    Say(host, "a→b");
    EXPECT_EQ(LastLogLine(host), "<Oyuncu Adı> a?b");
    ASSERT_TRUE(WaitFor([&] { return LastLogLine(joiner) == "<Oyuncu Adı> a?b"; }));
}

class Form1NetworkStart : public Form1Network, public testing::WithParamInterface<int> { };

TEST_P(Form1NetworkStart, BothBoardsStartWithTheHostOnItsColour) {
    const int hostColour = GetParam();
    ASSERT_NO_FATAL_FAILURE(Link());
    Start(hostColour);
    for (TForm1* form : { &host, &joiner }) {
        const bool playsBlack = (form == &host) == (hostColour == 1);
        SCOPED_TRACE(form == &host ? "host" : "joiner");
        EXPECT_TRUE(form->GameBoard1->isEnabled());
        EXPECT_EQ(form->GameBoard1->Tag(), playsBlack ? 1 : 0);
        EXPECT_EQ(form->GameBoard1->WhiteOnTop(), playsBlack);
        EXPECT_EQ(Panel(*form, 2), "Turn: White");
        EXPECT_EQ(Panel(*form, 1), "Oyun Yok"); // a network start leaves the game panel alone
    }
}

INSTANTIATE_TEST_SUITE_P(Colours, Form1NetworkStart, testing::Values(0, 1),
    [](const testing::TestParamInfo<int>& param) {
        return std::string(param.param == 0 ? "HostWhite" : "HostBlack");
    });

TEST_F(Form1Network, AWholeGameToMateShowsMateOnBothSides) {
    ASSERT_NO_FATAL_FAILURE(Link());
    ASSERT_NO_FATAL_FAILURE(Start(0));
    ASSERT_NO_FATAL_FAILURE(Play(host, joiner, Square::F2, Square::F3));
    EXPECT_EQ(Panel(host, 1), "Playing");
    EXPECT_EQ(Panel(joiner, 2), "Turn: Black");
    ASSERT_NO_FATAL_FAILURE(Play(joiner, host, Square::E7, Square::E5));
    ASSERT_NO_FATAL_FAILURE(Play(host, joiner, Square::G2, Square::G4));
    ASSERT_NO_FATAL_FAILURE(Play(joiner, host, Square::D8, Square::H4));
    for (TForm1* form : { &host, &joiner }) {
        EXPECT_EQ(Panel(*form, 1), "Mate");
        EXPECT_EQ(Panel(*form, 2), "Turn: White");
    }
    EXPECT_EQ(Messages(), QStringList({ "Mate", "Mate" }));
    // The mated side may not move any more; the host restarts both boards.
    EXPECT_FALSE(host.GameBoard1->UserMove(Square::E2, Square::E4));
    ASSERT_NO_FATAL_FAILURE(Start(1));
    EXPECT_EQ(host.GameBoard1->Tag(), 1);
    EXPECT_EQ(joiner.GameBoard1->Tag(), 0);
}

// The same kind of game played with the mouse on two shown windows: each move is a drag from
// square to square on the board of the side to move.
TEST_F(Form1Network, AGameWithTheMouse) {
    for (TForm1* form : { &host, &joiner }) {
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    }
    ASSERT_NO_FATAL_FAILURE(Link());
    ASSERT_NO_FATAL_FAILURE(Start(1)); // the host plays Black
    const auto drag = [](TForm1& mover, TForm1& peer, Square from, Square to) {
        TGameBoard* board = mover.GameBoard1;
        const QPoint start = view_test::Centre(*board, from);
        view_test::Press(board, start);
        view_test::MoveHeld(board, start + QPoint(6, 0));
        view_test::MoveHeld(board, view_test::Centre(*board, to));
        view_test::Release(board, view_test::Centre(*board, to));
        ASSERT_EQ(board->Tag(), 1) << "the drop was not played";
        ASSERT_TRUE(WaitFor([&] { return peer.GameBoard1->Position() == board->Position(); }));
    };
    drag(joiner, host, Square::E2, Square::E4);
    drag(host, joiner, Square::F7, Square::F6);
    drag(joiner, host, Square::D2, Square::D4);
    drag(host, joiner, Square::G7, Square::G5);
    drag(joiner, host, Square::D1, Square::H5);
    for (TForm1* form : { &host, &joiner }) EXPECT_EQ(Panel(*form, 1), "Mate");
    EXPECT_EQ(Messages(), QStringList({ "Mate", "Mate" }));
}

TEST_F(Form1Network, TheJoinerLeaving) {
    ASSERT_NO_FATAL_FAILURE(Link());
    joiner.BitBtn3->click();
    EXPECT_EQ(Panel(joiner, 0), "Disconnected");
    EXPECT_EQ(joiner.BitBtn3->text(), "Connect");
    EXPECT_TRUE(joiner.BitBtn3->isEnabled());
    EXPECT_EQ(EnabledModes(joiner), "SHJ");

    ASSERT_TRUE(WaitFor([this] { return Panel(host, 0) == "Disconnected"; }));
    EXPECT_FALSE(host.BitBtn1->isEnabled());
    EXPECT_FALSE(host.BitBtn4->isEnabled());
    EXPECT_EQ(EnabledModes(host), "SHJ");
    EXPECT_TRUE(host.ServerSocket1->Active());

    // The host still listens: the joiner comes back with "Connect".
    joiner.BitBtn3->click();
    ASSERT_EQ(WaitForJoinOutcome(joiner), "Connected");
    ASSERT_TRUE(WaitFor([this] { return Panel(host, 0) == "Connected"; }));
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(Form1Network, TheHostCuttingTheLink) {
    ASSERT_NO_FATAL_FAILURE(Link());
    host.BitBtn1->click();
    EXPECT_EQ(Panel(host, 0), "Disconnected");
    EXPECT_FALSE(host.BitBtn1->isEnabled());
    EXPECT_FALSE(host.BitBtn4->isEnabled());
    EXPECT_EQ(EnabledModes(host), "SHJ");
    EXPECT_TRUE(host.ServerSocket1->Active());

    ASSERT_EQ(WaitForLinkDown(joiner), "Disconnected");
    EXPECT_EQ(joiner.BitBtn3->text(), "Connect");
    EXPECT_TRUE(joiner.BitBtn3->isEnabled());
    EXPECT_EQ(EnabledModes(joiner), "SHJ");

    joiner.BitBtn3->click();
    ASSERT_EQ(WaitForJoinOutcome(joiner), "Connected");
    ASSERT_TRUE(WaitFor([this] { return Panel(host, 0) == "Connected"; }));
    EXPECT_TRUE(Messages().isEmpty());
}

// A host plays one game at a time. Strays connect during a game, each sending a move and a
// chat line: half of them leave on their own, the others are left waiting until the host has
// closed their connection. The host reads nothing of theirs, sends them nothing and shows
// nothing; its game with the first peer goes on in both directions. Once that peer has gone,
// the next connection is accepted as usual.
TEST_F(Form1Network, StrayConnectionsDuringAGameAreClosedAndTheGameGoesOn) {
    ASSERT_NO_FATAL_FAILURE(Link());
    ASSERT_NO_FATAL_FAILURE(Start(0));
    ASSERT_NO_FATAL_FAILURE(Play(host, joiner, Square::E2, Square::E4));
    const std::string position = host.GameBoard1->Position();
    const int logLines = host.Memo1->document()->blockCount();

    constexpr int kStrays = 6;
    for (int i = 0; i < kStrays; ++i) {
        SCOPED_TRACE(i);
        QTcpSocket stray;
        QByteArray strayReceived;
        QObject::connect(&stray, &QTcpSocket::readyRead, [&] { strayReceived += stray.readAll(); });
        stray.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
        WaitFor([&] {
            return stray.state() == QAbstractSocket::ConnectedState
                || stray.state() == QAbstractSocket::UnconnectedState;
        });
        ASSERT_EQ(stray.state(), QAbstractSocket::ConnectedState);
        stray.write("pE7E5\rm<stray> merhaba\r");
        stray.flush();
        const bool leavesOnItsOwn = i % 2 == 0;
        if (leavesOnItsOwn) {
            stray.disconnectFromHost();
        }
        // The host takes connections in order: once it has closed a waiting stray, it has
        // dealt with every stray before it.
        ASSERT_TRUE(WaitFor([&] { return stray.state() == QAbstractSocket::UnconnectedState; }));
        EXPECT_TRUE(strayReceived.isEmpty());
        EXPECT_EQ(host.ServerSocket1->Connections().size(), 1U);
    }

    EXPECT_EQ(Panel(host, 0), "Connected");
    EXPECT_TRUE(host.BitBtn1->isEnabled());
    EXPECT_TRUE(host.BitBtn4->isEnabled());
    EXPECT_EQ(EnabledModes(host), "H");
    EXPECT_EQ(host.GameBoard1->Position(), position);
    EXPECT_EQ(host.Memo1->document()->blockCount(), logLines);
    EXPECT_EQ(host.GameBoard1->Tag(), 1);

    // The game and the chat go on both ways.
    ASSERT_NO_FATAL_FAILURE(Play(joiner, host, Square::E7, Square::E5));
    ASSERT_NO_FATAL_FAILURE(Play(host, joiner, Square::G1, Square::F3));
    Say(joiner, "devam");
    ASSERT_TRUE(WaitFor([&] { return LastLogLine(host) == "<Oyuncu Adı> devam"; }));
    Say(host, "tamam");
    ASSERT_TRUE(WaitFor([&] { return LastLogLine(joiner) == "<Oyuncu Adı> tamam"; }));
    EXPECT_TRUE(Messages().isEmpty());

    // The peer leaves; the next one is accepted.
    joiner.BitBtn3->click();
    ASSERT_TRUE(WaitFor([this] { return Panel(host, 0) == "Disconnected"; }));
    TForm1 next;
    UsePort(next, port);
    ChooseJoin(next);
    next.BitBtn3->click();
    ASSERT_EQ(WaitForJoinOutcome(next), "Connected");
    ASSERT_TRUE(WaitFor([&] { return Panel(host, 0) == "Connected"; }));
    Say(host, "hoş geldin");
    ASSERT_TRUE(WaitFor([&] { return LastLogLine(next) == "<Oyuncu Adı> hoş geldin"; }));
    EXPECT_TRUE(Messages().isEmpty());
}

// A second copy of the program that joins a host in a game is turned away: it sees its link
// close, and may try again.
TEST_F(Form1Network, ASecondCopyJoiningAHostInAGameSeesItsLinkClose) {
    ASSERT_NO_FATAL_FAILURE(Link());
    TForm1 second;
    UsePort(second, port);
    ChooseJoin(second);
    second.BitBtn3->click();
    ASSERT_TRUE(WaitFor(
        [&] { return second.BitBtn3->isEnabled() && second.BitBtn3->text() == "Connect"; }));
    EXPECT_NE(Panel(second, 0), "Connected");
    EXPECT_EQ(EnabledModes(second), "SHJ");
    EXPECT_EQ(Panel(host, 0), "Connected");
    Say(host, "sadece ilk");
    ASSERT_TRUE(WaitFor([&] { return LastLogLine(joiner) == "<Oyuncu Adı> sadece ilk"; }));
    EXPECT_TRUE(LastLogLine(second).isEmpty());
    // Whether the second copy sees the close as orderly or as a reset (then "Error"), the
    // host shows nothing.
    for (const QString& message : Messages()) EXPECT_EQ(message, "Error");
}

// Keyboard focus: a link coming up puts it in the chat entry; a focused button that becomes
// disabled hands it to the chat entry, never to the player's name or another field where
// typing would silently change a setting.
TEST_F(Form1Network, TheLinkComingUpPutsTheFocusInTheChatEntryOnBothSides) {
    host.Edit2->setFocus();
    joiner.Edit3->setFocus();
    ASSERT_NO_FATAL_FAILURE(Link());
    EXPECT_EQ(host.focusWidget(), host.Edit1);
    EXPECT_EQ(joiner.focusWidget(), joiner.Edit1);
}

struct FocusCase {
    const char* name;
    // Brings the window to the moment, gives the focus to the button and returns it.
    QPushButton* (*arrange)(TForm1& host, TForm1& joiner);
    // What disables the button.
    void (*act)(TForm1& host, TForm1& joiner);
    TForm1& (*window)(TForm1& host, TForm1& joiner);
};

void PrintTo(const FocusCase& c, std::ostream* os) {
    *os << c.name;
}

TForm1& HostWindow(TForm1& host, TForm1&) {
    return host;
}
TForm1& JoinerWindow(TForm1&, TForm1& joiner) {
    return joiner;
}

class Form1NetworkFocus : public Form1Network, public testing::WithParamInterface<FocusCase> { };

TEST_P(Form1NetworkFocus, AFocusedButtonThatIsDisabledHandsTheFocusToTheChatEntry) {
    const FocusCase& c = GetParam();
    if (c.arrange != nullptr && c.window == &HostWindow) {
        ASSERT_NO_FATAL_FAILURE(Link());
    }
    QPushButton* button = c.arrange(host, joiner);
    TForm1& form = c.window(host, joiner);
    button->setFocus();
    ASSERT_EQ(form.focusWidget(), button);
    c.act(host, joiner);
    ASSERT_FALSE(button->isEnabled());
    EXPECT_EQ(form.focusWidget(), form.Edit1);
    EXPECT_NE(form.focusWidget(), form.Edit2);
}

const FocusCase kFocusCases[] = {
    { "JoinerConnecting",
        [](TForm1&, TForm1& joiner) {
            ChooseJoin(joiner);
            return joiner.BitBtn3;
        },
        [](TForm1&, TForm1& joiner) { joiner.BitBtn3->click(); }, &JoinerWindow },
    { "HostCuttingTheLink", [](TForm1& host, TForm1&) { return host.BitBtn1; },
        [](TForm1& host, TForm1&) { host.BitBtn1->click(); }, &HostWindow },
    { "HostsPeerLeaving", [](TForm1& host, TForm1&) { return host.BitBtn4; },
        [](TForm1& host, TForm1& joiner) {
            joiner.BitBtn3->click();
            ASSERT_TRUE(WaitFor([&] { return !host.BitBtn4->isEnabled(); }));
        },
        &HostWindow },
};

INSTANTIATE_TEST_SUITE_P(Buttons, Form1NetworkFocus, testing::ValuesIn(kFocusCases),
    [](const testing::TestParamInfo<FocusCase>& param) { return std::string(param.param.name); });

// The host the window joined leaves: in order (FIN) it is a disconnect; with a reset (RST, the
// host crashed or was killed) it is an error on the client endpoint. Either way the join side
// ends idle and may try again.
enum class HostLeaves { InOrder, WithAReset };

struct LeaveCase {
    const char* name;
    HostLeaves how;
    const char* panel;
    QStringList boxes;
};

void PrintTo(const LeaveCase& c, std::ostream* os) {
    *os << c.name;
}

class Form1NetworkHostLeaves : public Form1Network,
                               public testing::WithParamInterface<LeaveCase> { };

TEST_P(Form1NetworkHostLeaves, TheJoinSideShowsHowTheLinkEndedAndMayRetry) {
    const LeaveCase& c = GetParam();
    QTcpServer rawHost;
    ASSERT_TRUE(rawHost.listen(QHostAddress::LocalHost, 0));
    UsePort(joiner, rawHost.serverPort());
    ChooseJoin(joiner);
    joiner.BitBtn3->click();
    ASSERT_EQ(WaitForJoinOutcome(joiner), "Connected");
    ASSERT_TRUE(WaitFor([&] { return rawHost.hasPendingConnections(); }));
    std::unique_ptr<QTcpSocket> peer(rawHost.nextPendingConnection());

    DropSocket(*peer, c.how == HostLeaves::WithAReset ? Leave::Reset : Leave::Close);
    ASSERT_EQ(WaitForLinkDown(joiner), c.panel);
    EXPECT_EQ(joiner.BitBtn3->text(), "Connect");
    EXPECT_TRUE(joiner.BitBtn3->isEnabled());
    EXPECT_EQ(EnabledModes(joiner), "SHJ");
    EXPECT_FALSE(joiner.ClientSocket1->Connected());
    ASSERT_TRUE(WaitFor([&] { return Messages().size() >= c.boxes.size(); }));
    EXPECT_EQ(Messages(), c.boxes);

    // Idle: the user tries again and gets a new link.
    joiner.BitBtn3->click();
    ASSERT_EQ(WaitForJoinOutcome(joiner), "Connected");
    ASSERT_TRUE(WaitFor([&] { return rawHost.hasPendingConnections(); }));
    peer.reset(rawHost.nextPendingConnection());
    EXPECT_EQ(Messages(), c.boxes);
}

INSTANTIATE_TEST_SUITE_P(Ways, Form1NetworkHostLeaves,
    testing::Values(LeaveCase { "InOrder", HostLeaves::InOrder, "Disconnected", {} },
        LeaveCase { "WithAReset", HostLeaves::WithAReset, "Connection Error", { "Error" } }),
    [](const testing::TestParamInfo<LeaveCase>& param) { return std::string(param.param.name); });

// Errors the TCP layer reports on an established link.
TEST_F(Form1Network, AnErrorOnTheHostsConnectionShowsSocketErrorThenError) {
    ASSERT_NO_FATAL_FAILURE(Link());
    QTcpSocket* connection = host.ServerSocket1->Connections().front();
    host.ServerSocket1->OnClientError(
        host.ServerSocket1, connection, TErrorEvent::eeReceive, ECONNRESET);
    EXPECT_EQ(Messages(), QStringList({ "Socket Error", "Error" }));
    EXPECT_EQ(Panel(host, 0), "Connected"); // the handler changes nothing else
    EXPECT_TRUE(host.BitBtn4->isEnabled());
}

TEST_F(Form1Network, AnErrorOnTheJoinersConnectionClosesItWithConnectionError) {
    ASSERT_NO_FATAL_FAILURE(Link());
    joiner.ClientSocket1->OnError(
        joiner.ClientSocket1, joiner.ClientSocket1->Socket(), TErrorEvent::eeReceive, ECONNRESET);
    EXPECT_FALSE(joiner.ClientSocket1->Connected());
    EXPECT_EQ(Panel(joiner, 0), "Connection Error"); // after "Disconnected" from the close
    EXPECT_EQ(joiner.BitBtn3->text(), "Connect");
    EXPECT_TRUE(joiner.BitBtn3->isEnabled());
    EXPECT_EQ(EnabledModes(joiner), "SHJ");
    EXPECT_EQ(Messages(), QStringList({ "Error" }));
    ASSERT_TRUE(WaitFor([this] { return Panel(host, 0) == "Disconnected"; }));
}

TEST_F(Form1Network, JoiningWhereNobodyListensEndsInConnectionErrorAndOneErrorBox) {
    ChooseJoin(joiner);
    joiner.BitBtn3->click();
    ASSERT_EQ(WaitForJoinOutcome(joiner), "Connection Error");
    EXPECT_EQ(joiner.BitBtn3->text(), "Connect");
    EXPECT_TRUE(joiner.BitBtn3->isEnabled());
    EXPECT_EQ(EnabledModes(joiner), "SHJ");
    QTest::qWait(50);
    EXPECT_EQ(Messages(), QStringList({ "Error" }));

    // The join side is idle again and may retry once somebody listens.
    ChooseHost(host);
    joiner.BitBtn3->click();
    ASSERT_EQ(WaitForJoinOutcome(joiner), "Connected");
}

TEST_F(Form1Network, AnAddressThatIsNoDottedIPv4FailsAtOnce) {
    for (const char* address : { "", "localhost" }) {
        SCOPED_TRACE(address);
        PelliumApp()->ClearRecordedMessages();
        ChooseJoin(joiner, QString::fromLatin1(address));
        joiner.BitBtn3->click();
        ExpectJoinFailedAtOnce(joiner);
    }
}

TEST_F(Form1Network, ListeningOnAPortInUseShowsSocketError) {
    QTcpServer squatter;
    ASSERT_TRUE(squatter.listen(QHostAddress::AnyIPv4, static_cast<quint16>(port)));
    ChooseHost(host);
    EXPECT_EQ(Messages(), QStringList({ "Socket Error" }));
    EXPECT_FALSE(host.Panel8->isHidden());
    EXPECT_TRUE(host.Panel5->isHidden());
}

} // namespace
