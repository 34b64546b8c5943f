#pragma once
// Constant tables of the engine board: the 10 x 12 frame that turns the off-board test of
// a step into one lookup (used to build the other tables), the step offsets of knight and
// king, the castling-rights masks, rays, lines and attack sets per square.

#include "GameBoard/Engine/EngineCastling.h"

#include <array>
#include <bit>
#include <cstdint>

namespace engine {

// 10 x 12 frame: entries 21..28, 31..38, .., 91..98 hold the square indices 0..63, every
// other entry is -1 (off the board).
constexpr std::array<int, 120> MakeBoardFrame() {
    std::array<int, 120> frame {};
    for (int& f : frame) f = -1;
    for (int sq = 0; sq < 64; ++sq) frame[21 + 10 * (sq / 8) + sq % 8] = sq;
    return frame;
}
constexpr std::array<int, 120> BoardFrame = MakeBoardFrame();

constexpr std::array<int, 64> MakeFrameIndex() {
    std::array<int, 64> index {};
    for (int sq = 0; sq < 64; ++sq) index[sq] = 21 + 10 * (sq / 8) + sq % 8;
    return index;
}
constexpr std::array<int, 64> FrameIndex = MakeFrameIndex();

// One-step offsets of the knight and of the king, as frame offsets.
constexpr int KnightSteps[8] = { -21, -19, -12, -8, 8, 12, 19, 21 };
constexpr int KingSteps[8] = { -11, -10, -9, -1, 1, 9, 10, 11 };

// The castling bits that survive a move starting or ending on a square.
constexpr std::array<int, 64> MakeRightsKeptMask() {
    std::array<int, 64> mask {};
    for (int& m : mask) m = AllCastleRights;
    for (const EngineCastling& c : EngineCastlings) {
        mask[c.KingFrom] &= ~c.Right;
        mask[c.RookFrom] &= ~c.Right;
    }
    return mask;
}
constexpr std::array<int, 64> RightsKeptMask = MakeRightsKeptMask();

// The eight directions of the queen and the king in table order (frame offsets -11, -10,
// -9, -1, 1, 9, 10, 11); directions 4..7 run towards higher square indices.
constexpr int QueenDirections[8] = { -11, -10, -9, -1, 1, 9, 10, 11 };
constexpr int BishopDirections[4] = { 0, 2, 5, 7 }; // -11, -9, 9, 11
constexpr int RookDirections[4] = { 1, 3, 4, 6 }; // -10, -1, 1, 10
constexpr bool IsDiagonalDirection(int dir) {
    return dir == 0 || dir == 2 || dir == 5 || dir == 7;
}

// Per square and direction: the squares of the ray from near to far, ended by -1.
using RayList = std::array<std::int8_t, 8>;
constexpr std::array<std::array<RayList, 8>, 64> MakeRays() {
    std::array<std::array<RayList, 8>, 64> rays {};
    for (int sq = 0; sq < 64; ++sq) {
        for (int dir = 0; dir < 8; ++dir) {
            int count = 0;
            for (int f = FrameIndex[sq] + QueenDirections[dir]; BoardFrame[f] != -1;
                 f += QueenDirections[dir])
                rays[sq][dir][count++] = std::int8_t(BoardFrame[f]);
            for (; count < 8; ++count) rays[sq][dir][count] = -1;
        }
    }
    return rays;
}
constexpr auto Rays = MakeRays();

// The same rays as bit sets (bit i = square i).
constexpr std::array<std::array<std::uint64_t, 8>, 64> MakeRayBits() {
    std::array<std::array<std::uint64_t, 8>, 64> bits {};
    for (int sq = 0; sq < 64; ++sq)
        for (int dir = 0; dir < 8; ++dir)
            for (int k = 0; k < 8 && Rays[sq][dir][k] != -1; ++k)
                bits[sq][dir] |= std::uint64_t(1) << Rays[sq][dir][k];
    return bits;
}
constexpr auto RayBits = MakeRayBits();

// Direction (0..7) from square a towards square b on a shared line, or -1.
constexpr std::array<std::array<std::int8_t, 64>, 64> MakeLineDirection() {
    std::array<std::array<std::int8_t, 64>, 64> line {};
    for (auto& row : line)
        for (auto& d : row) d = -1;
    for (int a = 0; a < 64; ++a)
        for (int dir = 0; dir < 8; ++dir)
            for (int k = 0; k < 8 && Rays[a][dir][k] != -1; ++k)
                line[a][Rays[a][dir][k]] = std::int8_t(dir);
    return line;
}
constexpr auto LineDirection = MakeLineDirection();

// Squares reached in one step with the given frame offsets, as bit sets.
constexpr std::array<std::uint64_t, 64> MakeStepTargets(const int (&offsets)[8]) {
    std::array<std::uint64_t, 64> targets {};
    for (int sq = 0; sq < 64; ++sq) {
        for (const int d : offsets) {
            const int n = BoardFrame[FrameIndex[sq] + d];
            if (n != -1) targets[sq] |= std::uint64_t(1) << n;
        }
    }
    return targets;
}
constexpr auto KnightTargets = MakeStepTargets(KnightSteps);
constexpr auto KingTargets = MakeStepTargets(KingSteps);

// Per colour and square: the squares from which a pawn of that colour attacks the square.
// A White pawn captures towards row 0, so it attacks from one row below (frame +9, +11).
constexpr std::array<std::array<std::uint64_t, 64>, 2> MakePawnAttackers() {
    std::array<std::array<std::uint64_t, 64>, 2> from {};
    for (int sq = 0; sq < 64; ++sq) {
        for (const int d : { 9, 11 }) {
            const int below = BoardFrame[FrameIndex[sq] + d];
            const int above = BoardFrame[FrameIndex[sq] - d];
            if (below != -1) from[0][sq] |= std::uint64_t(1) << below;
            if (above != -1) from[1][sq] |= std::uint64_t(1) << above;
        }
    }
    return from;
}
constexpr auto PawnAttackers = MakePawnAttackers();

// Per colour and square: the squares a pawn of that colour there could move to, one or two
// steps ahead or taking to either side (White moves towards row 0).
constexpr std::array<std::array<std::uint64_t, 64>, 2> MakePawnReach() {
    std::array<std::array<std::uint64_t, 64>, 2> reach {};
    for (int sq = 0; sq < 64; ++sq) {
        for (const int d : { 9, 10, 11, 20 }) {
            const int ahead = FrameIndex[sq] - d;
            const int behind = FrameIndex[sq] + d;
            if (ahead >= 0 && BoardFrame[ahead] != -1)
                reach[0][sq] |= std::uint64_t(1) << BoardFrame[ahead];
            if (behind < 120 && BoardFrame[behind] != -1)
                reach[1][sq] |= std::uint64_t(1) << BoardFrame[behind];
        }
    }
    return reach;
}
constexpr auto PawnReach = MakePawnReach();

// Union of a square's diagonal (or straight) rays.
constexpr std::array<std::uint64_t, 64> MakeLineBits(const int (&dirs)[4]) {
    std::array<std::uint64_t, 64> bits {};
    for (int sq = 0; sq < 64; ++sq)
        for (const int dir : dirs) bits[sq] |= RayBits[sq][dir];
    return bits;
}
constexpr auto DiagonalBits = MakeLineBits(BishopDirections);
constexpr auto StraightBits = MakeLineBits(RookDirections);

// The squares strictly between two squares on a shared line.
inline std::uint64_t BetweenBits(int a, int b) {
    const int dir = LineDirection[a][b];
    return RayBits[a][dir] & ~RayBits[b][dir] & ~(std::uint64_t(1) << b);
}

// The first occupied square along a ray (-1 when there is none).
inline int FirstOnRay(int sq, int dir, std::uint64_t occupied) {
    const std::uint64_t hit = RayBits[sq][dir] & occupied;
    if (hit == 0) return -1;
    return dir >= 4 ? std::countr_zero(hit) : 63 - std::countl_zero(hit);
}

} // namespace engine
