#include "GameBoard/Engine/EnginePerft.h"

namespace engine {

std::uint64_t Perft(EngineBoard& board, int depth) {
    if (depth <= 0) return 1;
    board.GenerateMoves();
    std::uint64_t count = 0;
    for (int i = board.CurrentFirst(); i < board.CurrentEnd(); ++i) {
        if (!board.ApplyMove(board.MoveList[i].Move)) continue;
        count += depth == 1 ? 1 : Perft(board, depth - 1);
        board.RetractMove();
    }
    return count;
}

} // namespace engine
