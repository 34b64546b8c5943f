// The search and the evaluation: the known results from the starting position, mates,
// stalemates, the evaluation terms, move ordering by the best line, stopping, and the
// bounds that keep a search inside its arrays.
#include "EngineTestUtil.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace engine;
using namespace enginetest;

namespace {

class EngineSearchTest : public ::testing::Test {
protected:
    void SetUp() override { search = std::make_unique<EngineSearch>(); }
    void LoadOk(const std::string& fen) {
        ASSERT_EQ(Load(*search, fen), LoadRefusal::Accepted) << fen;
    }
    int EvaluateFen(const std::string& fen) {
        EXPECT_EQ(Load(*search, fen), LoadRefusal::Accepted) << fen;
        search->PrepareSquareScores();
        return search->Evaluate();
    }
    std::unique_ptr<EngineSearch> search;
};

} // namespace

TEST_F(EngineSearchTest, StartPositionResultsOfAFreshEngine) {
    struct Case {
        const char* Side;
        int Depth;
        const char* Move;
        int Score;
    };
    const Case cases[] = { { "w", 1, "d2d4", 28 }, { "w", 2, "d2d4", 0 }, { "w", 3, "d2d4", 25 },
        { "b", 1, "d7d5", 28 } };
    for (const Case& c : cases) {
        TEngine engine;
        FenPosition position;
        std::string error;
        ASSERT_TRUE(ParseFen(
            std::string("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR ") + c.Side + " KQkq -",
            position, error));
        ASSERT_TRUE(engine.LoadPosition(position.Source()));
        EXPECT_EQ(engine.SearchRoot(c.Depth), c.Score) << c.Side << c.Depth;
        EXPECT_EQ(MoveName(engine.BestMove()), c.Move) << c.Side << c.Depth;
    }
}

TEST_F(EngineSearchTest, StartPositionEvaluatesToZeroForEitherSide) {
    EXPECT_EQ(EvaluateFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -"), 0);
    EXPECT_EQ(EvaluateFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq -"), 0);
}

TEST_F(EngineSearchTest, MateInOneIsFoundAtDepthOne) {
    LoadOk("6k1/5ppp/8/8/8/8/8/R5K1 w - -");
    EXPECT_EQ(search->SearchRoot(1), 9999);
    EXPECT_EQ(MoveName(search->BestLine[0][0]), "a1a8");
    LoadOk("6k1/5ppp/8/8/8/8/8/R5K1 w - -");
    EXPECT_EQ(search->SearchRoot(3), 9999);
}

TEST_F(EngineSearchTest, MatedSideScoresByPly) {
    // Black is mated: the full-width search and the capture search both see it.
    LoadOk("R5k1/5ppp/8/8/8/8/8/6K1 b - -");
    EXPECT_EQ(search->AlphaBeta(-MateScore, MateScore, 2), -MateScore);
    EXPECT_EQ(search->CaptureSearch(-MateScore, MateScore), -MateScore);
    EXPECT_EQ(search->AlphaBeta(-50, 50, 1), -MateScore); // unclamped
}

TEST_F(EngineSearchTest, StalemateIsRecognisedOnlyInTheFullWidthSearch) {
    LoadOk("7k/5Q2/6K1/8/8/8/8/8 b - -");
    search->PrepareSquareScores();
    const int eval = search->Evaluate();
    ASSERT_NE(eval, 0);
    EXPECT_EQ(search->AlphaBeta(-MateScore, MateScore, 1), 0);
    EXPECT_EQ(search->CaptureSearch(-MateScore, MateScore), eval);
}

TEST_F(EngineSearchTest, PassedPawnCountsThreeTimesItsEntry) {
    // Black keeps 1,700 in pieces, so White's king on g1 uses the middle-game table.
    const std::string withPawn = "qrb1k3/4P3/8/8/8/8/8/6K1 w - -";
    const int with = EvaluateFen(withPawn);
    EXPECT_EQ(search->SquareScore[White][Pawn][SquareIndex("e7")], 120);
    EXPECT_EQ(search->SquareScore[White][Pawn][SquareIndex("g2")], 120); // shield 20
    EXPECT_EQ(search->SquareScore[White][Pawn][SquareIndex("b2")], 100);
    EXPECT_EQ(search->SquareScore[White][King][SquareIndex("g1")], 10);
    const int without = EvaluateFen("qrb1k3/8/8/8/8/8/8/6K1 w - -");
    // 120 entry + 240 passed - 20 isolated - 10 no enemy pawn on the file.
    EXPECT_EQ(with - without, 330);
}

TEST_F(EngineSearchTest, EvaluationTerms) {
    struct Case {
        const char* Fen;
        int Score;
    };
    const Case cases[] = {
        // Doubled, isolated a-pawns (each -35) against an isolated b7 pawn (-30).
        { "4k3/1p6/8/8/8/P7/P7/4K3 w - -", (201 - 70 - 5) - (100 - 30 - 5) },
        { "4k3/1p6/8/8/8/P7/P7/4K3 b - -", -((201 - 70 - 5) - (100 - 30 - 5)) },
        // A rook on a file without pawns gains 15.
        { "4k3/8/8/8/8/8/8/3RK3 w - -", (500 + 15 - 5) - (-5) },
        // With only an enemy pawn on its file, 10; the d7 pawn is isolated and passed.
        { "4k3/3p4/8/8/8/8/8/3RK3 w - -", (500 + 10 - 5) - (80 - 30 + 160 - 5) },
    };
    for (const Case& c : cases) EXPECT_EQ(EvaluateFen(c.Fen), c.Score) << c.Fen;
}

TEST_F(EngineSearchTest, PhaseIsFixedByTheRootPosition) {
    // Black has queen and rook (1,400): White's king already uses the ending table.
    EvaluateFen("rq2k3/8/8/8/8/8/5PPP/6K1 w - -");
    EXPECT_EQ(search->SquareScore[White][King][SquareIndex("g1")], -5);
    EXPECT_EQ(search->SquareScore[White][Pawn][SquareIndex("g2")], 100);
    EvaluateFen("rqb1k3/8/8/8/8/8/5PPP/6K1 w - -");
    EXPECT_EQ(search->SquareScore[White][King][SquareIndex("g1")], 10);
    EXPECT_EQ(search->SquareScore[Black][King][SquareIndex("g8")], -5);
}

TEST_F(EngineSearchTest, BoostRaisesTheFirstMatchingMoveOnly) {
    LoadOk("4k3/P7/8/8/8/8/8/4K3 w - -");
    search->Board.GenerateMoves();
    search->BestLine[0][0] = EngineMove { std::uint8_t(SquareIndex("a7")),
        std::uint8_t(SquareIndex("a8")), Queen, FlagPawn | FlagPromotion };
    search->FollowBestLine = true;
    search->BoostBestLineMove();
    EXPECT_TRUE(search->FollowBestLine);
    const StackEntry& first = search->Board.MoveList[0];
    EXPECT_EQ(first.Move.Promote, Knight);
    EXPECT_EQ(first.Key, 10000000 + 1000010);
    EXPECT_EQ(search->Board.MoveList[3].Key, 1000040);

    search->BestLine[0][0] = EngineMove {};
    search->BoostBestLineMove();
    EXPECT_FALSE(search->FollowBestLine);
}

TEST_F(EngineSearchTest, PickNextMoveTakesTheLowestIndexAmongEqualKeys) {
    LoadOk("4k3/8/8/8/8/8/8/4K3 w - -");
    search->Board.GenerateMoves();
    StackEntry* list = search->Board.MoveList;
    const int end = search->Board.CurrentEnd();
    ASSERT_EQ(end, 5);
    list[2].Key = 3;
    list[4].Key = 3;
    const EngineMove third = list[2].Move;
    const EngineMove first = list[0].Move;
    search->PickNextMove(0);
    EXPECT_EQ(list[0].Move, third);
    EXPECT_EQ(list[2].Move, first);
    search->PickNextMove(1);
    EXPECT_EQ(list[1].Key, 3);
}

TEST_F(EngineSearchTest, NoLegalMoveAtTheRootKeepsThePreviousResult) {
    LoadOk("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
    search->SearchRoot(1);
    LoadOk("7k/5Q2/6K1/8/8/8/8/8 b - -");
    EXPECT_EQ(search->SearchRoot(2), 0);
    EXPECT_EQ(MoveName(search->BestLine[0][0]), "d2d4");
}

TEST_F(EngineSearchTest, BestLineCarriesOverToTheNextSearch) {
    const std::string fen = "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -";
    LoadOk(fen);
    search->SearchRoot(3);
    const std::uint64_t freshNodes = search->Board.AcceptedMoves;
    const EngineMove freshMove = search->BestLine[0][0];
    LoadOk(fen);
    search->SearchRoot(3);
    // The same result, found with the previous line tried first from the first iteration.
    EXPECT_EQ(search->BestLine[0][0], freshMove);
    EXPECT_NE(search->Board.AcceptedMoves, freshNodes);
}

TEST_F(EngineSearchTest, RequestedStopPreventsTheSearch) {
    std::atomic<bool> stop { true };
    search->StopFlag = &stop;
    LoadOk("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
    EXPECT_EQ(search->SearchRoot(4), 0);
    EXPECT_EQ(search->Board.AcceptedMoves, 0u);
    EXPECT_EQ(search->BestLine[0][0], EngineMove {});
}

TEST_F(EngineSearchTest, StopDuringASearchUnwindsToTheRoot) {
    std::atomic<bool> stop { false };
    TEngine engine;
    engine.SetStopFlag(&stop);
    FenPosition position;
    std::string error;
    ASSERT_TRUE(ParseFen(
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -", position, error));
    ASSERT_TRUE(engine.LoadPosition(position.Source()));
    std::thread searcher([&] { engine.SearchRoot(8); });
    // A depth-8 search of this position runs for minutes: the stop must cut it short.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    stop = true;
    searcher.join();
    // Back at the root: perft from the same engine board gives the root's counts.
    EXPECT_EQ(engine.Perft(2), 2039u);
    EXPECT_EQ(engine.Perft(10), std::nullopt); // 10 plies of 436 entries overrun the stack
}

TEST_F(EngineSearchTest, DeepNodesAreScoredByTheEvaluation) {
    LoadOk("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
    search->PrepareSquareScores();
    // At the ply bound and with the move stack nearly full, nothing is generated or tried.
    search->Board.Ply = MaxSearchPly;
    search->Board.PlyFirst[MaxSearchPly] = 0;
    EXPECT_EQ(search->AlphaBeta(-MateScore, MateScore, 3), 0);
    EXPECT_EQ(search->CaptureSearch(5, 10), 5);
    EXPECT_EQ(search->BestLineLength[MaxSearchPly], MaxSearchPly);
    search->Board.Ply = 3;
    search->Board.PlyFirst[3] = MoveStackSize - 100;
    EXPECT_EQ(search->AlphaBeta(-20, -10, 2), -10);
    EXPECT_EQ(search->Board.AcceptedMoves, 0u);
}

TEST_F(EngineSearchTest, RefusedPositionIsNotSearched) {
    TEngine engine;
    FenPosition position;
    std::string error;
    ASSERT_TRUE(ParseFen("4k3/8/8/8/8/8/8/8 w - -", position, error));
    EXPECT_FALSE(engine.LoadPosition(position.Source()));
    EXPECT_EQ(engine.RefusalReason(), "white must have exactly one king");
    EXPECT_EQ(engine.SearchRoot(3), 0);
    EXPECT_EQ(engine.Nodes(), 0u);
    EXPECT_EQ(engine.Perft(3), std::nullopt);
}

// In check the search tries only the moves that ApplyMove does not refuse at once, and puts
// them in order without picking through the whole list where it can: the order must be the
// one picking gives. Every position in check up to two moves from those of the table is tried,
// with history keys that repeat often, so that equal keys and the places of entries matter.
// The last position has more evasions than the walk takes without picking.
TEST_F(EngineSearchTest, EvasionsComeInTheOrderOfPicking) {
    const char* fens[] = {
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
        "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq -",
        "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ -",
        "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - -",
        "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -",
        "rnbqkb1r/ppp2ppp/4pn2/3p2B1/2PP4/2N5/PP2PPPP/R2QKBNR b KQkq -",
        "8/6k1/5pp1/3Q4/7p/6P1/q4PK1/8 b - -",
        "r1bqkbnr/pppp1ppp/2n5/4p3/2B1P3/5Q2/PPPP1PPP/RNB1K1NR w KQkq -",
        "8/8/3k4/8/2Q5/8/3q4/4K3 w - -",
        "1k6/1pp5/8/3N4/8/8/5q2/R3K2R w KQ -",
        "k7/pp6/8/8/8/NNNNNNNN/RQQQQQQ1/r6K w - -",
    };
    EngineBoard& b = search->Board;
    int positions = 0;
    int mostEvasions = 0; // over MaxEvasions: the walk picks through the whole list
    // Also with one key raised after generating, as following the best line does: the move
    // in the middle of the list, an evasion or not.
    auto expectPickingOrderWith = [&](const std::string& where, bool boost) {
        ++positions;
        auto generated = [&] {
            if (!boost) return;
            search->BestLine[0][b.Ply] = b.MoveList[(b.CurrentFirst() + b.CurrentEnd()) / 2].Move;
            search->FollowBestLine = true;
            search->BoostBestLineMove();
        };
        std::vector<std::string> picked;
        b.GenerateMoves();
        generated();
        for (int j = b.CurrentFirst(); j < b.CurrentEnd(); ++j) {
            search->PickNextMove(j);
            const EngineMove m = b.MoveList[j].Move;
            if (!b.EvasionsOfPly().Refuses(m)) picked.push_back(MoveName(m));
        }
        mostEvasions = std::max<int>(mostEvasions, int(picked.size()));
        EngineSearch::MoveWalk walk(b.CurrentFirst(), true);
        search->GenerateMoves(walk);
        generated();
        std::vector<std::string> walked;
        for (int j; (j = search->NextMove(walk)) >= 0;)
            walked.push_back(MoveName(b.MoveList[j].Move));
        EXPECT_EQ(walked, picked) << where << (boost ? " (raised)" : "");
    };
    auto expectPickingOrder = [&](const std::string& where) {
        expectPickingOrderWith(where, false);
        expectPickingOrderWith(where, true);
    };
    for (const char* fen : fens) {
        LoadOk(fen);
        for (int from = 0; from < 64; ++from)
            for (int to = 0; to < 64; ++to) b.HistoryScore[from][to] = (from * 7 + to * 3) % 4;
        // The position and those two moves on, where in check.
        std::function<void(const std::string&, int)> visit
            = [&](const std::string& line, int depth) {
                  if (b.SideToMoveInCheck()) expectPickingOrder(line);
                  if (depth == 0) return;
                  b.GenerateMoves();
                  for (int i = b.CurrentFirst(); i < b.CurrentEnd(); ++i) {
                      const EngineMove m = b.MoveList[i].Move;
                      if (!b.ApplyMove(m)) continue;
                      visit(line + " " + MoveName(m), depth - 1);
                      b.RetractMove();
                  }
              };
        visit(fen, 2);
    }
    EXPECT_GT(positions, 600);
    EXPECT_GT(mostEvasions, EngineSearch::MaxEvasions);
}
