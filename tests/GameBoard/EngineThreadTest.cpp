// The engine thread driven through the board: when searches start and end, Thinking, stop
// requests during a search, depth and priority changes, the idle engine, stale results.
#include "EngineThreadTestUtil.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#ifdef __linux__
#include <sys/resource.h>
#endif

using namespace engine_thread_test;

namespace {

const std::string Start = TChessModel::StartPosition;

int CurrentNice() {
#ifdef __linux__
    return getpriority(PRIO_PROCESS, 0);
#else
    return 0;
#endif
}

int WorkerNice(const TGameBoard& board) {
#ifdef __linux__
    return getpriority(PRIO_PROCESS, static_cast<id_t>(board.EngineThread()->WorkerThreadId()));
#else
    return 0;
#endif
}

// Thinking is true from the moment the computer is due until its move is about to be handed
// over, and false while MakeMove fires the events of that move.
TEST(EngineThread, ThinkingDuringTheSearchOnlyNotDuringTheMovesEvents) {
    // Depth 7 takes about a second here: long enough to be seen thinking on a loaded machine.
    auto board = MakeBoard(Start, true, 7, AllCastling);
    ASSERT_TRUE(board->MakeMove(Square::E2, Square::E4));
    std::vector<bool> thinkingInEvents;
    board->OnLegalMove
        = [&](TChessModel*, Square, Square) { thinkingInEvents.push_back(board->Thinking()); };
    board->OnPaint = [&](TChessModel*) { thinkingInEvents.push_back(board->Thinking()); };

    EXPECT_FALSE(board->Thinking());
    board->SetComputerPlaysBlack(true);
    EXPECT_TRUE(board->Thinking()) << "the search starts at once";
    ASSERT_TRUE(WaitFor([&] { return board->WhiteToMove(); }, 120000));
    EXPECT_EQ(thinkingInEvents, (std::vector<bool> { false, false }));
    EXPECT_FALSE(board->Thinking());
    EXPECT_EQ(board->EngineThread()->SearchCount(), 1);
}

// Writing Position during a search ends it without a move; the engine thread stays parked
// until StartThinking runs again.
TEST(EngineThread, PositionWrittenDuringASearchEndsItWithoutAMove) {
    auto board = MakeBoard(Start, true, 8, AllCastling);
    int moves = 0;
    board->OnLegalMove = [&](TChessModel*, Square, Square) { ++moves; };
    board->SetComputerPlaysWhite(true);
    ASSERT_TRUE(WaitFor([&] { return board->EngineThread()->SearchesBegun() == 1; }));
    ASSERT_TRUE(board->Thinking());

    board->SetPosition(Start);
    EXPECT_FALSE(board->Thinking());
    EXPECT_TRUE(board->EngineThread()->Parked());
    Settle(100);
    EXPECT_EQ(moves, 0);
    EXPECT_EQ(board->EngineThread()->SearchCount(), 1) << "parked: no new search";

    board->SetSearchDepth(1);
    board->SetComputerPlaysWhite(true); // StartThinking
    ASSERT_TRUE(WaitFor([&] { return moves == 1; }));
}

// While StopThinking waits for the engine thread it keeps handling the events of the board's
// thread: work queued before the stop runs before the writer goes on.
TEST(EngineThread, StopThinkingHandlesPendingEventsWhileItWaits) {
    auto board = MakeBoard(Start, true, 8, AllCastling);
    board->SetComputerPlaysWhite(true);
    ASSERT_TRUE(WaitFor([&] { return board->EngineThread()->SearchesBegun() == 1; }));
    ASSERT_TRUE(board->Thinking());
    bool queuedRan = false;
    QMetaObject::invokeMethod(
        board.get(), [&queuedRan] { queuedRan = true; }, Qt::QueuedConnection);
    board->SetPosition(Start);
    EXPECT_TRUE(queuedRan);
}

// SearchDepth written during a search does not disturb it; the next search uses the new depth.
TEST(EngineThread, SearchDepthWrittenDuringASearchTakesEffectWithTheNext) {
    auto board = MakeBoard(Start, true, 8, AllCastling);
    int moves = 0;
    board->OnLegalMove = [&](TChessModel*, Square, Square) { ++moves; };
    board->SetComputerPlaysWhite(true);
    ASSERT_TRUE(WaitFor([&] { return board->EngineThread()->SearchesBegun() == 1; }));
    board->SetSearchDepth(2);
    Settle(20);
    EXPECT_TRUE(board->Thinking()) << "the running search goes on";
    EXPECT_EQ(board->EngineThread()->LastSearchDepth(), 8);

    board->SetComputerPlaysWhite(true); // stop, then start again
    ASSERT_TRUE(WaitFor([&] { return moves == 1; }));
    EXPECT_EQ(board->EngineThread()->LastSearchDepth(), 2);
    EXPECT_EQ(board->EngineThread()->SearchCount(), 2);
}

// A search whose depth is changed while it runs still delivers its move.
TEST(EngineThread, SearchDepthChangeDoesNotDropTheRunningSearchsMove) {
    auto board = MakeBoard(Start, true, 2, AllCastling);
    std::vector<int> searchesAtMove;
    board->OnLegalMove = [&](TChessModel*, Square, Square) {
        searchesAtMove.push_back(board->EngineThread()->SearchCount());
    };
    board->SetComputerPlaysWhite(true);
    board->SetSearchDepth(3); // before its move can be handed over (no events processed yet)
    ASSERT_TRUE(WaitFor([&] { return !searchesAtMove.empty(); }));
    EXPECT_EQ(searchesAtMove.front(), 1);
    EXPECT_EQ(board->EngineThread()->LastSearchDepth(), 2);
}

// ThinkingPriority written during a search changes the worker's priority at once.
TEST(EngineThread, ThinkingPriorityWrittenDuringASearchAppliesAtOnce) {
    auto board = MakeBoard(Start, true, 8, AllCastling);
    board->SetComputerPlaysWhite(true);
    ASSERT_TRUE(WaitFor([&] { return board->EngineThread()->SearchesBegun() == 1; }));
    ASSERT_TRUE(board->Thinking());
    const int base = CurrentNice();
    EXPECT_EQ(WorkerNice(*board), base);
    board->SetThinkingPriority(TThreadPriority::tpLowest);
    EXPECT_EQ(WorkerNice(*board), std::min(base + 10, 19));
    EXPECT_TRUE(board->Thinking());
    board->SetComputerPlaysWhite(false);
}

// Each level's nice value, applied at the start of a search. A level above the board thread's
// own may be refused by the system (no privilege); it then stays at the board thread's level.
// Going back up after a low level works either way.
TEST(EngineThread, PriorityLevelsMapToNiceValues) {
    struct Row {
        TThreadPriority level;
        int offset;
    };
    const Row rows[] = { { TThreadPriority::tpIdle, 39 }, { TThreadPriority::tpNormal, 0 },
        { TThreadPriority::tpLowest, 10 }, { TThreadPriority::tpLower, 5 },
        { TThreadPriority::tpHigher, -5 }, { TThreadPriority::tpIdle, 39 },
        { TThreadPriority::tpHighest, -10 }, { TThreadPriority::tpTimeCritical, -39 },
        { TThreadPriority::tpNormal, 0 } };
    auto board = MakeBoard(Start, true, 1, AllCastling);
    const int base = CurrentNice();
    int searches = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.level));
        EXPECT_EQ(TEngineThread::NiceOffset(row.level), row.offset);
        board->SetThinkingPriority(row.level);
        board->SetWhiteToMove(true);
        board->SetComputerPlaysWhite(true);
        ASSERT_TRUE(WaitFor([&] { return board->EngineThread()->SearchCount() == searches + 1; }));
        ++searches;
        board->SetComputerPlaysWhite(false);
        const int target = std::clamp(base + row.offset, -20, 19);
        const int nice = WorkerNice(*board);
        if (row.offset >= 0)
            EXPECT_EQ(nice, target);
        else
            EXPECT_TRUE(nice == target || nice == base) << nice;
    }
}

// An armed engine whose side is not to move sleeps: no search, no hand-off, no CPU. A move
// the owner makes directly is still noticed, as by a cycling engine thread.
TEST(EngineThread, IdleEngineSleepsAndStillNoticesItsTurn) {
    auto board = MakeBoard(Start, true, 1, AllCastling);
    board->SetComputerPlaysBlack(true); // armed, White (the person) to move
    ASSERT_TRUE(WaitFor([&] { return board->EngineThread()->WorkerThreadId() != 0; }));
    const long tid = board->EngineThread()->WorkerThreadId();
    const long cpuBefore = ThreadCpuTicks(tid);
    Settle(300);
    EXPECT_EQ(board->EngineThread()->SearchCount(), 0);
    EXPECT_EQ(board->EngineThread()->HandOffCount(), 0);
    EXPECT_EQ(ThreadCpuTicks(tid), cpuBefore);

    ASSERT_TRUE(board->MakeMove(Square::E2, Square::E4)); // the owner's move, no StartThinking
    ASSERT_TRUE(WaitFor([&] { return board->WhiteToMove(); }));
    EXPECT_EQ(board->EngineThread()->SearchCount(), 1);
}

// A result searched for a position that was changed meanwhile without a wait is not played;
// the new position is searched instead.
TEST(EngineThread, ResultForAChangedPositionIsNotPlayed) {
    auto board = MakeBoard(Start, true, 2, AllCastling);
    std::vector<int> searchesAtMove;
    board->OnLegalMove = [&](TChessModel*, Square, Square) {
        searchesAtMove.push_back(board->EngineThread()->SearchCount());
    };
    board->SetComputerPlaysWhite(true);
    // Without processing events: the search ends and its move waits to be handed over.
    while (board->Thinking()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    // The custom engine setting lets StopThinking return without waiting.
    board->SetCustomEngine(true);
    board->SetPosition(Diagram({ "rnbqkbnr", "pppppppp", "........", "........", "...P....",
        "........", "PPP.PPPP", "RNBQKBNR" }));
    board->SetCustomEngine(false);

    ASSERT_TRUE(WaitFor([&] { return !searchesAtMove.empty(); }));
    EXPECT_EQ(searchesAtMove.front(), 2) << "the first move comes from a second search";
}

// A board without an engine thread: Thinking false, StartThinking does nothing (custom engine
// included), StopThinking only sets Halted.
TEST(EngineThread, BoardWithoutEngineThread) {
    TGameBoard board(nullptr, false);
    int asked = 0;
    board.SetCustomEngine(true);
    board.OnCalculateMove = [&](TChessModel*, Square&, Square&) { ++asked; };
    board.SetComputerPlaysBlack(true);
    ASSERT_TRUE(board.UserMove(Square::E2, Square::E4)); // clears Halted, then StartThinking
    board.CustomEnginePoll();
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(board.Thinking());
    EXPECT_EQ(board.EngineThread(), nullptr);
    board.StopThinking();
    EXPECT_TRUE(board.Halted());
}

// ---- ThinkingPriority written right after a search was handed out ----

// The level written before the worker has begun the search it was handed holds: the worker
// starts the search at the level current then, not at the one read at the hand-out.
struct PriorityCase {
    const char* name;
    TThreadPriority level;
};

void PrintTo(const PriorityCase& c, std::ostream* os) {
    *os << c.name;
}

class PriorityWrittenAtHandOut : public ::testing::TestWithParam<PriorityCase> { };

TEST_P(PriorityWrittenAtHandOut, Holds) {
    const TThreadPriority level = GetParam().level;
    auto board = MakeBoard(Start, true, 8, AllCastling);
    const int base = CurrentNice();
    board->SetComputerPlaysWhite(true); // handed out, no event processed yet
    board->SetThinkingPriority(level);
    ASSERT_TRUE(WaitFor([&] { return board->EngineThread()->SearchesBegun() == 1; }));
    ASSERT_TRUE(board->Thinking());
    EXPECT_EQ(WorkerNice(*board), std::clamp(base + TEngineThread::NiceOffset(level), -20, 19));
    board->SetComputerPlaysWhite(false);
}

INSTANTIATE_TEST_SUITE_P(Levels, PriorityWrittenAtHandOut,
    ::testing::Values(PriorityCase { "Idle", TThreadPriority::tpIdle },
        PriorityCase { "Lowest", TThreadPriority::tpLowest },
        PriorityCase { "Lower", TThreadPriority::tpLower }),
    [](const ::testing::TestParamInfo<PriorityCase>& row) { return std::string(row.param.name); });

// ---- A custom engine keeps the built-in one still ----

// The built-in engine armed before CustomEngine is switched on; then the computer's turn
// comes. The owner's engine is asked (when a person has moved) and the built-in one never
// searches.
struct CustomSwitchCase {
    const char* name;
    void (*arm)(TGameBoard&); // arms the built-in engine
    void (*giveTurn)(TGameBoard&); // the computer's turn comes, under the custom engine
    bool ownerAsked;
};

void PrintTo(const CustomSwitchCase& c, std::ostream* os) {
    *os << c.name;
}

class CustomEngineSwitch : public ::testing::TestWithParam<CustomSwitchCase> { };

TEST_P(CustomEngineSwitch, BuiltInEngineStaysStill) {
    const CustomSwitchCase& c = GetParam();
    auto board = std::make_unique<TGameBoard>(); // not painted yet: in the start position
    board->SetAnimateMoves(false);
    int asked = 0;
    int failures = 0;
    board->OnCalculateMove = [&](TChessModel*, Square&, Square&) { ++asked; }; // gives no move
    board->OnCalculationFailed = [&](TChessModel*, Square, Square) { ++failures; };
    c.arm(*board);
    board->SetCustomEngine(true);
    const std::string before = board->Position();
    c.giveTurn(*board);
    const std::string given = board->Position();

    EXPECT_FALSE(WaitFor([&] { return board->EngineThread()->SearchCount() > 0; }, 300))
        << "the built-in engine searched";
    EXPECT_EQ(board->Position(), given) << "moved from " << before;
    EXPECT_EQ(asked > 0, c.ownerAsked);
    EXPECT_EQ(failures, asked) << "every time the owner gave no move";
}

INSTANTIATE_TEST_SUITE_P(Switches, CustomEngineSwitch,
    ::testing::Values(
        // The first paint arms the engine; ComputerPlaysWhite then sets Halted, so the owner is
        // not asked either.
        CustomSwitchCase { "FirstPaintThenWhite", [](TGameBoard& b) { b.PaintBoard(); },
            [](TGameBoard& b) { b.SetComputerPlaysWhite(true); }, false },
        // Armed by ComputerPlaysBlack; the person's move asks the owner, who gives no move.
        CustomSwitchCase { "BlackThenPersonMoves",
            [](TGameBoard& b) { b.SetComputerPlaysBlack(true); },
            [](TGameBoard& b) { ASSERT_TRUE(b.UserMove(Square::E2, Square::E4)); }, true }),
    [](const ::testing::TestParamInfo<CustomSwitchCase>& row) {
        return std::string(row.param.name);
    });

} // namespace
