// The static evaluation: material and square tables (prepared once per search from the
// root position, with the game phase and the king's pawn shield), pawn structure by files
// and rooks on open and half-open files.
#include "GameBoard/EngineSearch.h"

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
}

int EngineSearch::Evaluate() const {
    const EngineBoard& b = Board;
    int score[2] = { 0, 0 };
    int pawnsOnFile[2][10] = {};
    for (int s = 0; s < 64; ++s) {
        const int c = b.SquareColor[s];
        if (c == NoColor) continue;
        const int p = b.SquarePiece[s];
        if (p == Pawn) ++pawnsOnFile[c][ColumnOf(s) + 1];
        score[c] += SquareScore[c][p][s];
    }
    for (int s = 0; s < 64; ++s) {
        const int c = b.SquareColor[s];
        if (c == NoColor) continue;
        const int o = c ^ 1;
        const int f = ColumnOf(s) + 1;
        switch (b.SquarePiece[s]) {
        case Pawn:
            if (pawnsOnFile[c][f] > 1) score[c] -= 5;
            if (pawnsOnFile[c][f - 1] == 0 && pawnsOnFile[c][f + 1] == 0) {
                score[c] -= 20;
                if (pawnsOnFile[o][f] == 0) score[c] -= 10;
            }
            if (pawnsOnFile[o][f - 1] == 0 && pawnsOnFile[o][f] == 0 && pawnsOnFile[o][f + 1] == 0)
                score[c] += 2 * SquareScore[c][Pawn][s];
            break;
        case Rook:
            if (pawnsOnFile[c][f] == 0) {
                score[c] += 10;
                if (pawnsOnFile[o][f] == 0) score[c] += 5;
            }
            break;
        default:
            break;
        }
    }
    return score[b.SideToMove] - score[b.OtherSide];
}

} // namespace engine
