// The longer perft rows: the starting position to depths 4 and 5.
#include "EngineTestUtil.h"
#include "GameBoard/Engine/EnginePerft.h"

#include <gtest/gtest.h>
#include <memory>

TEST(EnginePerftSlowTest, StartPositionDepthsFourAndFive) {
    auto board = std::make_unique<engine::EngineBoard>();
    ASSERT_EQ(enginetest::Load(*board, std::string(StartFen)), engine::LoadRefusal::Accepted);
    EXPECT_EQ(engine::Perft(*board, 4), 197281u);
    EXPECT_EQ(engine::Perft(*board, 5), 4865609u);
}
