// Move legality, king attacks with their missing-king rules, legal-move existence,
// repetition on the record and the material test; a perft through IsLegalMove/MakeMove.
#include "GameBoard/Rules/ChessModel.h"
#include "tests/GameBoard/Rules/ChessTestBoards.h"

#include <gtest/gtest.h>
#include <vector>

using namespace chess_test;

namespace {

struct LegalityCase {
    const char* name;
    std::string placement; // empty: the starting position
    bool whiteToMove;
    const char* castling;
    const char* enPassant;
    Square from, to;
    bool legal;
};

using S = Square;

// A castling board: only the back ranks are given.
std::string CastleBoard(const char* rank8, const char* rank1) {
    return Diagram(
        { rank8, "........", "........", "........", "........", "........", "........", rank1 });
}

const std::string Start = TChessModel::StartPosition;

const std::string EnPassantPin = Diagram({ "....k...", "........", "........", "K..pP..r",
    "........", "........", "........", "........" });
const std::string EnPassantFree = Diagram({ "....k...", "........", "........", "...pP...",
    "........", "........", "........", "K......." });
const std::string NoBlackKing = Diagram({ "........", "........", "........", "...p....",
    "........", "........", "........", "K......." });
const std::string NoWhiteKing = Diagram({ "....k...", "........", "........", "........",
    "...r....", "........", "...B....", "........" });

const LegalityCase Cases[] = {
    // Squares and sides.
    { "from None", Start, true, "KQkq", "", S::None, S::E4, false },
    { "to None", Start, true, "KQkq", "", S::E2, S::None, false },
    { "from past H1", Start, true, "KQkq", "", ToSquare(65), S::E4, false },
    { "piece of the side not to move", Start, true, "KQkq", "", S::E7, S::E5, false },
    { "empty from-square", Start, true, "KQkq", "", S::E4, S::E5, false },
    { "onto itself", Start, true, "KQkq", "", S::E2, S::E2, false },
    { "onto own piece", Start, true, "KQkq", "", S::D1, S::D2, false },
    // Pawns.
    { "single step", Start, true, "KQkq", "", S::E2, S::E3, true },
    { "double step", Start, true, "KQkq", "", S::E2, S::E4, true },
    { "black double step", Start, false, "KQkq", "", S::E7, S::E5, true },
    { "triple step", Start, true, "KQkq", "", S::E2, S::E5, false },
    { "diagonal onto an empty square", Start, true, "KQkq", "", S::E2, S::D3, false },
    { "backwards",
        Diagram({ "....k...", "........", "........", "........", "....P...", "........",
            "........", "....K..." }),
        true, "", "", S::E4, S::E3, false },
    { "double step over a piece",
        Diagram({ "....k...", "........", "........", "........", "........", "....n...",
            "....P...", "....K..." }),
        true, "", "", S::E2, S::E4, false },
    { "double step onto a piece",
        Diagram({ "....k...", "........", "........", "........", "....n...", "........",
            "....P...", "....K..." }),
        true, "", "", S::E2, S::E4, false },
    { "double step off the home rank",
        Diagram({ "....k...", "........", "........", "........", "........", "....P...",
            "........", "....K..." }),
        true, "", "", S::E3, S::E5, false },
    { "capture",
        Diagram({ "....k...", "........", "........", "...p....", "....P...", "........",
            "........", "....K..." }),
        true, "", "", S::E4, S::D5, true },
    { "straight onto a piece",
        Diagram({ "....k...", "........", "........", "....p...", "....P...", "........",
            "........", "....K..." }),
        true, "", "", S::E4, S::E5, false },
    { "en passant", EnPassantFree, true, "", "d6", S::E5, S::D6, true },
    { "diagonal onto empty without en passant", EnPassantFree, true, "", "", S::E5, S::D6, false },
    { "en passant uncovering the own king along the rank", EnPassantPin, true, "", "d6", S::E5,
        S::D6, false },
    // Pieces.
    { "knight", Start, true, "KQkq", "", S::G1, S::F3, true },
    { "knight straight", Start, true, "KQkq", "", S::G1, S::G3, false },
    { "bishop blocked", Start, true, "KQkq", "", S::F1, S::C4, false },
    { "rook blocked", Start, true, "KQkq", "", S::A1, S::A3, false },
    { "rook takes along the file",
        Diagram({ "....k...", "........", "........", "........", "........", "r.......",
            "........", "R...K..." }),
        true, "", "", S::A1, S::A3, true },
    { "rook cannot pass the piece it takes",
        Diagram({ "....k...", "........", "........", "........", "r.......", "p.......",
            "........", "R...K..." }),
        true, "", "", S::A1, S::A4, false },
    { "queen diagonally",
        Diagram({ "....k...", "........", "........", "........", "........", "........",
            "........", "...QK..." }),
        true, "", "", S::D1, S::H5, true },
    { "queen like a knight",
        Diagram({ "....k...", "........", "........", "........", "........", "........",
            "........", "...QK..." }),
        true, "", "", S::D1, S::E3, false },
    { "pinned bishop",
        Diagram({ "....k...", "........", "........", "........", "....r...", "........",
            "....B...", "....K..." }),
        true, "", "", S::E2, S::D3, false },
    // Kings.
    { "king one step", Start, false, "KQkq", "", S::E8, S::D8, false },
    { "king steps into a rook file",
        Diagram({ "....k...", "........", "........", "........", "........", "........",
            "...r....", "....K..." }),
        true, "", "", S::E1, S::E2, false },
    { "king steps beside the other king",
        Diagram({ "........", "........", "........", "........", "....k...", "........",
            "....K...", "........" }),
        true, "", "", S::E2, S::E3, false },
    { "king two steps without castling", CastleBoard("....k...", "........"), true, "", "", S::E1,
        S::E3, false },
    // Castling.
    { "short castling", CastleBoard("....k...", "R...K..R"), true, "KQ", "", S::E1, S::G1, true },
    { "long castling", CastleBoard("....k...", "R...K..R"), true, "KQ", "", S::E1, S::C1, true },
    { "without the right", CastleBoard("....k...", "R...K..R"), true, "Q", "", S::E1, S::G1,
        false },
    { "through an attacked square", CastleBoard(".....qk.", "R...K..R"), true, "KQ", "", S::E1,
        S::G1, false },
    { "onto an attacked square", CastleBoard("......qk", "R...K..R"), true, "KQ", "", S::E1, S::G1,
        false },
    { "out of check", CastleBoard("....q..k", "R...K..R"), true, "KQ", "", S::E1, S::G1, false },
    { "corner holds a knight", CastleBoard("....k...", "R...K..N"), true, "KQ", "", S::E1, S::G1,
        false },
    { "corner holds a black rook", CastleBoard("....k...", "R...K..r"), true, "KQ", "", S::E1,
        S::G1, false },
    { "square between occupied", CastleBoard("....k...", "R...KB.R"), true, "KQ", "", S::E1, S::G1,
        false },
    { "B1 occupied", CastleBoard("....k...", "RN..K..R"), true, "KQ", "", S::E1, S::C1, false },
    { "B1 attacked does not matter", CastleBoard(".q..k...", "R...K..R"), true, "KQ", "", S::E1,
        S::C1, true },
    { "black short castling", CastleBoard("r...k..r", "....K..."), false, "kq", "", S::E8, S::G8,
        true },
    { "black long castling through check", CastleBoard("r...k..r", "...QK..."), false, "kq", "",
        S::E8, S::C8, false },
    { "black castling without the right", CastleBoard("r...k..r", "....K..."), false, "KQ", "",
        S::E8, S::G8, false },
    // Missing kings.
    { "no black king: black cannot move", NoBlackKing, false, "", "", S::D5, S::D4, false },
    { "no white king: piece rules only", NoWhiteKing, true, "", "", S::D2, S::A5, true },
    { "no white king: pinned piece on the king's file moves", NoWhiteKing, true, "", "", S::D2,
        S::E3, true },
};

} // namespace

TEST(ChessLegalityTest, IsLegalMoveTable) {
    for (const LegalityCase& c : Cases) {
        SCOPED_TRACE(c.name);
        TChessModel board;
        SetUpGame(board, c.placement, c.whiteToMove, c.castling, c.enPassant);
        EXPECT_EQ(board.IsLegalMove(c.from, c.to), c.legal);
    }
}

TEST(ChessLegalityTest, MissingKings) {
    TChessModel board;
    board.SetPosition(Diagram({ "........", "........", "........", "........", "........",
        "........", "........", "........" }));
    EXPECT_FALSE(board.WhiteKingAttacked(Square::E2, Square::E2))
        << "no white king: never attacked";
    EXPECT_TRUE(board.BlackKingAttacked(Square::E2, Square::E2))
        << "no black king: always attacked";
}

TEST(ChessLegalityTest, KingAttackedLooksAtTheBoardAfterTheMove) {
    TChessModel board;
    SetUpGame(board,
        Diagram({ "....k...", "........", "........", "K..pP..r", "........", "........",
            "........", "........" }),
        true, "", "d6");
    EXPECT_FALSE(board.WhiteKingAttacked(Square::E5, Square::E5));
    EXPECT_FALSE(board.WhiteKingAttacked(Square::E5, Square::E6)) << "d5 still blocks";
    EXPECT_TRUE(board.WhiteKingAttacked(Square::E5, Square::D6)) << "en passant empties d5 and e5";
    EXPECT_FALSE(board.BlackKingAttacked(Square::E5, Square::E7));
    EXPECT_TRUE(board.BlackKingAttacked(Square::E5, Square::D7)) << "pawn d7 attacks e8";
}

TEST(ChessLegalityTest, AttackPatterns) {
    struct Case {
        const char* name;
        std::string placement;
        bool whiteAttacked;
    };
    const auto kingOnD4 = [](const char* r6, const char* r5, const char* r4, const char* r3) {
        return Diagram({ "k.......", "........", r6, r5, r4, r3, "........", "........" });
    };
    const Case cases[] = {
        { "black pawn above", kingOnD4("........", "..p.....", "...K....", "........"), true },
        { "black pawn below", kingOnD4("........", "........", "...K....", "..p....."), false },
        { "white pawn above", kingOnD4("........", "..P.....", "...K....", "........"), false },
        { "knight", kingOnD4("....n...", "........", "...K....", "........"), true },
        { "bishop far",
            Diagram({ "k.......", "b.......", "........", "........", "...K....", "........",
                "........", "........" }),
            true },
        { "bishop blocked",
            Diagram({ "k.......", "b.......", "........", "..P.....", "...K....", "........",
                "........", "........" }),
            false },
        { "rook along the rank", kingOnD4("........", "........", "...K...r", "........"), true },
        { "rook on a diagonal", kingOnD4("........", "..r.....", "...K....", "........"), false },
        { "queen on the file", kingOnD4("...q....", "........", "...K....", "........"), true },
        { "enemy king adjacent", kingOnD4("........", "....k...", "...K....", "........"), true },
        { "enemy king two away", kingOnD4("...k....", "........", "...K....", "........"), false },
        { "own piece blocks", kingOnD4("...q....", "...N....", "...K....", "........"), false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TChessModel board;
        board.SetPosition(c.placement);
        EXPECT_EQ(board.WhiteKingAttacked(Square::D4, Square::D4), c.whiteAttacked);
    }
}

TEST(ChessLegalityTest, MaterialTest) {
    struct Case {
        const char* pieces; // placed on a2.. besides the two kings
        bool lacks;
    };
    const Case cases[] = {
        { "", true },
        { "B", true },
        { "N", true },
        { "NN", true },
        { "Bb", true },
        { "Nnn", true },
        { "P", false },
        { "p", false },
        { "R", false },
        { "q", false },
        { "BN", false },
        { "BB", false },
        { "NNN", false },
        { "bn", false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pieces);
        TChessModel board;
        std::string placement = Diagram({ "k.......", "........", "........", "........",
            "........", "........", "........", ".......K" });
        const std::string pieces = c.pieces;
        placement.replace(48, pieces.size(), pieces);
        board.SetPosition(placement);
        EXPECT_EQ(board.LacksMatingMaterial(), c.lacks);
    }
}

// Every square counts, the first (a8) and the last (h1) included: the kings stand inside the
// board and the piece that decides is in a corner.
TEST(ChessLegalityTest, MaterialTestCountsTheCorners) {
    struct Case {
        const char* name;
        std::string placement;
        bool lacks;
    };
    const auto kingsInside = [](const char* rank8, const char* rank1) {
        return Diagram({ rank8, "........", "...k....", "........", "........", "....K...",
            "........", rank1 });
    };
    const Case cases[] = {
        { "kings alone", kingsInside("........", "........"), true },
        { "white rook on a8", kingsInside("R.......", "........"), false },
        { "black rook on a8", kingsInside("r.......", "........"), false },
        { "white queen on h1", kingsInside("........", ".......Q"), false },
        { "black pawn on h1", kingsInside("........", ".......p"), false },
        { "white bishop on a8, knight on h1", kingsInside("B.......", ".......N"), false },
        { "black knights on a8 and h1", kingsInside("n.......", ".......n"), true },
        { "black bishop on a8 and knight on a1", kingsInside("b......B", "n......."), false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TChessModel board;
        board.SetPosition(c.placement);
        EXPECT_EQ(board.LacksMatingMaterial(), c.lacks);
    }
}

TEST(ChessLegalityTest, HasLegalMove) {
    TChessModel board;
    EXPECT_TRUE(board.HasLegalMove());
    SetUpGame(board,
        Diagram({ ".......k", ".....K..", "......Q.", "........", "........", "........",
            "........", "........" }),
        false, "");
    EXPECT_FALSE(board.HasLegalMove()) << "stalemate";
    board.SetWhiteToMove(true);
    EXPECT_TRUE(board.HasLegalMove());
}

TEST(ChessLegalityTest, ThirdPlacementRefusesEveryMove) {
    TChessModel board;
    for (const char* m : { "g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1" }) {
        ASSERT_TRUE(Play(board, m)) << m;
        EXPECT_FALSE(board.IsThreefoldRepetition()) << m;
    }
    ASSERT_TRUE(Play(board, "f6g8"));
    EXPECT_TRUE(board.IsThreefoldRepetition());
    EXPECT_FALSE(board.IsLegalMove(Square::E2, Square::E4));
    EXPECT_FALSE(board.HasLegalMove());
    board.NewGame();
    EXPECT_FALSE(board.IsThreefoldRepetition());
    EXPECT_TRUE(board.IsLegalMove(Square::E2, Square::E4));
}

TEST(ChessLegalityTest, RepetitionComparesPlacementOnly) {
    // The same placement with the other side to move and other rights still counts.
    TChessModel board;
    SetUpGame(board,
        Diagram({ "r...k...", "........", "........", "........", "........", "........",
            "........", "....K..R" }),
        true, "Kq");
    for (const char* m : { "h1h2", "a8a7", "h2h1", "a7a8", "h1h2", "a8a7", "h2h1" })
        ASSERT_TRUE(Play(board, m)) << m;
    EXPECT_FALSE(board.IsThreefoldRepetition());
    ASSERT_TRUE(Play(board, "a7a8"));
    EXPECT_TRUE(board.IsThreefoldRepetition())
        << "rights differ from the first time, placement does not";
}

namespace {

// Counts the leaves `depth` plies below the position that `path` reaches from `setUp`.
// The model has no unmake, so every node replays its path from the set-up.
template <typename SetUpFn>
long long Perft(const SetUpFn& setUp, std::vector<std::pair<Square, Square>>& path, int depth) {
    TChessModel board;
    setUp(board);
    for (const auto& [from, to] : path)
        if (!board.MakeMove(from, to)) return -1000000;
    if (depth == 0) return 1;
    long long nodes = 0;
    for (int from = 1; from <= 64; ++from) {
        for (int to = 1; to <= 64; ++to) {
            if (!board.IsLegalMove(ToSquare(from), ToSquare(to))) continue;
            path.emplace_back(ToSquare(from), ToSquare(to));
            nodes += Perft(setUp, path, depth - 1);
            path.pop_back();
        }
    }
    return nodes;
}

} // namespace

TEST(ChessLegalityTest, PerftFromKnownPositions) {
    struct Case {
        const char* name;
        std::string placement;
        const char* castling;
        int depth;
        long long nodes;
    };
    const Case cases[] = {
        { "start", TChessModel::StartPosition, "KQkq", 1, 20 },
        { "start", TChessModel::StartPosition, "KQkq", 2, 400 },
        { "start", TChessModel::StartPosition, "KQkq", 3, 8902 },
        { "castling and pins",
            Diagram({ "r...k..r", "p.ppqpb.", "bn..pnp.", "...PN...", ".p..P...", "..N..Q.p",
                "PPPBBPPP", "R...K..R" }),
            "KQkq", 2, 2039 },
        { "en passant and rank pins",
            Diagram({ "........", "..p.....", "...p....", "KP.....r", ".R...p.k", "........",
                "....P.P.", "........" }),
            "", 3, 2812 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " depth " + std::to_string(c.depth));
        const auto setUp
            = [&c](TChessModel& board) { SetUpGame(board, c.placement, true, c.castling); };
        std::vector<std::pair<Square, Square>> path;
        EXPECT_EQ(Perft(setUp, path, c.depth), c.nodes);
    }
}
