// The window asks the desktop for attention when the peer acts while it is not the active
// window: the peer's move or chat line arrives, or the link drops. Never while it is active,
// never for what its own user does, never for the engine in single play. Two real windows
// linked over loopback; a third window stands for whatever the user works in meanwhile.
#include "Form1NetworkTestUtil.h"
#include "Widgets/RadioGroup.h"
#include "Widgets/SpinEdit.h"

#include <QTcpSocket>
#include <string>

using namespace nettest;

namespace {

// Makes widget the active window, as the user's click on it would.
void Activate(QWidget& widget) {
    widget.show();
    widget.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&widget));
}

class Form1Attention : public testing::Test {
protected:
    void SetUp() override {
        PelliumApp()->ClearRecordedMessages();
        const int port = FreePort();
        UsePort(host, port);
        UsePort(joiner, port);
        host.OnAttention = [this] { ++hostAsks; };
        joiner.OnAttention = [this] { ++joinerAsks; };
        host.show();
        joiner.show();
        elsewhere.resize(100, 100);
        ASSERT_NO_FATAL_FAILURE(Activate(elsewhere)); // neither window is active
        ASSERT_FALSE(host.isActiveWindow());
        ASSERT_FALSE(joiner.isActiveWindow());
    }

    void Link() {
        ChooseHost(host);
        ChooseJoin(joiner);
        joiner.BitBtn3->click();
        ASSERT_TRUE(WaitFor(
            [this] { return Panel(host, 0) == "Connected" && Panel(joiner, 0) == "Connected"; }));
    }

    // The host plays White.
    void Start() {
        host.RadioGroup1->SetItemIndex(0);
        host.BitBtn4->click();
        ASSERT_TRUE(WaitFor([this] { return joiner.GameBoard1->isEnabled(); }));
    }

    TForm1 host;
    TForm1 joiner;
    QWidget elsewhere;
    int hostAsks = 0;
    int joinerAsks = 0;
};

TEST_F(Form1Attention, LinkingAndStartingAskForNothing) {
    ASSERT_NO_FATAL_FAILURE(Link());
    ASSERT_NO_FATAL_FAILURE(Start());
    QTest::qWait(20);
    EXPECT_EQ(hostAsks, 0);
    EXPECT_EQ(joinerAsks, 0);
}

// What the peer does, and whether the receiving window is the active one.
enum class PeerAct { Move, Chat, JoinerLeaves, HostCuts, HostResets };

struct AttentionCase {
    const char* name;
    PeerAct act;
    bool receiverActive;
    int asks; // of the receiving window
};

void PrintTo(const AttentionCase& c, std::ostream* os) {
    *os << c.name;
}

class Form1AttentionCases : public Form1Attention,
                            public testing::WithParamInterface<AttentionCase> { };

TEST_P(Form1AttentionCases, ThePeerActingAsksForAttentionOnlyWhenInactive) {
    const AttentionCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(Link());
    ASSERT_NO_FATAL_FAILURE(Start());
    // The window that receives the act, and its count of asks.
    const bool hostReceives = c.act == PeerAct::JoinerLeaves;
    const int& receiverAsks = hostReceives ? hostAsks : joinerAsks;
    const int& actorAsks = hostReceives ? joinerAsks : hostAsks;
    if (c.receiverActive) {
        ASSERT_NO_FATAL_FAILURE(Activate(hostReceives ? host : joiner));
    }

    switch (c.act) {
    case PeerAct::Move: // the host's opening move reaches the joiner
        ASSERT_TRUE(host.GameBoard1->UserMove(Square::E2, Square::E4));
        ASSERT_TRUE(WaitFor([this] { return joiner.GameBoard1->Tag() == 0; }));
        break;
    case PeerAct::Chat:
        Say(host, "sıra sende");
        ASSERT_TRUE(WaitFor([this] { return LastLogLine(joiner) == "<Oyuncu Adı> sıra sende"; }));
        break;
    case PeerAct::JoinerLeaves:
        joiner.BitBtn3->click();
        ASSERT_TRUE(WaitFor([this] { return Panel(host, 0) == "Disconnected"; }));
        break;
    case PeerAct::HostCuts:
        host.BitBtn1->click();
        ASSERT_TRUE(WaitFor([this] { return Panel(joiner, 0) == "Disconnected"; }));
        break;
    case PeerAct::HostResets: {
        // The host's connection ends with a reset, as when its machine goes away.
        QTcpSocket* connection = host.ServerSocket1->Connections().front();
        DropSocket(*connection, Leave::Reset);
        ASSERT_TRUE(WaitFor([this] { return Panel(joiner, 0) == "Connection Error"; }));
        break;
    }
    }
    QTest::qWait(20);
    EXPECT_EQ(receiverAsks, c.asks) << "the receiver of the act";
    if (c.act == PeerAct::Move || c.act == PeerAct::Chat) {
        EXPECT_EQ(actorAsks, 0) << "the window whose own user acted";
    }
}

const AttentionCase kCases[] = {
    { "MoveInactive", PeerAct::Move, false, 1 },
    { "MoveActive", PeerAct::Move, true, 0 },
    { "ChatInactive", PeerAct::Chat, false, 1 },
    { "ChatActive", PeerAct::Chat, true, 0 },
    { "JoinerLeavesInactive", PeerAct::JoinerLeaves, false, 1 },
    { "JoinerLeavesActive", PeerAct::JoinerLeaves, true, 0 },
    { "HostCutsInactive", PeerAct::HostCuts, false, 1 },
    { "HostCutsActive", PeerAct::HostCuts, true, 0 },
    { "HostResetsInactive", PeerAct::HostResets, false, 1 },
    { "HostResetsActive", PeerAct::HostResets, true, 0 },
};

INSTANTIATE_TEST_SUITE_P(Acts, Form1AttentionCases, testing::ValuesIn(kCases),
    [](const testing::TestParamInfo<AttentionCase>& param) {
        return std::string(param.param.name);
    });

// A move the board refuses and a message of no known kind change nothing for the user: no
// attention either.
TEST_F(Form1Attention, ARefusedMoveOrAnUnknownMessageAsksForNothing) {
    ASSERT_NO_FATAL_FAILURE(Link());
    ASSERT_NO_FATAL_FAILURE(Start());
    // Black's move while White is to move, and a move no piece can make.
    ASSERT_TRUE(joiner.SendLine("pE7E5\r"));
    ASSERT_TRUE(joiner.SendLine("pE2E5\r"));
    ASSERT_TRUE(joiner.SendLine("x123\r"));
    Say(joiner, "son");
    ASSERT_TRUE(WaitFor([this] { return LastLogLine(host) == "<Oyuncu Adı> son"; }));
    EXPECT_EQ(host.GameBoard1->Position(), TChessModel::StartPosition);
    EXPECT_EQ(hostAsks, 1); // the chat line only
}

// Single play: the engine's moves never ask for attention, even with the window inactive.
TEST_F(Form1Attention, TheEnginesMovesInSinglePlayAskForNothing) {
    TGameBoard& board = *host.GameBoard1;
    host.SpinEdit1->SetValue(1);
    host.RadioGroup2->SetItemIndex(1); // the user plays Black: the engine opens
    host.BitBtn5->click();
    ASSERT_TRUE(WaitFor([&] { return board.Tag() == 0 && !board.WhiteToMove(); }));
    ASSERT_TRUE(board.UserMove(Square::E7, Square::E5) || board.UserMove(Square::D7, Square::D5));
    ASSERT_TRUE(WaitFor([&] { return board.Tag() == 0 && !board.WhiteToMove(); }));
    QTest::qWait(20);
    EXPECT_FALSE(host.isActiveWindow());
    EXPECT_EQ(hostAsks, 0);
}

} // namespace
