#pragma once
// The four castlings, one entry per castling right in the order of CanStillCastle.

#include "GameBoard/Rules/BoardTypes.h"

#include <array>

struct Castling {
    CanStillCastle right;
    char king; // 'K' for White's castlings, 'k' for Black's
    Square kingFrom, kingTo;
    char rook;
    Square rookFrom, rookTo; // the corner and the square the rook jumps to
    std::array<Square, 3> blank; // squares between king and rook that must be empty (None pads)
    std::array<Square, 3> kingPath; // where the king stands and crosses: none may be attacked
    constexpr bool White() const { return king == 'K'; }
};

inline constexpr std::array<Castling, 4> Castlings = { {
    { CanStillCastle::WhiteKingSide, 'K', Square::E1, Square::G1, 'R', Square::H1, Square::F1,
        { Square::F1, Square::G1, Square::None }, { Square::E1, Square::F1, Square::G1 } },
    { CanStillCastle::WhiteQueenSide, 'K', Square::E1, Square::C1, 'R', Square::A1, Square::D1,
        { Square::B1, Square::C1, Square::D1 }, { Square::E1, Square::D1, Square::C1 } },
    { CanStillCastle::BlackKingSide, 'k', Square::E8, Square::G8, 'r', Square::H8, Square::F8,
        { Square::F8, Square::G8, Square::None }, { Square::E8, Square::F8, Square::G8 } },
    { CanStillCastle::BlackQueenSide, 'k', Square::E8, Square::C8, 'r', Square::A8, Square::D8,
        { Square::B8, Square::C8, Square::D8 }, { Square::E8, Square::D8, Square::C8 } },
} };

static_assert(Castlings[0].right == CanStillCastle::WhiteKingSide
    && Castlings[1].right == CanStillCastle::WhiteQueenSide
    && Castlings[2].right == CanStillCastle::BlackKingSide
    && Castlings[3].right == CanStillCastle::BlackQueenSide);
