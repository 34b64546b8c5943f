// The engine thread on its own, driven through a fake host instead of a board: what it reads
// from the host, what it hands back, when it parks and when it stays quiet.
#include "GameBoard/EngineThread.h"
#include "tests/GameBoard/Rules/ChessTestBoards.h"

#include <QTest>
#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>
#endif

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
    explicit HostedEngine(const std::string& position,
        TEngineThread::TSetThreadNice setNice = TEngineThread::SystemSetThreadNice)
        : host(position)
        , engine(host, std::move(setNice)) {
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

// ---- Priorities where the system refuses to raise them ----

#ifdef __linux__

int ThreadNice(long tid) {
    return getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
}

// Sets nice values as the system does for a user without the privilege to raise priorities,
// whoever runs the tests: a thread's nice value may go up (a lower priority), never down.
struct TUnprivilegedNice {
    std::atomic<int> refusals { 0 };
    TEngineThread::TSetThreadNice Calls() {
        return [this](long tid, int nice) {
            if (nice < ThreadNice(tid)) {
                ++refusals;
                return false;
            }
            return TEngineThread::SystemSetThreadNice(tid, nice);
        };
    }
};

struct RefusedRaiseCase {
    const char* name;
    std::vector<TThreadPriority> levels; // one search at each, in turn
};

void PrintTo(const RefusedRaiseCase& c, std::ostream* os) {
    *os << c.name;
}

class EngineThreadRefusedRaise : public ::testing::TestWithParam<RefusedRaiseCase> { };

// Each search runs, and hands back its move, at the level's nice value as far as the system
// allows: a level below the host thread's is reached, one above it stays at the host thread's.
// After a low level a higher one is reached by a fresh worker, which starts at the host
// thread's nice value.
TEST_P(EngineThreadRefusedRaise, EverySearchRunsAtTheNearestAllowedLevel) {
    TUnprivilegedNice system;
    HostedEngine e(BackRankMate, system.Calls());
    const int base = ThreadNice(gettid());
    int lastNice = base;
    long lastWorker = 0;
    int searches = 0;
    for (const TThreadPriority level : GetParam().levels) {
        SCOPED_TRACE(static_cast<int>(level));
        e.host.snapshot = TFakeHost(BackRankMate).snapshot;
        e.host.snapshot.Priority = level;
        e.engine.Unpark();
        ASSERT_TRUE(WaitFor([&] { return e.host.parks == searches + 1; }));
        ++searches;
        EXPECT_EQ(e.host.delivered.size(), static_cast<std::size_t>(searches));
        const int target = std::clamp(base + TEngineThread::NiceOffset(level), -20, 19);
        const int expected = std::max(target, base);
        const long worker = e.engine.WorkerThreadId();
        EXPECT_EQ(ThreadNice(worker), expected);
        if (expected < lastNice) {
            EXPECT_NE(worker, lastWorker) << "a fresh worker";
        }
        lastNice = ThreadNice(worker);
        lastWorker = worker;
    }
    EXPECT_EQ(e.engine.SearchesBegun(), searches);
}

INSTANTIATE_TEST_SUITE_P(Levels, EngineThreadRefusedRaise,
    ::testing::Values(RefusedRaiseCase { "BackUpAfterALowLevel",
                          { TThreadPriority::tpLowest, TThreadPriority::tpNormal } },
        RefusedRaiseCase { "StepByStepUpFromIdle",
            { TThreadPriority::tpIdle, TThreadPriority::tpLowest, TThreadPriority::tpLower,
                TThreadPriority::tpNormal } },
        RefusedRaiseCase { "AboveTheHostsLevel",
            { TThreadPriority::tpHigher, TThreadPriority::tpTimeCritical, TThreadPriority::tpLower,
                TThreadPriority::tpHighest } }),
    [](const ::testing::TestParamInfo<RefusedRaiseCase>& row) {
        return std::string(row.param.name);
    });

// A level written during a search is applied to the running worker as far as allowed: a
// raise is refused there and made at the next search, by a fresh worker.
TEST(EngineThreadRefusedRaise, RaiseWrittenDuringASearchComesWithTheNext) {
    TUnprivilegedNice system;
    HostedEngine e(TChessModel::StartPosition, system.Calls());
    const int base = ThreadNice(gettid());
    e.host.snapshot.Castling = AllCastling;
    e.host.snapshot.Depth = 8;
    e.host.snapshot.Priority = TThreadPriority::tpLowest;
    e.engine.Unpark();
    ASSERT_TRUE(WaitFor([&] { return e.engine.SearchesBegun() == 1; }));
    const long first = e.engine.WorkerThreadId();
    EXPECT_EQ(ThreadNice(first), std::min(base + 10, 19));
    e.host.snapshot.Priority = TThreadPriority::tpNormal;
    e.engine.ApplyPriority(TThreadPriority::tpNormal);
    if (base + 10 <= 19) {
        EXPECT_GT(system.refusals.load(), 0);
    }
    EXPECT_EQ(ThreadNice(first), std::min(base + 10, 19)) << "refused while it searches";
    e.engine.Stop();

    e.host.snapshot = TFakeHost(BackRankMate).snapshot;
    e.engine.Unpark();
    ASSERT_TRUE(WaitFor([&] { return e.host.delivered.size() == 1; }));
    const long second = e.engine.WorkerThreadId();
    EXPECT_NE(second, first);
    EXPECT_EQ(ThreadNice(second), base);
}

#endif

} // namespace
