// The engine thread playing both sides of whole games, and event handlers that change the game
// while the engine's move is being made (inside its hand-off).
#include "EngineThreadTestUtil.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

using namespace engine_thread_test;

namespace {

// How a self-played game ended.
struct GameLog {
    int plies = 0;
    int mates = 0;
    int stalemates = 0;
    int draws = 0;
    int repetitions = 0;
    bool ended() const { return mates + draws > 0; }
};

void Record(TGameBoard& board, GameLog& log) {
    board.OnLegalMove = [&log](TChessModel*, Square, Square) { ++log.plies; };
    board.OnMate = [&log](TChessModel*, Square, Square) { ++log.mates; };
    board.OnStaleMate = [&log](TChessModel*, Square, Square) { ++log.stalemates; };
    board.OnDraw = [&log](TChessModel*) { ++log.draws; };
    board.OnThreefoldPosition = [&log](TChessModel*) { ++log.repetitions; };
}

struct GameCase {
    const char* name;
    std::string position;
    bool whiteToMove;
    int depth;
    CastleSet castling;
};

// gtest shows a case by its name, not by its bytes.
void PrintTo(const GameCase& c, std::ostream* os) {
    *os << c.name;
}

const std::string Start = TChessModel::StartPosition;

class SelfPlay : public ::testing::TestWithParam<GameCase> { };

// Both sides played by the engine until the game ends by mate, stalemate, lack of material or
// repetition; the engine then stays quiet.
TEST_P(SelfPlay, PlaysBothSidesToTheEnd) {
    const GameCase& c = GetParam();
    auto board = MakeBoard(c.position, c.whiteToMove, c.depth, c.castling);
    GameLog log;
    Record(*board, log);
    board->SetComputerPlaysWhite(true);
    board->SetComputerPlaysBlack(true);

    ASSERT_TRUE(WaitFor([&] { return log.ended(); }, 60000)) << log.plies << " plies";
    EXPECT_GT(log.plies, 0);
    // A mate ends without a draw, a draw names its cause.
    if (log.mates > 0) {
        EXPECT_EQ(log.draws, 0);
    }
    // After the end the engine searches the final position at most once more (its move is
    // refused) and then stays quiet instead of searching it again and again.
    const int plies = log.plies;
    ASSERT_TRUE(WaitFor([&] { return board->EngineThread()->Parked(); }, 2000));
    const int searches = board->EngineThread()->SearchCount();
    Settle(150);
    EXPECT_EQ(log.plies, plies) << "no move after the end";
    EXPECT_EQ(board->EngineThread()->SearchCount(), searches);
    EXPECT_FALSE(board->Thinking());
}

INSTANTIATE_TEST_SUITE_P(Games, SelfPlay,
    ::testing::Values(GameCase { "start_depth1", Start, true, 1, AllCastling },
        GameCase { "start_depth2", Start, true, 2, AllCastling },
        GameCase { "mate_in_one",
            Diagram({ "rnbqkbnr", "pppp.ppp", "........", "....p...", "......P.", ".....P..",
                "PPPPP..P", "RNBQKBNR" }),
            false, 2, AllCastling },
        GameCase { "queen_ending",
            Diagram({ "....k...", "........", "........", "........", "........", "........",
                "...Q....", "....K..." }),
            true, 2, {} },
        GameCase { "pawn_race",
            Diagram({ "........", "..p..k..", "........", "........", "........", "........",
                ".....P..", "..K....." }),
            true, 2, {} }),
    [](const ::testing::TestParamInfo<GameCase>& row) { return std::string(row.param.name); });

// ---- Handlers that change the game while the engine's move is made ----

// A writer that calls StopThinking, run from OnLegalMove while MakeMove plays the engine's
// move inside its hand-off. The engine thread waits for that hand-off, so the writer must not
// wait for it; the engine then parks instead of going on.
struct WriterCase {
    const char* name;
    void (*write)(TGameBoard&);
    int pliesAfter; // moves the engine still makes after the handler's one
};

void PrintTo(const WriterCase& c, std::ostream* os) {
    *os << c.name;
}

class WriterInsideHandOff : public ::testing::TestWithParam<WriterCase> { };

TEST_P(WriterInsideHandOff, NeitherWaitsNorHangs) {
    const WriterCase& c = GetParam();
    auto board = MakeBoard(Start, true, 1, AllCastling);
    constexpr int handlerPly = 5; // a move of White's
    int plies = 0;
    bool handlerReturned = false;
    board->OnLegalMove = [&](TChessModel*, Square, Square) {
        if (++plies != handlerPly) return;
        c.write(*board);
        handlerReturned = true;
    };
    board->SetComputerPlaysWhite(true);
    board->SetComputerPlaysBlack(true);

    ASSERT_TRUE(WaitFor([&] { return handlerReturned; }, 10000));
    WaitFor([&] { return plies >= handlerPly + c.pliesAfter && board->EngineThread()->Parked(); },
        2000);
    Settle(100);
    EXPECT_EQ(plies, handlerPly + c.pliesAfter);
    EXPECT_FALSE(board->Thinking());
    EXPECT_TRUE(board->EngineThread()->Parked());
}

INSTANTIATE_TEST_SUITE_P(Writers, WriterInsideHandOff,
    ::testing::Values(WriterCase { "Position", [](TGameBoard& b) { b.SetPosition(Start); }, 0 },
        WriterCase { "WhiteToMove", [](TGameBoard& b) { b.SetWhiteToMove(true); }, 0 },
        WriterCase { "EnPassant", [](TGameBoard& b) { b.SetEnPassant(Square::E3); }, 0 },
        WriterCase { "NewGame", [](TGameBoard& b) { b.NewGame(); }, 0 },
        WriterCase { "BothSidesOff",
            [](TGameBoard& b) {
                b.SetComputerPlaysWhite(false);
                b.SetComputerPlaysBlack(false);
            },
            0 },
        // Black (to move) stays the computer's: one more move, then White is the person's.
        WriterCase { "WhiteOff", [](TGameBoard& b) { b.SetComputerPlaysWhite(false); }, 1 }),
    [](const ::testing::TestParamInfo<WriterCase>& row) { return std::string(row.param.name); });

// The engine mates; the OnMate handler starts a new game and gives White to the computer. It
// must not wait (GameEnded is set), and the engine plays the new game's first move afterwards.
TEST(EngineGameEnd, OnMateHandlerStartsANewGame) {
    auto board = MakeBoard(Diagram({ "rnbqkbnr", "pppp.ppp", "........", "....p...", "......P.",
                               ".....P..", "PPPPP..P", "RNBQKBNR" }),
        false, 2, AllCastling);
    std::vector<std::string> events;
    board->OnMate = [&](TChessModel*, Square from, Square to) {
        events.push_back("mate " + std::to_string(ToInt(from)) + "-" + std::to_string(ToInt(to)));
        board->NewGame();
        board->SetComputerPlaysBlack(false);
        board->SetComputerPlaysWhite(true);
        events.push_back("handler done");
    };
    board->OnLegalMove = [&](TChessModel*, Square, Square) { events.push_back("move"); };
    board->SetComputerPlaysBlack(true);

    ASSERT_TRUE(WaitFor([&] { return events.size() >= 4; }, 10000));
    EXPECT_EQ(events[0], "move");
    EXPECT_EQ(events[1],
        "mate " + std::to_string(ToInt(Square::D8)) + "-" + std::to_string(ToInt(Square::H4)));
    EXPECT_EQ(events[2], "handler done");
    EXPECT_EQ(events[3], "move"); // White's first move of the new game
    WaitFor([&] { return board->EngineThread()->Parked(); }, 2000);
    Settle(50);
    EXPECT_EQ(events.size(), 4u) << "Black is the person's now";
    EXPECT_FALSE(board->WhiteToMove());
    EXPECT_EQ(board->CurrentMove(), 1);
}

// ---- A refused move belongs to one position of one game ----

// The first game ends in a threefold repetition with the engine to move, so its move is
// refused. The next game reaches the same placement, side, castling rights, en-passant square
// and depth, but not the same record: there the engine must play.
struct RefusalCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> firstGame; // the owner's moves
    bool engineWhite; // the engine's side at the repetition
    void (*nextGame)(TGameBoard&); // the next game, up to the engine's turn
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
    *os << c.name;
}

class RefusalInALaterGame : public ::testing::TestWithParam<RefusalCase> { };

TEST_P(RefusalInALaterGame, EnginePlays) {
    const RefusalCase& c = GetParam();
    TGameBoard board;
    board.SetAnimateMoves(false);
    board.SetSearchDepth(1);
    board.NewGame();
    int repetitions = 0;
    int plies = 0;
    board.OnThreefoldPosition = [&](TChessModel*) { ++repetitions; };
    board.OnLegalMove = [&](TChessModel*, Square, Square) { ++plies; };
    for (const auto& [from, to] : c.firstGame) ASSERT_TRUE(board.MakeMove(Sq(from), Sq(to)));
    ASSERT_EQ(repetitions, 1);
    ASSERT_EQ(board.WhiteToMove(), c.engineWhite);
    if (c.engineWhite)
        board.SetComputerPlaysWhite(true);
    else
        board.SetComputerPlaysBlack(true);
    // Searched, refused (no move after a repetition), parked and quiet.
    ASSERT_TRUE(WaitFor([&] {
        return board.EngineThread()->HandOffCount() == 2 && board.EngineThread()->Parked();
    }));
    ASSERT_EQ(board.EngineThread()->SearchCount(), 1);
    const int pliesBefore = plies;

    c.nextGame(board);
    EXPECT_TRUE(WaitFor([&] { return plies > pliesBefore + (c.engineWhite ? 0 : 1); }, 10000))
        << "the engine stays silent in the new game";
    board.SetComputerPlaysWhite(false);
    board.SetComputerPlaysBlack(false);
}

INSTANTIATE_TEST_SUITE_P(Games, RefusalInALaterGame,
    ::testing::Values(
        // The start placement three times with White (the engine) to move; then the window's
        // start of a game with the computer playing White.
        RefusalCase { "EngineOpensTheNextGame",
            { { "g1", "f3" }, { "g8", "f6" }, { "f3", "g1" }, { "f6", "g8" }, { "g1", "f3" },
                { "g8", "f6" }, { "f3", "g1" }, { "f6", "g8" } },
            true,
            [](TGameBoard& b) {
                b.NewGame();
                b.SetComputerPlaysBlack(false);
                b.SetComputerPlaysWhite(true);
            } },
        // The position after 1.e3 three times with Black (the engine) to move; in the next game
        // the person plays 1.e3 again.
        RefusalCase { "EngineAnswersTheSameOpening",
            { { "e2", "e3" }, { "g8", "f6" }, { "g1", "f3" }, { "f6", "g8" }, { "f3", "g1" },
                { "g8", "f6" }, { "g1", "f3" }, { "f6", "g8" }, { "f3", "g1" } },
            false,
            [](TGameBoard& b) {
                b.NewGame();
                b.SetComputerPlaysWhite(false);
                b.SetComputerPlaysBlack(true);
                ASSERT_TRUE(b.UserMove(Sq("e2"), Sq("e3")));
            } }),
    [](const ::testing::TestParamInfo<RefusalCase>& row) { return std::string(row.param.name); });

} // namespace
