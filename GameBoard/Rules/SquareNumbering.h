#pragma once
// The three numberings of the squares, and the only places where one is turned into another.
//   Square        A8 = 1 .. H8 = 8, A7 = 9 .. H1 = 64; None = 0 (BoardTypes.h).
//   cell          a position's characters (SquareCells): cell n holds Square n, so cells
//                 1..64 are the board; cell 0 (None's cell) and cell 65 (a closing NUL) are
//                 spare.
//   square index  0..63 in the order of Square (one less than the Square): the engine's
//                 numbering, and the order of the 64 characters of a position text. Row and
//                 column of the index count from a8: row 0 is rank 8, column 0 file a.

#include "GameBoard/Rules/BoardTypes.h"

#include <array>
#include <cstddef>

inline constexpr int SquareCount = 64;
inline constexpr std::size_t CellCount = 66;

// The characters of a position, one per cell: ' ' for an empty square, a piece letter
// otherwise.
using SquareCells = std::array<char, CellCount>;

// A8..H1, as opposed to None or a value past H1.
constexpr bool IsBoardSquare(Square s) {
    return ToInt(s) >= 1 && ToInt(s) <= SquareCount;
}

// ---- Square and cell ----

// The cell of a square; None's cell is the spare cell 0.
constexpr std::size_t CellOf(Square s) {
    return static_cast<std::size_t>(ToInt(s));
}
// The cells of the board, A8..H1: FirstBoardCell .. FirstBoardCell + SquareCount - 1.
inline constexpr std::size_t FirstBoardCell = CellOf(Square::A8);
inline constexpr std::size_t NoneCell = CellOf(Square::None);
inline constexpr std::size_t EndCell = CellOf(Square::H1) + 1; // the closing NUL

// ---- Square and square index ----

// 0 for A8 .. 63 for H1; -1 for None (the engine's "no square").
constexpr int SquareIndexOf(Square s) {
    return ToInt(s) - 1;
}
// A8 for 0 .. H1 for 63; None for -1.
constexpr Square SquareOfIndex(int index) {
    return ToSquare(index + 1);
}
// 0 for rank 8 .. 7 for rank 1.
constexpr int SquareRow(Square s) {
    return SquareIndexOf(s) / 8;
}
// 0 for file a .. 7 for file h.
constexpr int SquareColumn(Square s) {
    return SquareIndexOf(s) % 8;
}
// The square of a row and a column, both 0..7.
constexpr Square SquareAtRowColumn(int row, int column) {
    return SquareOfIndex(row * 8 + column);
}

// The 64 squares A8..H1 in order.
inline constexpr std::array<Square, SquareCount> BoardSquares = [] {
    std::array<Square, SquareCount> squares {};
    for (int i = 0; i < SquareCount; ++i) squares[static_cast<std::size_t>(i)] = SquareOfIndex(i);
    return squares;
}();

// A read-only view of a position's cells, laid out as SquareCells; empty by default.
class SquareCellsView {
public:
    constexpr SquareCellsView() = default;
    constexpr SquareCellsView(const SquareCells& cells)
        : cells_(cells.data()) { }
    // A bare array of CellCount characters laid out as SquareCells.
    constexpr SquareCellsView(const char* cells)
        : cells_(cells) { }
    constexpr bool Empty() const { return cells_ == nullptr; }
    constexpr char At(Square s) const { return cells_[CellOf(s)]; }
    constexpr char operator[](std::size_t cell) const { return cells_[cell]; }

private:
    const char* cells_ = nullptr;
};

static_assert(SquareOfIndex(SquareIndexOf(Square::E4)) == Square::E4);
static_assert(SquareAtRowColumn(SquareRow(Square::G2), SquareColumn(Square::G2)) == Square::G2);
static_assert(SquareRow(Square::A8) == 0 && SquareColumn(Square::H1) == 7);
static_assert(EndCell + 1 == CellCount);
