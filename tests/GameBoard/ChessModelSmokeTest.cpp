#include "GameBoard/BoardTypes.h"

#include <gtest/gtest.h>

TEST(SquareTest, FileRankRoundTrip)
{
    for (int v = 1; v <= 64; ++v) {
        const Square s = ToSquare(v);
        EXPECT_EQ(SquareAt(FileOf(s), RankOf(s)), s);
    }
    EXPECT_EQ(SquareAt(0, 4), Square::None);
    EXPECT_EQ(ToInt(Square::E1), 61);
}
