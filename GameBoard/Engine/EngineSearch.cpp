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
void EngineSearch::PickNextMove(int i) {
    StackEntry* list = Board.MoveList;
    const int end = Board.CurrentEnd();
    std::int32_t bestKey = list[i].Key;
    for (int j = i + 1; j < end; ++j) bestKey = list[j].Key > bestKey ? list[j].Key : bestKey;
    int best = i;
    while (list[best].Key != bestKey) ++best;
    std::swap(list[i], list[best]);
}

void EngineSearch::GenerateMoves(MoveWalk& walk) {
    if (!walk.InCheck) {
        Board.GenerateMoves();
        return;
    }
    walk.Count = Board.GenerateMovesInCheck(walk.Evasions, MaxEvasions);
    walk.Taken = -1; // ordered at the first NextMove, once the keys are final
}

// Picking takes the largest key left, the lowest place among equal keys, and swaps the entry
// at the front into the place of the one taken. So the evasions come in the order of their
// keys; only among equal keys does their place decide, which taking larger keys may have
// changed (SettleTies).
int EngineSearch::NextEvasion(MoveWalk& walk) {
    if (walk.Taken < 0) OrderEvasions(walk);
    if (walk.Ordered) {
        if (walk.Taken == walk.Count) return -1;
        if (walk.Taken == walk.Settled) SettleTies(walk);
        return walk.Evasions[walk.Taken++];
    }
    const int end = Board.CurrentEnd();
    while (walk.Front < end) {
        const int front = walk.Front++;
        PickNextMove(front);
        if (!Board.EvasionsOfPly().Refuses(Board.MoveList[front].Move)) return front;
    }
    return -1;
}

// Sorts the evasions by key, and by index among equal keys.
void EngineSearch::OrderEvasions(MoveWalk& walk) {
    walk.Taken = 0;
    walk.Settled = 0;
    walk.Ordered = walk.Count >= 0 && Board.CurrentEnd() - walk.Front <= MaxOrderedList;
    if (!walk.Ordered) return;
    const StackEntry* list = Board.MoveList;
    int* const evasions = walk.Evasions;
    for (int n = 1; n < walk.Count; ++n) {
        const int j = evasions[n];
        int at = n;
        for (; at > 0 && list[evasions[at - 1]].Key < list[j].Key; --at)
            evasions[at] = evasions[at - 1];
        evasions[at] = j;
    }
}

// The evasions from Taken on that share its key, put in the order of the places they hold once
// picking has taken every larger key. An entry changes place only when it is at the front
// while a larger key is taken: it then goes to the place the taken one leaves. Entries beyond
// the first 'larger' places never reach the front before that. Otherwise the entries with
// larger keys are followed with those evasions, sorted by key and place: step t takes the
// t-th of them, and the one at the front (place t), if followed, moves to the place of the
// taken one and, among equal keys, to its new rank.
void EngineSearch::SettleTies(MoveWalk& walk) {
    const int front = walk.Front;
    const StackEntry* list = Board.MoveList + front;
    const int size = Board.CurrentEnd() - front;
    int* const ties = walk.Evasions + walk.Taken;
    const std::int32_t key = list[ties[0] - front].Key;
    int count = 1;
    while (walk.Taken + count < walk.Count && list[ties[count] - front].Key == key) ++count;
    walk.Settled = walk.Taken + count;
    if (count == 1) return;
    int larger = 0;
    for (int k = 0; k < size; ++k) larger += list[k].Key > key;
    bool moves = false;
    for (int n = 0; n < count; ++n) moves |= ties[n] - front < larger;
    if (!moves) return;

    struct Followed {
        std::int32_t Key;
        std::uint8_t Place; // now
        std::uint8_t Index; // as generated
    };
    Followed followed[MaxOrderedList + MaxEvasions];
    // The larger keys in order of place (kept without a branch), sorted by key, stably.
    int n = 0;
    for (int k = 0; k < size; ++k) {
        followed[n] = { list[k].Key, std::uint8_t(k), std::uint8_t(k) };
        n += list[k].Key > key;
    }
    for (int i = 1; i < larger; ++i) {
        const Followed f = followed[i];
        int at = i;
        for (; at > 0 && followed[at - 1].Key < f.Key; --at) followed[at] = followed[at - 1];
        followed[at] = f;
    }
    for (int i = 0; i < count; ++i) {
        const std::uint8_t place = std::uint8_t(ties[i] - front);
        followed[larger + i] = { key, place, place };
    }
    const int total = larger + count;
    // Which followed entry is at each place, or none.
    constexpr std::uint8_t None = 0xFF;
    std::uint8_t at[MaxOrderedList];
    std::memset(at, None, std::size_t(size));
    for (int i = 0; i < total; ++i) at[followed[i].Place] = std::uint8_t(i);
    for (int t = 0; t < larger; ++t) {
        const int from = followed[t].Place;
        if (from == t) continue;
        const std::uint8_t moved = at[t];
        at[from] = moved;
        if (moved == None) continue;
        Followed f = followed[moved];
        f.Place = std::uint8_t(from);
        int i = moved;
        for (; i + 1 < total && followed[i + 1].Key == f.Key && followed[i + 1].Place < f.Place;
             ++i) {
            followed[i] = followed[i + 1];
            at[followed[i].Place] = std::uint8_t(i);
        }
        followed[i] = f;
        at[f.Place] = std::uint8_t(i);
    }
    for (int i = 0; i < count; ++i) ties[i] = front + followed[larger + i].Index;
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
