#pragma once
// Counting the moves ApplyMove accepts, recursively: the standard check of a move generator.

#include "GameBoard/Engine/EngineBoard.h"

#include <cstdint>

namespace engine {

// Leaf count to depth from the board's position (1 at depth 0). The caller keeps depth
// below MaxPly and depth * GenerationReserve within MoveStackSize (TEngine::Perft does).
std::uint64_t Perft(EngineBoard& board, int depth);

} // namespace engine
