// The static evaluation: material and square tables (prepared once per search from the
// root position, with the game phase and the king's pawn shield), pawn structure by files
// and rooks on open and half-open files.
#include "GameBoard/Engine/EngineSearch.h"

#include <bit>
#include <cstring>

namespace engine {

namespace {

// Tables from White's side, rank 8 first, files a to h; Black reads square s ^ 56.
// clang-format off
constexpr int PawnTable[64] = {
      0,   0,   0,   0,   0,   0,   0,   0,
      5,  10,  15,  20,  20,  15,  10,   5,
      4,   8,  12,  16,  16,  12,   8,   4,
      3,   6,   9,  12,  12,   9,   6,   3,
      2,   4,   6,   8,   8,   6,   4,   2,
      1,   2,   3,   4,   4,   3,   2,   1,
      0,   0,   0, -20, -20,   0,   0,   0,
      0,   0,   0,   0,   0,   0,   0,   0,
};
constexpr int MinorTable[64] = {
    -10, -10, -10, -10, -10, -10, -10, -10,
    -10,   0,   0,   0,   0,   0,   0, -10,
    -10,   0,   5,   5,   5,   5,   0, -10,
    -10,   0,   5,  10,  10,   5,   0, -10,
    -10,   0,   5,  10,  10,   5,   0, -10,
    -10,   0,   5,   5,   5,   5,   0, -10,
    -10,   0,   0,   0,   0,   0,   0, -10,
    -20, -20, -20, -20, -20, -20, -20, -20,
};
constexpr int KingMiddleTable[64] = {
    -40, -40, -40, -40, -40, -40, -40, -40,
    -40, -40, -40, -40, -40, -40, -40, -40,
    -40, -40, -40, -40, -40, -40, -40, -40,
    -40, -40, -40, -40, -40, -40, -40, -40,
    -40, -40, -40, -40, -40, -40, -40, -40,
    -40, -40, -40, -40, -40, -40, -40, -40,
    -20, -20, -20, -20, -20, -20, -20, -20,
    -10,   0,  10, -20,   0, -20,  10,   0,
};
constexpr int KingEndTable[64] = {
     -5,  -5,  -5,  -5,  -5,  -5,  -5,  -5,
     -5,   0,   0,   0,   0,   0,   0,  -5,
     -5,   0,   5,   5,   5,   5,   0,  -5,
     -5,   0,   5,  10,  10,   5,   0,  -5,
     -5,   0,   5,  10,  10,   5,   0,  -5,
     -5,   0,   5,   5,   5,   5,   0,  -5,
     -5,   0,   0,   0,   0,   0,   0,  -5,
     -5,  -5,  -5,  -5,  -5,  -5,  -5,  -5,
};
constexpr int KingsideShieldTable[64] = {
      0,   0,   0,   0,   0,   0,   0,   0,
      0,   0,   0,   0,   0,   0,   0,   0,
      0,   0,   0,   0,   0,   0,   0,   0,
      0,   0,   0,   0,   0,   0,   0,   0,
      0,   0,   0,   0,   0,   5,   5,   5,
      0,   0,   0,   0,   0,  10,  10,  10,
      0,   0,   0,   0,   0,  20,  20,  20,
      0,   0,   0,   0,   0,   0,   0,   0,
};
constexpr int QueensideShieldTable[64] = {
      0,   0,   0,   0,   0,   0,   0,   0,
      0,   0,   0,   0,   0,   0,   0,   0,
      0,   0,   0,   0,   0,   0,   0,   0,
      0,   0,   0,   0,   0,   0,   0,   0,
      5,   5,   5,   0,   0,   0,   0,   0,
     10,  10,  10,   0,   0,   0,   0,   0,
     20,  20,  20,   0,   0,   0,   0,   0,
      0,   0,   0,   0,   0,   0,   0,   0,
};
// clang-format on
constexpr int PieceValue[6] = { 100, 300, 300, 500, 900, 0 };

constexpr int MirrorSquare(int s) {
    return s ^ 56;
}

} // namespace

void EngineSearch::PrepareSquareScores() {
    std::memset(SquareScore, 0, sizeof SquareScore);
    for (int s = 0; s < 64; ++s) {
        for (int colour = White; colour <= Black; ++colour) {
            const int t = colour == White ? s : MirrorSquare(s);
            SquareScore[colour][Pawn][s] = PawnTable[t] + PieceValue[Pawn];
            SquareScore[colour][Knight][s] = MinorTable[t] + PieceValue[Knight];
            SquareScore[colour][Bishop][s] = MinorTable[t] + PieceValue[Bishop];
            SquareScore[colour][Rook][s] = PieceValue[Rook];
            SquareScore[colour][Queen][s] = PieceValue[Queen];
        }
    }
    const EngineBoard& b = Board;
    for (int colour = White; colour <= Black; ++colour) {
        const int opponent = colour ^ 1;
        int material = 0;
        int kingSquare = -1;
        for (int s = 0; s < 64; ++s) {
            if (b.SquareColor[s] == opponent && b.SquarePiece[s] >= Knight
                && b.SquarePiece[s] <= Queen)
                material += PieceValue[b.SquarePiece[s]];
            if (b.SquareColor[s] == colour && b.SquarePiece[s] == King && kingSquare == -1)
                kingSquare = s;
        }
        const int kingFile = kingSquare == -1 ? 3 : ColumnOf(kingSquare);
        for (int s = 0; s < 64; ++s) {
            const int t = colour == White ? s : MirrorSquare(s);
            if (material > 1400) {
                SquareScore[colour][King][s] = KingMiddleTable[t];
                if (kingFile >= 5) SquareScore[colour][Pawn][s] += KingsideShieldTable[t];
                if (kingFile <= 2) SquareScore[colour][Pawn][s] += QueensideShieldTable[t];
            } else {
                SquareScore[colour][King][s] = KingEndTable[t];
            }
        }
    }
    Board.UseScoreTable(&SquareScore); // the running sums start again from the new table
    ClearPawnCache(); // passed pawns count with the new table
}

void EngineSearch::ClearPawnCache() {
    for (PawnEntry& entry : pawnCache_) entry = PawnEntry {};
}

// The pawn terms of one pawn formation, White's minus Black's, and the files holding pawns.
EngineSearch::PawnEntry EngineSearch::EvaluatePawns(
    std::uint64_t whitePawns, std::uint64_t blackPawns) const {
    PawnEntry entry;
    entry.Pawns[White] = whitePawns;
    entry.Pawns[Black] = blackPawns;
    int pawnsOnFile[2][10] = {};
    unsigned filesWithPawns[2] = { 0, 0 }; // bit f + 1 for file f, bits 0 and 9 stay clear
    for (int c = White; c <= Black; ++c) {
        for (std::uint64_t bits = entry.Pawns[c]; bits != 0; bits &= bits - 1) {
            const int f = ColumnOf(std::countr_zero(bits)) + 1;
            ++pawnsOnFile[c][f];
            filesWithPawns[c] |= 1u << f;
        }
    }
    int score[2] = { 0, 0 };
    for (int c = White; c <= Black; ++c) {
        const int o = c ^ 1;
        for (std::uint64_t bits = entry.Pawns[c]; bits != 0; bits &= bits - 1) {
            const int s = std::countr_zero(bits);
            const int f = ColumnOf(s) + 1;
            if (pawnsOnFile[c][f] > 1) score[c] -= 5;
            if ((filesWithPawns[c] & (5u << (f - 1))) == 0) {
                score[c] -= 20;
                if ((filesWithPawns[o] & (1u << f)) == 0) score[c] -= 10;
            }
            if ((filesWithPawns[o] & (7u << (f - 1))) == 0) score[c] += 2 * SquareScore[c][Pawn][s];
        }
        entry.Files[c] = std::uint16_t(filesWithPawns[c]);
    }
    entry.Score = score[White] - score[Black];
    return entry;
}

// Material and square bonuses are summed as pieces move (EngineBoard::ScoreSum); the pawn
// terms depend on the pawn formation alone and are kept in a small cache for the search.
int EngineSearch::Evaluate() const {
    const EngineBoard& b = Board;
    const std::uint64_t whitePawns = b.PieceBits[White][Pawn];
    const std::uint64_t blackPawns = b.PieceBits[Black][Pawn];
    const std::size_t slot
        = ((whitePawns * 0x9E3779B97F4A7C15ull) ^ (blackPawns * 0xC2B2AE3D27D4EB4Full))
        >> (64 - PawnCacheBits);
    PawnEntry& entry = pawnCache_[slot];
    if (entry.Pawns[White] != whitePawns || entry.Pawns[Black] != blackPawns)
        entry = EvaluatePawns(whitePawns, blackPawns);

    int score = b.ScoreSum[White] - b.ScoreSum[Black] + entry.Score;
    // A rook on a file without pawns of its own scores 10, and 5 more without any pawn: the
    // files as bytes (bit f for file f), copied into every rank by the multiplication.
    constexpr std::uint64_t EveryRank = 0x0101010101010101ull;
    const unsigned noWhite = ~unsigned(entry.Files[White]) >> 1 & 0xFF;
    const unsigned noBlack = ~unsigned(entry.Files[Black]) >> 1 & 0xFF;
    const std::uint64_t noPawns = (noWhite & noBlack) * EveryRank;
    auto rookBonus = [&](std::uint64_t rooks, unsigned noOwn) {
        int bonus = 0;
        for (std::uint64_t r = rooks & (noOwn * EveryRank); r != 0; r &= r - 1) bonus += 10;
        for (std::uint64_t r = rooks & noPawns; r != 0; r &= r - 1) bonus += 5;
        return bonus;
    };
    score += rookBonus(b.PieceBits[White][Rook], noWhite) - rookBonus(b.PieceBits[Black][Rook], noBlack);
    return b.SideToMove == White ? score : -score;
}

} // namespace engine
