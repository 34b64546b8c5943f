#pragma once
// Square names: the file letter and the rank digit, "e2" for E2.

#include "GameBoard/Rules/AsciiCase.h"
#include "GameBoard/Rules/BoardTypes.h"
#include "GameBoard/Rules/SquareNumbering.h"

#include <string>
#include <string_view>

// "e2" for E2 (the file letter in lower case), "-" for None.
inline std::string FormatSquare(Square s) {
    if (s == Square::None) return "-";
    return { static_cast<char>('a' + FileOf(s) - 1), static_cast<char>('0' + RankOf(s)) };
}

// E2 for "e2" or "E2"; None for any text that is not exactly a file letter a..h (either
// case) followed by a rank digit 1..8.
constexpr Square ParseSquare(std::string_view name) {
    if (name.size() != 2) return Square::None;
    const char file = LowerAscii(name[0]);
    const char rank = name[1];
    if (file < 'a' || file > 'h' || rank < '1' || rank > '8') return Square::None;
    return SquareAt(file - 'a' + 1, rank - '0');
}

// The name of the square of a square index: "a8" for 0 .. "h1" for 63 (the engine's moves).
inline std::string SquareName(int index) {
    return FormatSquare(SquareOfIndex(index));
}
