#pragma once
// Invariants a fuzz target checks after every step: a violated one aborts, so libFuzzer
// records the input that led to it.

#include "GameBoard/Rules/ChessModel.h"
#include "GameBoard/Rules/SquareNumbering.h"

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// The board holds a valid game state: no NUL on the 64 squares (a promotion handler may put
// any other letter there, which then counts as an empty square), no piece in the None cell,
// the terminating NUL, an en-passant square on rank 3 or 6 or none, a move number of at
// least 1, and a readable 64-character position text.
inline void CheckValidGameState(const TChessModel& board) {
    const auto& cells = board.Squares();
    for (const Square s : BoardSquares) FUZZ_CHECK(cells[CellOf(s)] != '\0');
    FUZZ_CHECK(cells[NoneCell] == '_' || cells[NoneCell] == ' ');
    FUZZ_CHECK(cells[EndCell] == '\0');
    const Square ep = board.EnPassant();
    FUZZ_CHECK(ep == Square::None || RankOf(ep) == 3 || RankOf(ep) == 6);
    FUZZ_CHECK(board.CurrentMove() >= 1);
    FUZZ_CHECK(board.Position().size() == 64);
}
