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

// Files as the bits of a byte (bit f for file f) and back as the squares of those files.
constexpr unsigned FilesOf(std::uint64_t squares) {
    squares |= squares >> 32;
    squares |= squares >> 16;
    squares |= squares >> 8;
    return unsigned(squares & 0xFF);
}
constexpr std::uint64_t OnFiles(unsigned files) {
    return std::uint64_t(files & 0xFF) * 0x0101010101010101ull;
}
// The squares with another square of the set on the same file.
constexpr std::uint64_t SharedFiles(std::uint64_t squares) {
    std::uint64_t up = squares >> 8;
    up |= up >> 8;
    up |= up >> 16;
    up |= up >> 32;
    std::uint64_t down = squares << 8;
    down |= down << 8;
    down |= down << 16;
    down |= down << 32;
    return up | down;
}
// Population count by adding neighbouring bit fields, as std::popcount becomes a library call
// on processors not known to have the instruction.
constexpr int CountBits(std::uint64_t x) {
    x -= (x >> 1) & 0x5555555555555555ull;
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return int((x * 0x0101010101010101ull) >> 56);
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
// Worked out file by file on the bit sets: a pawn scores -5 on a file with more of its own
// pawns, -20 without own pawns on the neighbouring files and -10 more when then no enemy pawn
// shares its file, and twice its square score without enemy pawns on its own or the
// neighbouring files.
EngineSearch::PawnEntry EngineSearch::EvaluatePawns(
    std::uint64_t whitePawns, std::uint64_t blackPawns) const {
    PawnEntry entry;
    entry.Pawns[White] = whitePawns;
    entry.Pawns[Black] = blackPawns;
    const unsigned files[2] = { FilesOf(whitePawns), FilesOf(blackPawns) };
    int score[2] = { 0, 0 };
    for (int c = White; c <= Black; ++c) {
        const std::uint64_t pawns = entry.Pawns[c];
        const unsigned enemyFiles = files[c ^ 1];
        const unsigned isolated = files[c] & ~((files[c] << 1) | (files[c] >> 1));
        const unsigned passed = ~(enemyFiles | (enemyFiles << 1) | (enemyFiles >> 1)) & 0xFF;
        score[c] -= 5 * CountBits(pawns & SharedFiles(pawns));
        score[c] -= 20 * CountBits(pawns & OnFiles(isolated));
        score[c] -= 10 * CountBits(pawns & OnFiles(isolated & ~enemyFiles));
        for (std::uint64_t bits = pawns & OnFiles(passed); bits != 0; bits &= bits - 1)
            score[c] += 2 * SquareScore[c][Pawn][std::countr_zero(bits)];
        entry.Files[c] = std::uint16_t(files[c] << 1);
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
    // A rook on a file without pawns of its own scores 10, and 5 more without any pawn
    // (Files holds file f at bit f + 1). Counted one rook at a time: there are seldom more
    // than two.
    const unsigned noWhite = ~unsigned(entry.Files[White]) >> 1 & 0xFF;
    const unsigned noBlack = ~unsigned(entry.Files[Black]) >> 1 & 0xFF;
    const std::uint64_t noPawns = OnFiles(noWhite & noBlack);
    auto rookBonus = [&](std::uint64_t rooks, unsigned noOwn) {
        int bonus = 0;
        for (std::uint64_t r = rooks & OnFiles(noOwn); r != 0; r &= r - 1) bonus += 10;
        for (std::uint64_t r = rooks & noPawns; r != 0; r &= r - 1) bonus += 5;
        return bonus;
    };
    score += rookBonus(b.PieceBits[White][Rook], noWhite)
        - rookBonus(b.PieceBits[Black][Rook], noBlack);
    return b.SideToMove == White ? score : -score;
}

} // namespace engine
