#include "GameBoard/Engine/EngineSearch.h"

#include <climits>
#include <cstring>

namespace engine {

namespace {
constexpr std::int32_t HistoryLimit = INT_MAX - 20000000;
} // namespace

EngineSearch::EngineSearch() {
    for (auto& row : BestLine)
        for (EngineMove& m : row) m = EngineMove {};
    for (int& n : BestLineLength) n = 0;
    std::memset(SquareScore, 0, sizeof SquareScore);
    Board.UseScoreTable(&SquareScore);
}

int EngineSearch::SearchRoot(int depth) {
    Board.AcceptedMoves = 0;
    PrepareSquareScores();
    std::memset(Board.HistoryScore, 0, sizeof Board.HistoryScore);
    int score = 0;
    for (int d = 1; d <= depth; ++d) {
        if (StopRequested()) break;
        FollowBestLine = true;
        score = AlphaBeta(-MateScore, MateScore, d);
    }
    return score;
}

// True where expanding the node could overrun the per-ply arrays or the move stack.
bool EngineSearch::AtDepthBound() const {
    return Board.Ply >= MaxSearchPly
        || Board.PlyFirst[Board.Ply] + Board.GenerationReserve > MoveStackSize;
}

int EngineSearch::BoundedEvaluate(int alpha, int beta) {
    BestLineLength[Board.Ply] = Board.Ply;
    const int s = Evaluate();
    return s <= alpha ? alpha : s >= beta ? beta : s;
}

// The move m raised alpha at the current ply: it heads the line, followed by the line
// found below it.
void EngineSearch::TakeBestLine(EngineMove m) {
    const int ply = Board.Ply;
    BestLine[ply][ply] = m;
    for (int j = ply + 1; j < BestLineLength[ply + 1]; ++j) BestLine[ply][j] = BestLine[ply + 1][j];
    BestLineLength[ply] = BestLineLength[ply + 1];
}

int EngineSearch::AlphaBeta(int alpha, int beta, int depth) {
    if (StopRequested()) return 0;
    if (depth == 0) return CaptureSearch(alpha, beta);
    if (AtDepthBound()) return BoundedEvaluate(alpha, beta);
    BestLineLength[Board.Ply] = Board.Ply;

    const bool inCheck = Board.SideToMoveInCheck();
    if (inCheck) ++depth;
    Board.GenerateMoves();
    if (FollowBestLine) BoostBestLineMove();

    bool anyLegal = false;
    for (int i = Board.CurrentFirst(); i < Board.CurrentEnd(); ++i) {
        if (StopRequested()) break;
        PickNextMove(i);
        const EngineMove m = Board.MoveList[i].Move;
        if (!Board.ApplyMove(m)) continue;
        anyLegal = true;
        const int x = -AlphaBeta(-beta, -alpha, depth - 1);
        Board.RetractMove();
        if (x > alpha) {
            std::int32_t& history = Board.HistoryScore[m.From][m.To];
            // Saturates well below the range, so that the best-line boost cannot overflow.
            history = history > HistoryLimit - depth ? HistoryLimit : history + depth;
            if (x >= beta) return beta;
            alpha = x;
            TakeBestLine(m);
        }
    }
    if (!anyLegal) return inCheck ? Board.Ply - MateScore : 0;
    return alpha;
}

int EngineSearch::CaptureSearch(int alpha, int beta) {
    if (AtDepthBound()) return BoundedEvaluate(alpha, beta);
    BestLineLength[Board.Ply] = Board.Ply;
    const bool inCheck = Board.SideToMoveInCheck();
    if (inCheck) {
        Board.GenerateMoves();
    } else {
        const int s = Evaluate();
        if (s >= beta) return beta;
        if (s > alpha) alpha = s;
        Board.GenerateCaptures();
    }
    if (FollowBestLine) BoostBestLineMove();

    bool anyLegal = false;
    for (int i = Board.CurrentFirst(); i < Board.CurrentEnd(); ++i) {
        // A stopped search's result is never played, so leaving here changes nothing that is
        // used; without it a capture search full of checks could run on for seconds.
        if (StopRequested()) return alpha;
        PickNextMove(i);
        const EngineMove m = Board.MoveList[i].Move;
        if (!Board.ApplyMove(m)) continue;
        anyLegal = true;
        const int x = -CaptureSearch(-beta, -alpha);
        Board.RetractMove();
        if (x > alpha) {
            if (x >= beta) return beta;
            alpha = x;
            TakeBestLine(m);
        }
    }
    if (inCheck && !anyLegal) return Board.Ply - MateScore;
    return alpha;
}

// Two passes: the largest key, then the first entry that holds it. Both loops are free of
// data-dependent branches but the one exit, where a single loop comparing keys and
// indices mispredicts about as often as the order changes.
void EngineSearch::PickNextMove(int i) {
    StackEntry* list = Board.MoveList;
    const int end = Board.CurrentEnd();
    std::int32_t bestKey = list[i].Key;
    for (int j = i + 1; j < end; ++j) bestKey = list[j].Key > bestKey ? list[j].Key : bestKey;
    int best = i;
    while (list[best].Key != bestKey) ++best;
    std::swap(list[i], list[best]);
}

void EngineSearch::BoostBestLineMove() {
    FollowBestLine = false;
    const EngineMove target = BestLine[0][Board.Ply];
    for (int i = Board.CurrentFirst(); i < Board.CurrentEnd(); ++i) {
        const EngineMove m = Board.MoveList[i].Move;
        if (m.From == target.From && m.To == target.To) {
            FollowBestLine = true;
            Board.MoveList[i].Key += 10000000;
            return;
        }
    }
}

} // namespace engine
