// Construction and destruction of a board with its engine thread: created parked, ended
// without running a hand-off, and no engine move once destruction has begun.
#include "EngineThreadTestUtil.h"

#include <QPointer>
#include <QWidget>
#include <chrono>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <thread>

using namespace engine_thread_test;

namespace {

const std::string Start = TChessModel::StartPosition;

TEST(EngineThreadLifetime, CreatedParked) {
    TGameBoard board;
    ASSERT_NE(board.EngineThread(), nullptr);
    EXPECT_TRUE(board.EngineThread()->Parked());
    EXPECT_FALSE(board.Thinking());
    EXPECT_TRUE(board.Halted()) << "the constructor's reset stops thinking";
    board.SetComputerPlaysWhite(false); // stays parked: White is not the computer's
    Settle(20);
    EXPECT_EQ(board.EngineThread()->SearchCount(), 0);
}

// Destroying the board while the engine searches at depth 8 stops the search and ends the
// thread; no move is made, then or later.
TEST(EngineThreadLifetime, DestroyedDuringADeepSearch) {
    int moves = 0;
    auto board = MakeBoard(Start, true, 8, AllCastling);
    board->OnLegalMove = [&moves](TChessModel*, Square, Square) { ++moves; };
    board->SetComputerPlaysWhite(true);
    ASSERT_TRUE(WaitFor([&] { return board->EngineThread()->SearchesBegun() == 1; }));
    ASSERT_TRUE(board->Thinking());
    board.reset();
    Settle(50);
    EXPECT_EQ(moves, 0);
}

// Destroyed while the engine's move waits in the queue to be handed over: the hand-off is
// dropped, not run.
TEST(EngineThreadLifetime, DestroyedWithAHandOffQueued) {
    int events = 0;
    auto board = MakeBoard(Start, true, 1, AllCastling);
    board->OnLegalMove = [&events](TChessModel*, Square, Square) { ++events; };
    board->OnPaint = [&events](TChessModel*) { ++events; };
    board->SetComputerPlaysWhite(true);
    while (board->Thinking()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    board.reset();
    Settle(50);
    EXPECT_EQ(events, 0);
}

// Destroyed while idle (armed, not its turn) and while parked after a stop; a move the owner
// makes just before destruction gets no reply.
TEST(EngineThreadLifetime, DestroyedWhileIdleOrParked) {
    for (const bool armed : { true, false }) {
        SCOPED_TRACE(armed);
        int moves = 0;
        auto board = MakeBoard(Start, true, 1, AllCastling);
        board->OnLegalMove = [&moves](TChessModel*, Square, Square) { ++moves; };
        board->SetComputerPlaysBlack(true);
        if (!armed) board->SetPosition(Start);
        Settle(10);
        ASSERT_TRUE(board->MakeMove(Square::E2, Square::E4));
        board.reset();
        Settle(20);
        EXPECT_EQ(moves, 1);
    }
}

// ---- Deleted by deleteLater ----

// The board deletes itself while it handles the deferred delete; nothing of it may be used
// after that (run under AddressSanitizer to see a read of the freed board). No engine move is
// made, and the board goes in every state of its engine.
struct DeleteLaterCase {
    const char* name;
    void (*prepare)(TGameBoard&);
};

void PrintTo(const DeleteLaterCase& c, std::ostream* os) {
    *os << c.name;
}

class DeletedLater : public ::testing::TestWithParam<DeleteLaterCase> { };

TEST_P(DeletedLater, GoesWithoutAMove) {
    QWidget window;
    auto* board = new TGameBoard(&window); // owned by the window until it deletes itself
    board->SetAnimateMoves(false);
    int moves = 0;
    board->OnLegalMove = [&moves](TChessModel*, Square, Square) { ++moves; };
    GetParam().prepare(*board);
    const int movesBefore = moves;
    const QPointer<TGameBoard> watch(board);
    board->deleteLater();
    ASSERT_TRUE(QTest::qWaitFor([&] { return watch.isNull(); }, 5000));
    EXPECT_EQ(moves, movesBefore);
    EXPECT_TRUE(window.findChildren<TGameBoard*>().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(States, DeletedLater,
    ::testing::Values(DeleteLaterCase { "Parked", [](TGameBoard&) {} },
        DeleteLaterCase { "Idle", [](TGameBoard& b) { b.SetComputerPlaysBlack(true); } },
        DeleteLaterCase { "Searching",
            [](TGameBoard& b) {
                b.SetSearchDepth(8);
                b.SetComputerPlaysWhite(true);
            } },
        // The custom engine is asked at every event the board handles (Halted is clear after
        // the person's move); the owner gives no move.
        DeleteLaterCase { "CustomEngineDue",
            [](TGameBoard& b) {
                b.SetCustomEngine(true);
                b.SetComputerPlaysBlack(true);
                b.OnCalculateMove = [](TChessModel*, Square&, Square&) {};
                if (!b.UserMove(Square::E2, Square::E4)) ADD_FAILURE() << "e2-e4 refused";
            } }),
    [](const ::testing::TestParamInfo<DeleteLaterCase>& row) {
        return std::string(row.param.name);
    });

} // namespace
