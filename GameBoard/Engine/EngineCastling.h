#pragma once
// The engine's castlings: the four of Castlings.h in square indices, with their CastleRights
// bits and the squares the generator tests, all worked out at compile time.

#include "GameBoard/Rules/Castlings.h"
#include "GameBoard/Rules/SquareNumbering.h"

#include <array>
#include <cstdint>

namespace engine {

// The CastleRights bit of a castling right: bit i for member i of CanStillCastle, as in
// CastleSet.
constexpr int CastleRightBit(CanStillCastle right) {
    return 1 << static_cast<int>(right);
}

struct EngineCastling {
    CanStillCastle Member;
    int Right; // its CastleRights bit
    int Colour; // 0 White, 1 Black (the engine board's colour codes)
    int KingFrom, KingTo, RookFrom, RookTo;
    std::uint64_t Empty; // the squares between king and rook (bit i = square i)
    // The squares the king crosses and lands on. Its own square is not among them: a side in
    // check does not castle at all.
    std::uint64_t Safe;
};

// The squares of a list of Castlings.h as a bit set, leaving out None and `except`.
constexpr std::uint64_t IndexBits(const std::array<Square, 3>& squares, Square except) {
    std::uint64_t bits = 0;
    for (const Square s : squares)
        if (s != Square::None && s != except) bits |= std::uint64_t(1) << SquareIndexOf(s);
    return bits;
}

constexpr EngineCastling ToEngineCastling(const Castling& c) {
    return { c.right, CastleRightBit(c.right), c.White() ? 0 : 1, SquareIndexOf(c.kingFrom),
        SquareIndexOf(c.kingTo), SquareIndexOf(c.rookFrom), SquareIndexOf(c.rookTo),
        IndexBits(c.blank, Square::None), IndexBits(c.kingPath, c.kingFrom) };
}

// In the order of Castlings: entries 2c and 2c + 1 are those of colour c, the king's side first.
inline constexpr std::array<EngineCastling, 4> EngineCastlings
    = { ToEngineCastling(Castlings[0]), ToEngineCastling(Castlings[1]),
          ToEngineCastling(Castlings[2]), ToEngineCastling(Castlings[3]) };
static_assert(EngineCastlings[0].Colour == 0 && EngineCastlings[1].Colour == 0
    && EngineCastlings[2].Colour == 1 && EngineCastlings[3].Colour == 1);

// Every castling right.
inline constexpr int AllCastleRights = EngineCastlings[0].Right | EngineCastlings[1].Right
    | EngineCastlings[2].Right | EngineCastlings[3].Right;

// Per square: the entry of EngineCastlings whose king goes there, or -1.
inline constexpr std::array<std::int8_t, 64> CastlingByKingTo = [] {
    std::array<std::int8_t, 64> index {};
    for (std::int8_t& i : index) i = -1;
    for (std::size_t k = 0; k < EngineCastlings.size(); ++k)
        index[static_cast<std::size_t>(EngineCastlings[k].KingTo)] = static_cast<std::int8_t>(k);
    return index;
}();

} // namespace engine
