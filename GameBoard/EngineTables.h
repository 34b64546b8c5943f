#pragma once
// Constant tables of the engine board: the 10 x 12 frame that turns the off-board test of
// a ray step into one lookup, the ray directions per piece and the castling-rights masks.

#include <array>
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

// Ray directions per piece code (pawn, knight, bishop, rook, queen, king), as frame offsets.
constexpr int RayCount[6] = { 0, 8, 4, 4, 8, 8 };
constexpr int RayStep[6][8] = {
    { 0, 0, 0, 0, 0, 0, 0, 0 },
    { -21, -19, -12, -8, 8, 12, 19, 21 },
    { -11, -9, 9, 11, 0, 0, 0, 0 },
    { -10, -1, 1, 10, 0, 0, 0, 0 },
    { -11, -10, -9, -1, 1, 9, 10, 11 },
    { -11, -10, -9, -1, 1, 9, 10, 11 },
};
constexpr bool Slides[6] = { false, false, true, true, true, false };

// The castling bits that survive a move starting or ending on a square.
constexpr std::array<int, 64> MakeRightsKeptMask() {
    std::array<int, 64> mask {};
    for (int& m : mask) m = 15;
    mask[0] = 7;
    mask[4] = 3;
    mask[7] = 11;
    mask[56] = 13;
    mask[60] = 12;
    mask[63] = 14;
    return mask;
}
constexpr std::array<int, 64> RightsKeptMask = MakeRightsKeptMask();

// Frame step from square a towards square b when they share a rank, file or diagonal
// (0 otherwise, and for a == b).
constexpr std::array<std::array<std::int8_t, 64>, 64> MakeLineStep() {
    std::array<std::array<std::int8_t, 64>, 64> step {};
    constexpr int directions[8] = { -11, -10, -9, -1, 1, 9, 10, 11 };
    for (int a = 0; a < 64; ++a) {
        for (const int d : directions) {
            int f = FrameIndex[a] + d;
            while (BoardFrame[f] != -1) {
                step[a][BoardFrame[f]] = std::int8_t(d);
                f += d;
            }
        }
    }
    return step;
}
constexpr auto LineStep = MakeLineStep();

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
constexpr auto KnightTargets = MakeStepTargets(RayStep[1]);
constexpr auto KingTargets = MakeStepTargets(RayStep[5]);

} // namespace engine
