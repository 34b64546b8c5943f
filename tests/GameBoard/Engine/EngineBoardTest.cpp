// The engine board: generation order, sort keys, the legality filter, retracting moves,
// castling rights, perft counts and the clean-up or refusal of odd positions.
#include "EngineTestUtil.h"
#include "GameBoard/Engine/EnginePerft.h"
#include "GameBoard/Rules/SquareNumbering.h"

#include <cstring>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

using namespace engine;
using namespace enginetest;

namespace {

const std::string Kiwipete = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -";

// Everything ApplyMove may change.
struct Snapshot {
    int Color[64];
    int Piece[64];
    int Side, Other, Rights, Ep, Ply;
    explicit Snapshot(const EngineBoard& b)
        : Side(b.SideToMove)
        , Other(b.OtherSide)
        , Rights(b.CastleRights)
        , Ep(b.EpSquare)
        , Ply(b.Ply) {
        std::memcpy(Color, b.SquareColor, sizeof Color);
        std::memcpy(Piece, b.SquarePiece, sizeof Piece);
    }
    bool operator==(const Snapshot& o) const {
        return std::memcmp(Color, o.Color, sizeof Color) == 0
            && std::memcmp(Piece, o.Piece, sizeof Piece) == 0 && Side == o.Side && Other == o.Other
            && Rights == o.Rights && Ep == o.Ep && Ply == o.Ply;
    }
};

// The first generated entry with this name (and promotion piece), or nullptr.
const StackEntry* FindMove(const EngineBoard& b, const std::string& name, int promote = 0) {
    for (int i = b.CurrentFirst(); i < b.CurrentEnd(); ++i)
        if (MoveName(b.MoveList[i].Move) == name && b.MoveList[i].Move.Promote == promote)
            return &b.MoveList[i];
    return nullptr;
}

class EngineBoardTest : public ::testing::Test {
protected:
    void SetUp() override { board = std::make_unique<EngineBoard>(); }
    void LoadAndGenerate(const std::string& fen) {
        ASSERT_EQ(Load(*board, fen), LoadRefusal::Accepted) << fen;
        board->GenerateMoves();
    }
    std::unique_ptr<EngineBoard> board;
};

} // namespace

TEST_F(EngineBoardTest, StartPositionGeneratesTwentyTwoEntriesInOrder) {
    LoadAndGenerate(std::string(StartFen));
    const std::vector<std::string> expected = { "a2a3", "a2a4", "b2b3", "b2b4", "c2c3", "c2c4",
        "d2d3", "d2d4", "e2e3", "e2e4", "f2f3", "f2f4", "g2g3", "g2g4", "h2h3", "h2h4", "b1a3",
        "b1c3", "g1f3", "g1h3", "e1g1", "e1c1" };
    EXPECT_EQ(GeneratedMoves(*board), expected);
    EXPECT_EQ(board->MoveList[20].Move.Flags, FlagCastle);
    EXPECT_EQ(board->MoveList[1].Move.Flags, FlagPawn | FlagDoubleStep);
    EXPECT_EQ(board->PlyFirst[1], 22);

    int legal = 0;
    for (int i = 0; i < 22; ++i) {
        const Snapshot before(*board);
        if (board->ApplyMove(board->MoveList[i].Move)) {
            ++legal;
            board->RetractMove();
        }
        EXPECT_EQ(Snapshot(*board), before) << i;
    }
    EXPECT_EQ(legal, 20);
}

TEST_F(EngineBoardTest, CapturesOnlyListCapturesAndPromotingSteps) {
    // White: pawn a7 steps to a8 (promotions), pawn c6 may take b7, pawn h2 may only step.
    ASSERT_EQ(Load(*board, "4k3/Pp6/2P5/8/8/8/7P/4K3 w - -"), LoadRefusal::Accepted);
    board->GenerateCaptures();
    const std::vector<std::string> expected = { "a7a8", "a7a8", "a7a8", "a7a8", "c6b7" };
    EXPECT_EQ(GeneratedMoves(*board), expected);
    for (int promote = Knight; promote <= Queen; ++promote) {
        const StackEntry& e = board->MoveList[promote - 1];
        EXPECT_EQ(e.Move.Promote, promote);
        EXPECT_EQ(e.Move.Flags, FlagPawn | FlagPromotion);
        EXPECT_EQ(e.Key, 1000000 + 10 * promote);
    }
}

namespace {

// Pawns on the edge files and on both sides of the board, with and without targets.
struct CaptureListCase {
    const char* Name;
    const char* Fen;
};

const CaptureListCase CaptureListCases[] = {
    { "WhitePawnsOnEdgeFiles", "4k3/8/1p4p1/P6P/8/8/8/4K3 w - -" },
    { "WhitePawnsFacingTheOtherEdge", "4k3/8/8/p6p/P6P/8/8/4K3 w - -" },
    { "BlackPawnsOnEdgeFiles", "4k3/8/8/8/p6p/1P4P1/8/4K3 b - -" },
    { "BlackPawnsFacingTheOtherEdge", "4k3/8/8/8/p6p/P6P/8/4K3 b - -" },
    { "PromotionsWithAndWithoutCaptures", "1n2k2n/P5PP/8/8/8/8/pp5p/N3K2N w - -" },
    { "BlackPromotions", "1n2k2n/P5PP/8/8/8/8/pp5p/N3K2N b - -" },
    { "EnPassant", "4k3/8/8/3pP3/8/8/8/4K3 w - d6" },
    // One piece with one capture, which no other kind of piece could make from its square: a
    // piece passed over for a wrong reach of its kind loses it.
    { "KnightTakes", "4k3/8/8/3p4/8/4N3/8/K7 w - -" },
    { "BishopTakes", "4k3/8/8/6p1/8/8/8/K1B5 w - -" },
    { "RookTakes", "4k3/8/2n5/8/8/8/8/K1R5 w - -" },
    { "QueenTakesAlongARank", "4k3/8/8/8/8/8/8/K1Q3n1 w - -" },
    { "QueenTakesAlongADiagonal", "4k3/8/8/6n1/8/8/8/K1Q5 w - -" },
    { "KingTakes", "4k3/8/8/8/8/8/1n6/K7 w - -" },
    { "BlackKnightTakes", "k7/8/4n3/8/3P4/8/8/4K3 b - -" },
    { "BlackBishopTakes", "k1b5/8/8/8/6P1/8/8/4K3 b - -" },
    { "BlackRookTakes", "k1r5/8/8/8/8/2N5/8/4K3 b - -" },
    { "BlackQueenTakesAlongAFile", "k1q5/8/8/8/8/8/2N5/4K3 b - -" },
    { "BlackQueenTakesAlongADiagonal", "k1q5/8/8/8/6N1/8/8/4K3 b - -" },
    { "BlackKingTakes", "k7/1N6/8/8/8/8/8/4K3 b - -" },
    { "Kiwipete", "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -" },
    { "KiwipeteBlack", "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R b KQkq -" },
};

class EngineCaptureListTest : public ::testing::TestWithParam<CaptureListCase> { };

} // namespace

// The captures-only list is the full list without its quiet moves: same entries, order
// and keys.
TEST_P(EngineCaptureListTest, CapturesAreTheFullListWithoutQuietMoves) {
    auto board = std::make_unique<EngineBoard>();
    ASSERT_EQ(Load(*board, GetParam().Fen), LoadRefusal::Accepted);
    board->GenerateMoves();
    std::vector<std::pair<std::string, std::int32_t>> expected;
    for (int i = board->CurrentFirst(); i < board->CurrentEnd(); ++i) {
        const StackEntry& e = board->MoveList[i];
        if (e.Move.Flags & (FlagCapture | FlagPromotion))
            expected.emplace_back(MoveName(e.Move) + char('0' + e.Move.Promote), e.Key);
    }
    board->GenerateCaptures();
    std::vector<std::pair<std::string, std::int32_t>> captures;
    for (int i = board->CurrentFirst(); i < board->CurrentEnd(); ++i) {
        const StackEntry& e = board->MoveList[i];
        captures.emplace_back(MoveName(e.Move) + char('0' + e.Move.Promote), e.Key);
    }
    EXPECT_EQ(captures, expected);
}

INSTANTIATE_TEST_SUITE_P(Positions, EngineCaptureListTest, ::testing::ValuesIn(CaptureListCases),
    [](const ::testing::TestParamInfo<CaptureListCase>& param) {
        return std::string(param.param.Name);
    });

TEST_F(EngineBoardTest, StepOntoSeventhRankIsAnOrdinaryPawnMove) {
    LoadAndGenerate("4k3/8/P7/8/8/8/8/4K3 w - -");
    const StackEntry* step = FindMove(*board, "a6a7");
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(step->Move.Flags, FlagPawn);
    EXPECT_EQ(step->Move.Promote, 0);
}

TEST_F(EngineBoardTest, SortKeys) {
    struct Case {
        const char* Fen;
        const char* Move;
        int Promote;
        int Key;
    };
    const Case cases[] = {
        { "4k3/8/8/3pP3/8/8/8/4K3 w - d6", "e5d6", 0, 1000060 }, // en passant
        { "4k3/8/8/8/8/3q4/4P3/4K3 w - -", "e2d3", 0, 1000040 }, // pawn takes queen
        { "4k3/8/8/8/8/8/4p3/4K3 w - -", "e1e2", 0, 999995 }, // king takes pawn
        { "4k3/8/8/8/8/8/4p3/3QK3 w - -", "d1e2", 0, 999996 }, // queen takes pawn
        { "1n2k3/P7/8/8/8/8/8/4K3 w - -", "a7b8", Knight, 1000010 }, // capture-promotion
        { "1n2k3/P7/8/8/8/8/8/4K3 w - -", "a7b8", Queen, 1000040 },
        { "4k3/8/8/8/8/8/8/4K3 w - -", "e1d1", 0, 0 }, // quiet: history, cleared
    };
    for (const Case& c : cases) {
        LoadAndGenerate(c.Fen);
        const StackEntry* e = FindMove(*board, c.Move, c.Promote);
        ASSERT_NE(e, nullptr) << c.Fen << " " << c.Move;
        EXPECT_EQ(e->Key, c.Key) << c.Fen << " " << c.Move;
    }
    board->HistoryScore[SquareIndex("e1")][SquareIndex("d1")] = 7;
    board->GenerateMoves();
    EXPECT_EQ(FindMove(*board, "e1d1")->Key, 7);
}

TEST_F(EngineBoardTest, RefusedMovesLeaveTheBoardAsItWas) {
    struct Case {
        const char* Fen;
        const char* Move;
        int Promote;
    };
    const Case cases[] = {
        { "8/8/8/KPp4r/8/8/8/7k w - c6", "b5c6", 0 }, // en passant opens the rank
        { "4K3/8/8/8/8/k7/1p6/2B5 b - -", "b2b1", Knight }, // pinned promotion
        { "4kr2/8/8/8/8/8/8/R3K2R w KQ -", "e1g1", 0 }, // castling through f1
        { "4k3/8/8/8/8/8/4r3/R3K2R w KQ -", "e1g1", 0 }, // castling out of check
        { "4k3/8/8/8/8/8/8/RN2K2R w KQ -", "e1c1", 0 }, // b1 occupied
        { "4k3/8/8/8/8/8/8/R3K1NR w KQ -", "e1g1", 0 }, // g1 occupied
        { "4k3/8/8/8/8/8/3r4/R3K2R w KQ -", "e1d1", 0 }, // king into check
    };
    for (const Case& c : cases) {
        LoadAndGenerate(c.Fen);
        const StackEntry* e = FindMove(*board, c.Move, c.Promote);
        ASSERT_NE(e, nullptr) << c.Fen << " " << c.Move;
        const Snapshot before(*board);
        const std::uint64_t accepted = board->AcceptedMoves;
        EXPECT_FALSE(board->ApplyMove(e->Move)) << c.Fen << " " << c.Move;
        EXPECT_EQ(Snapshot(*board), before) << c.Fen << " " << c.Move;
        EXPECT_EQ(board->AcceptedMoves, accepted);
    }
}

TEST_F(EngineBoardTest, QueenSideCastlingNeedsB1EmptyButNotSafe) {
    LoadAndGenerate("1r2k3/8/8/8/8/8/8/R3K2R w KQ -");
    const Snapshot before(*board);
    const StackEntry* castle = FindMove(*board, "e1c1");
    ASSERT_NE(castle, nullptr);
    ASSERT_TRUE(board->ApplyMove(castle->Move));
    EXPECT_EQ(board->SquarePiece[SquareIndex("d1")], Rook);
    EXPECT_EQ(board->SquarePiece[SquareIndex("c1")], King);
    EXPECT_EQ(board->SquarePiece[SquareIndex("a1")], NoPiece);
    EXPECT_EQ(board->CastleRights, 0);
    board->RetractMove();
    EXPECT_EQ(Snapshot(*board), before);
}

TEST_F(EngineBoardTest, CastlingRightsFollowTheMaskAndComeBack) {
    struct Case {
        const char* Fen;
        const char* Move;
        int RightsAfter;
    };
    const Case cases[] = {
        { "r3k2r/8/8/8/8/8/6b1/R3K2R b KQkq -", "g2h1", 15 & ~WhiteKingSideRight },
        { "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "e1f1", 15 & ~3 },
        { "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "a1a8", 15 & ~(WhiteQueenSideRight | 8) },
        { "r3k2r/8/8/8/8/8/8/R3K2R b KQkq -", "e8g8", 3 },
    };
    for (const Case& c : cases) {
        LoadAndGenerate(c.Fen);
        const Snapshot before(*board);
        const StackEntry* e = FindMove(*board, c.Move);
        ASSERT_NE(e, nullptr) << c.Move;
        ASSERT_TRUE(board->ApplyMove(e->Move)) << c.Move;
        EXPECT_EQ(board->CastleRights, c.RightsAfter) << c.Move;
        board->RetractMove();
        EXPECT_EQ(Snapshot(*board), before) << c.Move;
    }
}

TEST_F(EngineBoardTest, DoubleStepSetsTheEnPassantSquare) {
    LoadAndGenerate(std::string(StartFen));
    ASSERT_TRUE(board->ApplyMove(FindMove(*board, "e2e4")->Move));
    EXPECT_EQ(board->EpSquare, SquareIndex("e3"));
    board->GenerateMoves();
    ASSERT_TRUE(board->ApplyMove(FindMove(*board, "g8f6")->Move));
    EXPECT_EQ(board->EpSquare, -1);
}

TEST_F(EngineBoardTest, PerftCounts) {
    struct Case {
        std::string Fen;
        std::vector<std::uint64_t> Counts; // depth 1, 2, ...
    };
    const Case cases[] = {
        { std::string(StartFen), { 20, 400, 8902 } },
        { Kiwipete, { 48, 2039, 97862 } },
        { "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -", { 14, 191, 2812, 43238 } },
        { "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq -", { 6, 264, 9467 } },
        { "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ -", { 44, 1486, 62379 } },
    };
    for (const Case& c : cases) {
        for (std::size_t d = 0; d < c.Counts.size(); ++d) {
            ASSERT_EQ(Load(*board, c.Fen), LoadRefusal::Accepted);
            const Snapshot before(*board);
            EXPECT_EQ(Perft(*board, int(d + 1)), c.Counts[d]) << c.Fen << " depth " << d + 1;
            EXPECT_EQ(Snapshot(*board), before);
        }
    }
}

TEST_F(EngineBoardTest, AttacksAndCheck) {
    ASSERT_EQ(Load(*board, "4k3/8/8/8/1b6/8/3P4/4K2R w K -"), LoadRefusal::Accepted);
    EXPECT_FALSE(board->InCheck(White)); // the d2 pawn blocks the bishop
    EXPECT_TRUE(board->IsAttacked(SquareIndex("d2"), Black));
    EXPECT_TRUE(board->IsAttacked(SquareIndex("c3"), White)); // pawn d2 takes towards c3
    EXPECT_TRUE(board->IsAttacked(SquareIndex("h8"), White)); // rook up the h-file
    EXPECT_FALSE(board->IsAttacked(SquareIndex("d3"), White)); // a pawn does not attack ahead
    EXPECT_TRUE(board->IsAttacked(SquareIndex("d7"), Black)); // king
}

TEST_F(EngineBoardTest, OddPositionsAreCleanedUpOrRefused) {
    struct Case {
        const char* Fen;
        LoadRefusal Expected;
    };
    const Case cases[] = {
        { "8/8/8/8/8/8/8/4K3 w - -", LoadRefusal::BlackKingCount },
        { "4k3/8/8/8/8/8/8/8 b - -", LoadRefusal::WhiteKingCount },
        { "4k3/8/8/8/8/8/8/3KK3 w - -", LoadRefusal::WhiteKingCount },
        { "P3k3/8/8/8/8/8/8/4K3 w - -", LoadRefusal::PawnOnBackRank },
        { "4k3/8/8/8/8/8/8/p3K3 b - -", LoadRefusal::PawnOnBackRank },
        { "4k3/8/8/8/8/8/8/4K2r b - -", LoadRefusal::KingCapturable }, // Black to capture
        { "4k3/8/8/8/8/8/8/4K2r w - -", LoadRefusal::Accepted }, // White in check
    };
    for (const Case& c : cases) EXPECT_EQ(Load(*board, c.Fen), c.Expected) << c.Fen;

    // Rights without their rook or king at home are dropped: no castling conjures a rook.
    ASSERT_EQ(Load(*board, "r3k3/8/8/8/8/8/8/4K2R w KQkq -"), LoadRefusal::Accepted);
    EXPECT_EQ(board->CastleRights, WhiteKingSideRight | BlackQueenSideRight);
    ASSERT_EQ(Load(*board, "r3k2r/8/8/8/8/8/8/R2K3R w KQkq -"), LoadRefusal::Accepted);
    EXPECT_EQ(board->CastleRights, BlackKingSideRight | BlackQueenSideRight);

    // An en-passant square without a pawn to take, or on the wrong rank, is dropped.
    ASSERT_EQ(Load(*board, "4k3/8/8/4P3/8/8/8/4K3 w - d6"), LoadRefusal::Accepted);
    EXPECT_EQ(board->EpSquare, -1);
    ASSERT_EQ(Load(*board, "4k3/8/8/3pP3/8/8/8/4K3 b - d6"), LoadRefusal::Accepted);
    EXPECT_EQ(board->EpSquare, -1);
    ASSERT_EQ(Load(*board, "4k3/8/8/3pP3/8/8/8/4K3 w - d6"), LoadRefusal::Accepted);
    EXPECT_EQ(board->EpSquare, SquareIndex("d6"));
}

TEST_F(EngineBoardTest, UnknownCharactersAreEmptySquares) {
    SquareCells squares;
    squares.fill(' ');
    squares[NoneCell] = '_';
    squares[EndCell] = '\0';
    squares[CellOf(Square::E8)] = 'k';
    squares[CellOf(Square::E1)] = 'K';
    squares[CellOf(Square::C4)] = 'c'; // between 'b' and 'r' but no piece
    squares[CellOf(Square::D4)] = 'X';
    squares[CellOf(Square::F4)] = '\x90';
    const EnginePositionSource source { squares, true, AllCastling, Square::None };
    ASSERT_EQ(board->LoadPosition(source), LoadRefusal::Accepted);
    for (int i : { SquareIndex("c4"), SquareIndex("d4"), SquareIndex("f4") }) {
        EXPECT_EQ(board->SquareColor[i], NoColor);
        EXPECT_EQ(board->SquarePiece[i], NoPiece);
    }
    EXPECT_EQ(board->CastleRights, 0);
}

namespace {

// A move of a piece standing between its own king and an enemy slider.
struct PinCase {
    const char* Name;
    const char* Fen;
    const char* Move;
    bool Accepted;
};

const PinCase PinCases[] = {
    { "BishopTakesItsPinner", "4k3/8/8/8/8/2b5/3B4/4K3 w - -", "d2c3", true },
    { "BishopLeavesTheDiagonal", "4k3/8/8/8/8/2b5/3B4/4K3 w - -", "d2e3", false },
    { "BishopSlidesAlongThePin", "4k3/8/8/b7/8/8/3B4/4K3 w - -", "d2b4", true },
    { "BishopTakesAFarPinner", "4k3/8/8/b7/8/8/3B4/4K3 w - -", "d2a5", true },
    { "RookPinnedOnADiagonalSteps", "4k3/8/8/b7/8/8/3R4/4K3 w - -", "d2d3", false },
    { "RookSlidesUpItsFile", "4k3/4r3/8/8/8/8/4R3/4K3 w - -", "e2e5", true },
    { "RookTakesItsPinner", "4k3/4r3/8/8/8/8/4R3/4K3 w - -", "e2e7", true },
    { "RookLeavesItsFile", "4k3/4r3/8/8/8/8/4R3/4K3 w - -", "e2d2", false },
    { "TwoOwnPiecesShieldEachOther", "4k3/4r3/8/8/8/4N3/4R3/4K3 w - -", "e3c4", true },
    { "EnemyPieceOnTheLine", "4k3/4r3/8/8/4p3/8/4R3/4K3 w - -", "e2d2", true },
    { "BishopCannotPinOnAFile", "4k3/4b3/8/8/8/8/4R3/4K3 w - -", "e2d2", true },
    { "KnightPinnedOnTheRank", "4k3/8/8/8/8/8/8/r2NK3 w - -", "d1c3", false },
    { "PawnDoubleStepAlongThePin", "4k3/4r3/8/8/8/8/4P3/4K3 w - -", "e2e4", true },
    { "PawnTakesItsDiagonalPinner", "4k3/8/8/8/8/2b5/3P4/4K3 w - -", "d2c3", true },
    { "PawnStepsOffTheDiagonal", "4k3/8/8/8/8/2b5/3P4/4K3 w - -", "d2d3", false },
    { "BlackPawnPinnedByABishop", "4k3/3p4/8/1B6/8/8/8/4K3 b - -", "d7d5", false },
};

// King steps, and moves of the side in check.
const PinCase KingAndCheckCases[] = {
    { "KingStepsAwayAlongTheCheckingRank", "4k3/8/8/8/8/8/8/r3K3 w - -", "e1f1", false },
    { "KingStepsOffTheCheckingRank", "4k3/8/8/8/8/8/8/r3K3 w - -", "e1e2", true },
    { "KingTakesAGuardedRook", "3rk3/8/8/8/8/8/3r4/4K3 w - -", "e1d2", false },
    { "KingTakesAnUnguardedRook", "4k3/8/8/8/8/8/3r4/4K3 w - -", "e1d2", true },
    { "KingNextToTheEnemyKing", "8/8/8/8/8/3k4/8/4K3 w - -", "e1e2", false },
    { "KingKeepsAwayFromTheEnemyKing", "8/8/8/8/8/3k4/8/4K3 w - -", "e1f1", true },
    { "KingTakesTheCheckingPawn", "4k3/8/8/8/8/8/3p4/4K3 w - -", "e1d2", true },
    { "RookBlocksTheCheck", "4k3/8/8/8/8/8/2R5/r3K3 w - -", "c2c1", true },
    { "RookMovesWithoutBlocking", "4k3/8/8/8/8/8/2R5/r3K3 w - -", "c2c3", false },
    { "RookTakesTheChecker", "4k3/8/8/R7/8/8/8/r3K3 w - -", "a5a1", true },
    { "RookStopsShortOfTheChecker", "4k3/8/8/R7/8/8/8/r3K3 w - -", "a5a2", false },
    { "BishopTakesTheCheckingKnight", "4k3/8/8/8/8/3n4/8/4KB2 w - -", "f1d3", true },
    { "KnightCheckCannotBeBlocked", "4k3/8/8/8/8/3n4/8/4KB2 w - -", "f1e2", false },
    { "DoubleCheckBlockedOnTheRank", "4k3/8/8/3R4/1b6/8/8/r3K3 w - -", "d5d1", false },
    { "DoubleCheckBlockedOnTheDiagonal", "4k3/8/8/3R4/1b6/8/8/r3K3 w - -", "d5d2", false },
    { "DoubleCheckAnsweredByTheKing", "4k3/8/8/3R4/1b6/8/8/r3K3 w - -", "e1f2", true },
    { "PinnedPieceCannotBlock", "4k3/8/8/8/1b6/8/3B4/r3K3 w - -", "d2c1", false },
};

class EnginePinTest : public ::testing::TestWithParam<PinCase> { };

} // namespace

TEST_P(EnginePinTest, MoveIsAcceptedOnlyWhenTheKingStaysCovered) {
    const PinCase& c = GetParam();
    auto board = std::make_unique<EngineBoard>();
    ASSERT_EQ(Load(*board, c.Fen), LoadRefusal::Accepted);
    board->GenerateMoves();
    const StackEntry* e = FindMove(*board, c.Move);
    ASSERT_NE(e, nullptr);
    const Snapshot before(*board);
    EXPECT_EQ(board->ApplyMove(e->Move), c.Accepted);
    if (c.Accepted) board->RetractMove();
    EXPECT_EQ(Snapshot(*board), before);
    // The same answer a second time at this ply, and for the full test by the king's square.
    EXPECT_EQ(board->ApplyMove(e->Move), c.Accepted);
    if (c.Accepted) {
        EXPECT_FALSE(board->InCheck(board->OtherSide));
        board->RetractMove();
    }
}

INSTANTIATE_TEST_SUITE_P(Pins, EnginePinTest, ::testing::ValuesIn(PinCases),
    [](const ::testing::TestParamInfo<PinCase>& param) { return std::string(param.param.Name); });
INSTANTIATE_TEST_SUITE_P(KingAndChecks, EnginePinTest, ::testing::ValuesIn(KingAndCheckCases),
    [](const ::testing::TestParamInfo<PinCase>& param) { return std::string(param.param.Name); });
