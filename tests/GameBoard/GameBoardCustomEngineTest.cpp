// The custom engine: the owner supplies the computer's moves through OnCalculateMove, asked
// after a person's move, after every event the board handles and at every poll timer tick.
#include "EngineThreadTestUtil.h"

#include <QEvent>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

using namespace engine_thread_test;

namespace {

using Move = std::pair<Square, Square>;

// A board whose computer plays Black through the custom engine; the owner answers `reply`.
struct CustomEngineBoard {
    explicit CustomEngineBoard(Move reply) {
        board.SetAnimateMoves(false);
        board.SetCustomEngine(true);
        board.SetComputerPlaysBlack(true);
        board.OnCalculateMove = [this, reply](TChessModel* sender, Square& from, Square& to) {
            EXPECT_EQ(sender, &board);
            EXPECT_EQ(from, Square::None);
            EXPECT_EQ(to, Square::None);
            ++asked;
            from = reply.first;
            to = reply.second;
        };
        board.OnCalculationFailed
            = [this](TChessModel*, Square from, Square to) { failures.emplace_back(from, to); };
    }
    void SendEvent() {
        QEvent e(QEvent::User);
        QCoreApplication::sendEvent(&board, &e);
    }
    TGameBoard board;
    int asked = 0;
    std::vector<Move> failures;
};

// With no move from the owner, OnCalculationFailed fires with None, None after the person's
// move, after each event the board handles and at each tick of the poll timer.
TEST(CustomEngine, NoMoveFailsAtEveryPoll) {
    CustomEngineBoard b({ Square::None, Square::None });
    ASSERT_TRUE(b.board.UserMove(Square::E2, Square::E4));
    EXPECT_EQ(b.asked, 1);
    b.SendEvent();
    b.SendEvent();
    EXPECT_EQ(b.asked, 3);
    b.board.PaintBoard(); // the first paint starts the poll timer
    Settle(50); // the repaint's own events are handled (and poll) first
    const int beforeTicks = b.asked;
    EXPECT_TRUE(WaitFor([&] { return b.asked >= beforeTicks + 2; }, 5000)) << "two ticks";
    EXPECT_EQ(b.failures.size(), static_cast<std::size_t>(b.asked));
    for (const Move& m : b.failures) EXPECT_EQ(m, Move(Square::None, Square::None));
    EXPECT_FALSE(b.board.WhiteToMove());
}

// Halted is set from construction on (and by every StopThinking): the owner is first asked
// after a person's move has gone through UserMove.
TEST(CustomEngine, NotAskedUntilAPersonHasMoved) {
    CustomEngineBoard b({ Square::E7, Square::E5 });
    ASSERT_TRUE(b.board.MakeMove(Square::E2, Square::E4)); // not a person's move: Halted stays
    b.SendEvent();
    b.board.CustomEnginePoll();
    EXPECT_EQ(b.asked, 0);
    EXPECT_TRUE(b.board.Halted());
}

// The owner's legal move is played; an illegal one is refused and reported with its squares.
TEST(CustomEngine, OwnersMoveIsPlayedOrReported) {
    {
        CustomEngineBoard b({ Square::E7, Square::E5 });
        ASSERT_TRUE(b.board.UserMove(Square::E2, Square::E4));
        EXPECT_EQ(b.asked, 1);
        EXPECT_TRUE(b.failures.empty());
        EXPECT_TRUE(b.board.WhiteToMove());
        EXPECT_EQ(b.board.Squares()[CellOf(Square::E5)], 'p');
        b.SendEvent(); // White to move: the computer is not due
        EXPECT_EQ(b.asked, 1);
    }
    {
        CustomEngineBoard b({ Square::E7, Square::E4 });
        ASSERT_TRUE(b.board.UserMove(Square::D2, Square::D4));
        EXPECT_EQ(b.failures, (std::vector<Move> { { Square::E7, Square::E4 } }));
    }
}

// A handler that changes the game (and so sets Halted) gets no move played for it; a handler
// that makes the board handle events is not asked again from inside itself.
TEST(CustomEngine, HandlerThatChangesTheGameOrReenters) {
    CustomEngineBoard b({ Square::E7, Square::E5 });
    int played = 0;
    b.board.OnLegalMove = [&](TChessModel*, Square, Square) { ++played; };
    const auto reply = b.board.OnCalculateMove;
    b.board.OnCalculateMove = [&](TChessModel* sender, Square& from, Square& to) {
        reply(sender, from, to);
        b.SendEvent();
        b.board.SetPosition(b.board.Position()); // StopThinking: Halted
    };
    ASSERT_TRUE(b.board.UserMove(Square::E2, Square::E4));
    EXPECT_EQ(b.asked, 1);
    EXPECT_EQ(played, 1) << "only the person's move";
    EXPECT_TRUE(b.failures.empty());
}

// CustomEngine written during a built-in search is a plain store: the search goes on.
TEST(CustomEngine, SwitchedOnDuringABuiltInSearch) {
    auto board = MakeBoard(TChessModel::StartPosition, true, 8, AllCastling);
    board->SetComputerPlaysWhite(true);
    ASSERT_TRUE(WaitFor([&] { return board->EngineThread()->SearchesBegun() == 1; }));
    ASSERT_TRUE(board->Thinking());
    board->SetCustomEngine(true);
    Settle(20);
    EXPECT_TRUE(board->Thinking());
}

// ---- Switched off again ----

// The built-in engine was armed, then CustomEngine was switched on and off again: the engine
// stays still, also when the owner's own MakeMove gives the computer its turn, until something
// starts it: a ComputerPlays setter or a person's move (the mouse's UserMove).
struct SwitchedOffCase {
    const char* name;
    void (*start)(TGameBoard&);
};

void PrintTo(const SwitchedOffCase& c, std::ostream* os) {
    *os << c.name;
}

class CustomEngineSwitchedOff : public ::testing::TestWithParam<SwitchedOffCase> { };

TEST_P(CustomEngineSwitchedOff, BuiltInEngineWaitsUntilStarted) {
    auto board = MakeBoard(TChessModel::StartPosition, true, 1, AllCastling);
    board->SetComputerPlaysBlack(true); // armed; White, the person, to move
    board->SetCustomEngine(true);
    board->SetCustomEngine(false);
    ASSERT_TRUE(board->MakeMove(Square::E2, Square::E4)); // the owner's move: Black is due
    EXPECT_FALSE(WaitFor([&] { return board->EngineThread()->SearchCount() > 0; }, 300))
        << "the owner's MakeMove woke the built-in engine";
    EXPECT_FALSE(board->WhiteToMove());

    GetParam().start(*board);
    ASSERT_TRUE(WaitFor([&] { return board->EngineThread()->SearchCount() > 0; }));
    EXPECT_TRUE(WaitFor([&] { return board->WhiteToMove(); })) << "the engine's move";
}

INSTANTIATE_TEST_SUITE_P(Starts, CustomEngineSwitchedOff,
    ::testing::Values(SwitchedOffCase { "ComputerPlaysBlack",
                          [](TGameBoard& b) { b.SetComputerPlaysBlack(true); } },
        SwitchedOffCase {
            "ComputerPlaysWhite", [](TGameBoard& b) { b.SetComputerPlaysWhite(false); } },
        SwitchedOffCase { "PersonsMove",
            [](TGameBoard& b) {
                ASSERT_TRUE(b.MakeMove(Square::E7, Square::E5)); // the owner's again
                EXPECT_FALSE(WaitFor([&] { return b.EngineThread()->SearchCount() > 0; }, 100));
                ASSERT_TRUE(b.UserMove(Square::G1, Square::F3));
            } }),
    [](const ::testing::TestParamInfo<SwitchedOffCase>& row) {
        return std::string(row.param.name);
    });

// A search running while CustomEngine is switched on and off again ends with its park step,
// which starts the engine again: the owner's next move is then answered.
TEST(CustomEngine, ParkStepStartsTheEngineSwitchedOffAgain) {
    auto board = MakeBoard(TChessModel::StartPosition, true, 1, AllCastling);
    board->SetComputerPlaysWhite(true); // handed out; its move waits for this thread's events
    board->SetCustomEngine(true);
    board->SetCustomEngine(false);
    ASSERT_TRUE(WaitFor([&] { return !board->WhiteToMove() && board->EngineThread()->Parked(); }));
    EXPECT_EQ(board->EngineThread()->SearchCount(), 1);

    ASSERT_TRUE(board->MakeMove(Square::E7, Square::E5)); // the owner's move for Black
    ASSERT_TRUE(WaitFor([&] { return board->EngineThread()->SearchCount() == 2; }));
    EXPECT_TRUE(WaitFor([&] { return !board->WhiteToMove(); })) << "the engine's second move";
}

} // namespace
