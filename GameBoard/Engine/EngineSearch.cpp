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
    MoveWalk walk(Board.CurrentFirst(), inCheck);
    GenerateMoves(walk);
    if (FollowBestLine) BoostBestLineMove();

    bool anyLegal = false;
    for (;;) {
        if (StopRequested()) break;
        const int i = NextMove(walk);
        if (i < 0) break;
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
    MoveWalk walk(Board.CurrentFirst(), inCheck);
    if (inCheck) {
        GenerateMoves(walk);
    } else {
        const int s = Evaluate();
        if (s >= beta) return beta;
        if (s > alpha) alpha = s;
        Board.GenerateCaptures();
    }
    if (FollowBestLine) BoostBestLineMove();

    bool anyLegal = false;
    for (;;) {
        // A stopped search's result is never played, so leaving here changes nothing that is
        // used; without it a capture search full of checks could run on for seconds.
        if (StopRequested()) return alpha;
        const int i = NextMove(walk);
        if (i < 0) break;
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
int EngineSearch::PickFrom(int i) {
    StackEntry* list = Board.MoveList;
    const int end = Board.CurrentEnd();
    std::int32_t bestKey = list[i].Key;
    for (int j = i + 1; j < end; ++j) bestKey = list[j].Key > bestKey ? list[j].Key : bestKey;
    int best = i;
    while (list[best].Key != bestKey) ++best;
    std::swap(list[i], list[best]);
    return best;
}

void EngineSearch::PickNextMove(int i) {
    PickFrom(i);
}

void EngineSearch::GenerateMoves(MoveWalk& walk) {
    if (!walk.InCheck) {
        Board.GenerateMoves();
        return;
    }
    walk.Count = Board.GenerateMovesInCheck(walk.Evasions, MaxEvasions);
    walk.Tracked = true;
    walk.Ordered = false;
    walk.Taken = 0;
    walk.PickUntil = walk.Front - 1;
    if (walk.Count < 0) { // picking through the whole list
        walk.Count = 0;
        walk.Tracked = false;
        walk.PickUntil = Board.CurrentEnd() - 1;
    }
}

int EngineSearch::NextEvasion(MoveWalk& walk) {
    const int end = Board.CurrentEnd();
    for (;;) {
        if (walk.Ordered) return walk.Taken < walk.Count ? walk.Evasions[walk.Taken++] : -1;
        if (walk.Front > walk.PickUntil && OrderEvasions(walk)) continue;
        if (walk.Front == end) return -1;
        const int front = walk.Front++;
        const int from = PickFrom(front);
        if (!walk.Tracked) {
            if (!Board.EvasionsOfPly().Refuses(Board.MoveList[front].Move)) return front;
            continue;
        }
        // The picked entry came from index 'from', the one at the front went there.
        int* const evasions = walk.Evasions;
        bool picked = false;
        for (int n = 0; n < walk.Count; ++n) {
            if (evasions[n] == from) {
                evasions[n] = evasions[--walk.Count];
                picked = true;
                break;
            }
        }
        for (int n = 0; n < walk.Count; ++n) {
            if (evasions[n] == front) {
                evasions[n] = from;
                break;
            }
        }
        if (picked) return front;
    }
}

// Picking takes the largest key left, the lowest index among equal keys, and swaps the entry
// at the front into the place of the one taken. An entry's place changes only when it is at
// the front while larger keys are still being taken, which is when fewer entries come before
// it than there are larger keys. Where no evasion is moved like that, the evasions are
// reached in the order of their keys and, among equal keys, of their indices.
bool EngineSearch::OrderEvasions(MoveWalk& walk) {
    if (!walk.Tracked) return false;
    const StackEntry* list = Board.MoveList;
    const int front = walk.Front;
    const int end = Board.CurrentEnd();
    int* const evasions = walk.Evasions;
    std::int32_t smallestKey = INT_MAX;
    for (int n = 0; n < walk.Count; ++n) smallestKey = std::min(smallestKey, list[evasions[n]].Key);
    auto largerKeys = [&](std::int32_t key) {
        int larger = 0;
        for (int k = front; k < end; ++k) larger += list[k].Key > key;
        return larger;
    };
    // Counting the larger keys for each evasion is needed only where fewer entries come
    // before it than there are keys larger than the smallest evasion key.
    const int mostLarger = largerKeys(smallestKey);
    int firstMoved = end;
    for (int n = 0; n < walk.Count; ++n) {
        const int j = evasions[n];
        if (j - front < mostLarger && j < firstMoved && largerKeys(list[j].Key) > j - front)
            firstMoved = j;
    }
    if (firstMoved < end) {
        walk.PickUntil = firstMoved;
        return false;
    }
    // By key, and by index among equal keys.
    auto before = [&](int a, int b) {
        return list[a].Key != list[b].Key ? list[a].Key > list[b].Key : a < b;
    };
    for (int n = 1; n < walk.Count; ++n) {
        const int j = evasions[n];
        int at = n;
        for (; at > 0 && before(j, evasions[at - 1]); --at) evasions[at] = evasions[at - 1];
        evasions[at] = j;
    }
    walk.Ordered = true;
    walk.Taken = 0;
    return true;
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
