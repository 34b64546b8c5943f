// The engine thread on its own, driven through a fake host instead of a board: what it reads
// from the host, what it hands back, when it parks and when it stays quiet.
#include "GameBoard/EngineThread.h"
#include "tests/GameBoard/Rules/ChessTestBoards.h"

#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

using Move = std::pair<Square, Square>;

template <typename Pred> bool WaitFor(Pred pred, int timeoutMs = 20000) {
    return QTest::qWaitFor(pred, timeoutMs);
}

// A host holding one position. It records every hand-off, plays an accepted move by moving
// the piece and passing the turn, and, like the board, starts the next cycle at the park step
// unless a stop was requested.
class TFakeHost : public TEngineHost {
public:
    explicit TFakeHost(const std::string& position) {
        snapshot.Squares[0] = ' ';
        std::copy(position.begin(), position.end(), snapshot.Squares.begin() + 1);
        snapshot.ComputerDue = true;
        snapshot.Depth = 2;
    }
    TEngineSnapshot EngineSnapshot() const override { return snapshot; }
    bool DeliverMove(Square from, Square to) override {
        delivered.emplace_back(from, to);
        thinkingAtDelivery.push_back(engine->Thinking());
        if (refuse) return false;
        char& piece = snapshot.Squares[ToInt(from)];
        snapshot.Squares[ToInt(to)] = piece;
        piece = ' ';
        snapshot.WhiteToMove = !snapshot.WhiteToMove;
        snapshot.ComputerDue = false; // the person's turn now
        return true;
    }
    void ParkWorker() override {
        ++parks;
        if (!engine->StopRequested()) engine->Unpark();
    }

    TEngineSnapshot snapshot;
    TEngineThread* engine = nullptr;
    bool refuse = false;
    std::vector<Move> delivered;
    std::vector<bool> thinkingAtDelivery;
    int parks = 0;
};

// White mates with Ra1-a8.
const std::string BackRankMate = chess_test::Diagram({ "......k.", ".....ppp", "........",
    "........", "........", "........", "........", "R.....K." });

struct HostedEngine {
    explicit HostedEngine(const std::string& position)
        : host(position)
        , engine(host) {
        host.engine = &engine;
    }
    TFakeHost host;
    TEngineThread engine;
};

// Unparked while the computer is due: one search from the host's snapshot, its move handed to
// the host with Thinking already off, then the park step; with the person to move it stays
// armed and idle.
TEST(EngineThreadHost, SearchesTheSnapshotAndHandsBackItsMove) {
    HostedEngine e(BackRankMate);
    EXPECT_TRUE(e.engine.Parked());
    e.engine.Unpark();
    EXPECT_EQ(e.engine.SearchCount(), 1) << "the search is handed out at once";
    ASSERT_TRUE(WaitFor([&] { return e.host.parks == 1; }));
    EXPECT_EQ(e.host.delivered, (std::vector<Move> { { Square::A1, Square::A8 } }));
    EXPECT_EQ(e.host.thinkingAtDelivery, (std::vector<bool> { false }));
    EXPECT_FALSE(e.engine.Thinking());
    EXPECT_TRUE(e.engine.Parked());
    EXPECT_EQ(e.engine.SearchCount(), 1);
    EXPECT_EQ(e.engine.LastSearchDepth(), 2);
    EXPECT_EQ(e.engine.HandOffCount(), 2);

    // Its turn again (the host's own change, back to the first position): the next turn test
    // starts the next search.
    e.host.snapshot = TFakeHost(BackRankMate).snapshot;
    e.engine.Pump();
    EXPECT_EQ(e.engine.SearchCount(), 2);
    ASSERT_TRUE(WaitFor([&] { return e.host.parks == 2; }));
}

// A refused move is not searched for again while the host's state stays the same, until the
// refusal is forgotten (the host's game changed).
TEST(EngineThreadHost, RefusedMoveIsNotSearchedAgainUntilForgotten) {
    HostedEngine e(BackRankMate);
    e.host.refuse = true;
    e.engine.Unpark();
    ASSERT_TRUE(WaitFor([&] { return e.host.parks == 1 && e.engine.Parked(); }));
    EXPECT_FALSE(WaitFor([&] { return e.engine.SearchCount() > 1; }, 200));
    EXPECT_EQ(e.host.delivered.size(), 1u);

    e.engine.ForgetRefusal();
    e.engine.Pump();
    EXPECT_EQ(e.engine.SearchCount(), 2);
    ASSERT_TRUE(WaitFor([&] { return e.host.delivered.size() == 2; }));
}

// A stop during a deep search ends it without a hand-off of a move; the park step runs and,
// with the stop requested, the host leaves the engine parked.
TEST(EngineThreadHost, StopEndsASearchWithoutAMove) {
    HostedEngine e(TChessModel::StartPosition);
    e.host.snapshot.Castling = AllCastling;
    e.host.snapshot.Depth = 8;
    e.engine.Unpark();
    ASSERT_TRUE(WaitFor([&] { return e.engine.SearchesBegun() == 1; }));
    e.engine.Stop();
    EXPECT_TRUE(e.engine.Parked());
    EXPECT_FALSE(e.engine.Thinking());
    EXPECT_TRUE(e.host.delivered.empty());
    EXPECT_EQ(e.host.parks, 1);
    EXPECT_FALSE(WaitFor([&] { return e.engine.SearchCount() > 1; }, 100));
}

// A host whose snapshot says the computer is not due gets no search, whatever its position.
TEST(EngineThreadHost, NothingWhileTheHostSaysNotDue) {
    HostedEngine e(BackRankMate);
    e.host.snapshot.ComputerDue = false;
    e.engine.Unpark();
    EXPECT_FALSE(WaitFor([&] { return e.engine.SearchCount() > 0; }, 100));
    EXPECT_EQ(e.engine.HandOffCount(), 0);
    EXPECT_TRUE(e.host.delivered.empty());
}

} // namespace
