#include "GameBoard/Engine/EnginePerft.h"

namespace engine {

namespace {

std::uint64_t Count(EngineBoard& board, int depth) {
    if (depth <= 0) return 1;
    board.GenerateMoves();
    std::uint64_t count = 0;
    for (int i = board.CurrentFirst(); i < board.CurrentEnd(); ++i) {
        if (!board.ApplyMove(board.MoveList[i].Move)) continue;
        count += depth == 1 ? 1 : Count(board, depth - 1);
        board.RetractMove();
    }
    return count;
}

} // namespace

// Counting needs no evaluation, so the running score sums are not kept meanwhile; they are
// rebuilt from the same table afterwards.
std::uint64_t Perft(EngineBoard& board, int depth) {
    const EngineBoard::ScoreTable* scores = board.Scores;
    board.UseScoreTable(nullptr);
    const std::uint64_t count = Count(board, depth);
    board.UseScoreTable(scores);
    return count;
}

} // namespace engine
