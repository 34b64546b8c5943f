// The search and the evaluation: the known results from the starting position, mates,
// stalemates, the evaluation terms, move ordering by the best line, stopping, and the
// bounds that keep a search inside its arrays.
#include "EngineTestUtil.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
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
    std::atomic<bool> stopFlag { false }; // for tests that give the search a stop flag
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

namespace {

// The position with the colours exchanged: ranks in reverse order, White's pieces Black's and
// the other way round, the other side to move, the castling rights and the en-passant square
// swapped accordingly.
std::string MirroredFen(const std::string& fen) {
    std::istringstream fields(fen);
    std::string placement, side, castling, enPassant;
    fields >> placement >> side >> castling >> enPassant;
    std::vector<std::string> ranks;
    std::istringstream rankText(placement);
    for (std::string rank; std::getline(rankText, rank, '/');) ranks.push_back(rank);
    std::string mirrored;
    for (auto rank = ranks.rbegin(); rank != ranks.rend(); ++rank) {
        if (!mirrored.empty()) mirrored += '/';
        for (const char c : *rank)
            mirrored += std::isupper(static_cast<unsigned char>(c))
                ? char(std::tolower(static_cast<unsigned char>(c)))
                : char(std::toupper(static_cast<unsigned char>(c)));
    }
    std::string rights;
    for (const char c : castling)
        rights += c == '-' ? c
            : std::isupper(static_cast<unsigned char>(c))
            ? char(std::tolower(static_cast<unsigned char>(c)))
            : char(std::toupper(static_cast<unsigned char>(c)));
    std::sort(rights.begin(), rights.end()); // "KQkq" order: capitals first
    if (enPassant != "-") enPassant[1] = char('1' + '8' - enPassant[1]);
    return mirrored + (side == "w" ? " b " : " w ") + rights + " " + enPassant;
}

} // namespace

// Every evaluation term counts for Black as it does for White: the position with the colours
// exchanged scores the same for the side to move. Each row holds a term of one colour only.
TEST_F(EngineSearchTest, EvaluationTermsCountAlikeForBothColours) {
    const char* const fens[] = {
        "4k3/8/8/8/8/P7/P7/4K3 w - -", // doubled and isolated pawns
        "4k3/8/8/8/8/8/PP6/4K3 w - -", // passed pawns side by side
        "4k3/p7/8/8/8/8/1P6/4K3 w - -", // a passed pawn facing none on its file
        "4k3/pp6/8/8/8/8/P7/4K3 w - -", // a pawn held by an enemy pawn on the next file
        "4k3/8/8/8/8/8/p7/3RK3 w - -", // a rook on a file without pawns
        "4k3/3p4/8/8/8/8/8/3RK3 w - -", // a rook on a file with an enemy pawn only
        "4k3/8/8/8/8/8/3P4/3RK3 w - -", // a rook behind its own pawn
        "qrb1k3/8/8/8/8/8/5PPP/6K1 w - -", // king shelter on the king's side
        "qrb1k3/8/8/8/8/8/PPP5/1K6 w - -", // and on the queen's side
        "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3",
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
    };
    for (const char* fen : fens) {
        const std::string mirrored = MirroredFen(fen);
        SCOPED_TRACE(std::string(fen) + " / " + mirrored);
        const int score = EvaluateFen(fen);
        EXPECT_EQ(EvaluateFen(mirrored), score);
    }
}

namespace {

// Kings on e8 and e1 and the pawns of the two sets (bit i = square i, a8 = 0), White to move.
std::string KingsAndPawns(std::uint64_t white, std::uint64_t black) {
    std::string fen;
    for (int row = 0; row < 8; ++row) {
        int empty = 0;
        for (int column = 0; column < 8; ++column) {
            const int square = row * 8 + column;
            char c = 0;
            if (square == SquareIndex("e8")) c = 'k';
            if (square == SquareIndex("e1")) c = 'K';
            if (white >> square & 1) c = 'P';
            if (black >> square & 1) c = 'p';
            if (c == 0) {
                ++empty;
                continue;
            }
            if (empty > 0) fen += char('0' + empty);
            empty = 0;
            fen += c;
        }
        if (empty > 0) fen += char('0' + empty);
        if (row < 7) fen += '/';
    }
    return fen + " w - -";
}

} // namespace

// The pawn terms are kept per formation of both colours: formations that share one colour's
// pawns are told apart however they follow each other in one search (one table of square
// scores, so nothing clears the cache between them). Enough formations follow each other that
// some share a place in the cache, whatever the cache's hash.
TEST_F(EngineSearchTest, PawnTermsAreKeptPerFormationOfBothColours) {
    // Ranks 7 to 2, without the squares from which a pawn would give check to a king.
    const std::uint64_t pawnSquares = 0x00FFFFFFFFFFFF00ull
        & ~((std::uint64_t(1) << SquareIndex("d7")) | (std::uint64_t(1) << SquareIndex("f7"))
            | (std::uint64_t(1) << SquareIndex("d2")) | (std::uint64_t(1) << SquareIndex("f2")));
    std::uint64_t random = 0x2545F4914F6CDD1Dull;
    const auto formation = [&](std::uint64_t taken) {
        std::uint64_t pawns = 0;
        for (int n = 0; n < 3; ++n) { // about one square in eight
            random ^= random << 13;
            random ^= random >> 7;
            random ^= random << 17;
            pawns = n == 0 ? random : pawns & random;
        }
        return pawns & pawnSquares & ~taken;
    };
    const std::uint64_t whiteStart = 0x00FF000000000000ull & pawnSquares;
    const std::uint64_t blackStart = 0x000000000000FF00ull & pawnSquares;
    std::vector<std::string> fens;
    for (int i = 0; i < 300; ++i) fens.push_back(KingsAndPawns(whiteStart, formation(whiteStart)));
    for (int i = 0; i < 300; ++i) fens.push_back(KingsAndPawns(formation(blackStart), blackStart));
    std::vector<int> fresh;
    for (const std::string& fen : fens) fresh.push_back(EvaluateFen(fen)); // cache cleared
    // Kings and pawns only, kings on the same squares: one table of square scores fits all.
    LoadOk(fens[0]);
    search->PrepareSquareScores();
    int wrong = 0;
    for (std::size_t i = 0; i < fens.size(); ++i) {
        LoadOk(fens[i]);
        if (search->Evaluate() != fresh[i] && ++wrong <= 3)
            ADD_FAILURE() << fens[i] << ": " << search->Evaluate() << " instead of " << fresh[i];
    }
    EXPECT_EQ(wrong, 0);
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

// The capture search watches the stop request on its own: long capture and check sequences
// are searched below the full-width search's last check. Stopped before its first move, it
// makes none and returns its lower bound, raised to the static score where the side to move
// may stand pat (not in check).
TEST_F(EngineSearchTest, StopRequestEndsTheCaptureSearch) {
    search->StopFlag = &stopFlag;
    struct Case {
        const char* Name;
        const char* Fen;
        bool InCheck;
    };
    const Case cases[] = {
        { "captures", "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -", false },
        { "in check", "3k4/8/8/8/8/8/3q3R/4K3 w - -", true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        LoadOk(c.Fen);
        search->PrepareSquareScores();
        stopFlag = false;
        search->CaptureSearch(-MateScore, MateScore);
        EXPECT_GT(search->Board.AcceptedMoves, 0u) << "the position has captures to search";
        search->Board.AcceptedMoves = 0;
        stopFlag = true;
        const int alpha = -MateScore + 1;
        EXPECT_EQ(search->CaptureSearch(alpha, MateScore),
            c.InCheck ? alpha : std::max(alpha, search->Evaluate()));
        EXPECT_EQ(search->Board.AcceptedMoves, 0u);
    }
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
