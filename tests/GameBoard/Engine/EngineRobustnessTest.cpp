// Odd positions from the board component (any characters, any castling rights and
// en-passant square) are cleaned up or refused, and the accepted ones are searched
// without leaving the board, the move stack or the position.
#include "EngineTestUtil.h"
#include "GameBoard/Engine/EnginePerft.h"
#include "GameBoard/Rules/SquareNumbering.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <random>

using namespace engine;

TEST(EngineRobustnessTest, RandomPositionsAreRefusedOrSearchedSafely) {
    std::mt19937 random(20240611);
    constexpr char alphabet[] = " PNBRQpnbrqxc_0\x7f";
    auto search = std::make_unique<EngineSearch>();
    int accepted = 0;
    for (int round = 0; round < 300; ++round) {
        SquareCells squares;
        squares[NoneCell] = '_';
        squares[EndCell] = '\0';
        for (const Square s : BoardSquares)
            squares[CellOf(s)]
                = random() % 4 == 0 ? alphabet[random() % (sizeof alphabet - 1)] : ' ';
        // Usually one king each, sometimes none or two.
        for (const char king : { 'K', 'k' }) {
            const int kings = random() % 8 == 0 ? int(random() % 3) : 1;
            for (int k = 0; k < kings; ++k)
                squares[CellOf(SquareOfIndex(int(random() % SquareCount)))] = king;
        }
        const EnginePositionSource source { squares, random() % 2 == 0,
            CastleSet::FromBits(std::uint8_t(random() % 16)), ToSquare(int(random() % 70)) };
        if (search->LoadPosition(source) != LoadRefusal::Accepted) continue;
        ++accepted;
        const std::uint64_t moves = Perft(search->Board, 1);
        const int score = search->SearchRoot(2);
        EXPECT_GE(score, -MateScore);
        EXPECT_LE(score, MateScore);
        EXPECT_EQ(search->Board.Ply, 0);
        EXPECT_EQ(Perft(search->Board, 1), moves); // back at the root position
        EXPECT_EQ(Perft(search->Board, 2), Perft(search->Board, 2));
        // Nothing was conjured: no side gained pieces.
        for (int c = White; c <= Black; ++c) {
            int before = 0;
            for (int i = 1; i <= 64; ++i) {
                const char ch = squares[i];
                const bool ours
                    = c == White ? std::strchr("PNBRQK", ch) : std::strchr("pnbrqk", ch);
                if (ch != '\0' && ours) ++before;
            }
            EXPECT_EQ(std::popcount(search->Board.ColorBits[c]), before);
        }
    }
    EXPECT_GT(accepted, 50);
}
