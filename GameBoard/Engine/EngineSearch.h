#pragma once
// The engine's search: iterative deepening over a fail-hard alpha-beta search with a
// check extension, a capture search at the leaves, move ordering by the previous best
// line, captures, promotions and a history table, and the static evaluation.
// Internal to the engine; TEngine wraps it. Public data so that the tests can reach it.

#include "GameBoard/Engine/EngineBoard.h"

#include <atomic>

namespace engine {

constexpr int MateScore = 10000;
// Nodes at this ply or deeper are not expanded but scored by Evaluate, so that the
// per-ply arrays (64 plies) are never overrun by check extensions and long capture
// sequences.
constexpr int MaxSearchPly = 60;

class EngineSearch {
public:
    EngineSearch();

    LoadRefusal LoadPosition(const EnginePositionSource& source) {
        return Board.LoadPosition(source);
    }

    // One whole search of the loaded position: square scores, cleared history, then
    // iterations 1..depth from the full window. Returns the score of the last iteration
    // that ran (0 when a stop was requested before the first).
    int SearchRoot(int depth);

    int AlphaBeta(int alpha, int beta, int depth);
    int CaptureSearch(int alpha, int beta);
    // Swaps the best-keyed remaining move of the current ply into MoveList[i]; among
    // equal keys the lowest index wins.
    void PickNextMove(int i);
    // Raises the key of the current ply's move that matches row 0 of the best line.
    void BoostBestLineMove();
    // Material plus square bonus per colour, piece and square, from the root position.
    void PrepareSquareScores();
    // Static score for SideToMove.
    int Evaluate() const;

    bool StopRequested() const {
        return StopFlag != nullptr && StopFlag->load(std::memory_order_relaxed);
    }

    // The current ply's moves in the order they are searched: as PickNextMove puts them.
    // In check, the moves that ApplyMove refuses at once are left out, and the others are
    // taken in that order without picking where the list allows (see NextEvasion).
    // Used by AlphaBeta and CaptureSearch: GenerateMoves(walk), then NextMove until -1.
    static constexpr int MaxEvasions = 32;
    struct MoveWalk {
        MoveWalk(int first, bool inCheck)
            : InCheck(inCheck)
            , Front(first) { }
        bool InCheck;
        int Front; // the index PickNextMove fills next
        // In check (set by GenerateMoves and the first NextMove): whether Evasions holds the
        // indices of the moves not refused at once, by key; if not, picking goes through the
        // whole list. Their order is final up to Settled.
        bool Ordered;
        int Count;
        int Taken;
        int Settled;
        int Evasions[MaxEvasions];
    };
    // GenerateMoves, noting the evasions in check (put in order at the first NextMove).
    void GenerateMoves(MoveWalk& walk);
    // The index of the next move to try, or -1 after the last.
    int NextMove(MoveWalk& walk) {
        if (walk.InCheck) return NextEvasion(walk);
        if (walk.Front == Board.CurrentEnd()) return -1;
        PickNextMove(walk.Front);
        return walk.Front++;
    }

    EngineBoard Board;
    EngineMove BestLine[MaxPly][MaxPly];
    int BestLineLength[MaxPly];
    bool FollowBestLine = false;
    EngineBoard::ScoreTable SquareScore;
    const std::atomic<bool>* StopFlag = nullptr;

private:
    // Pawn terms of a formation: the evaluation's cache, valid for one table of square scores.
    struct PawnEntry {
        std::uint64_t Pawns[2] = { ~std::uint64_t(0), ~std::uint64_t(0) }; // none can match
        int Score = 0; // White's pawn terms minus Black's
        std::uint16_t Files[2] = { 0, 0 }; // bit f + 1: file f holds a pawn of that colour
    };
    static constexpr int PawnCacheBits = 12;
    PawnEntry EvaluatePawns(std::uint64_t whitePawns, std::uint64_t blackPawns) const;
    void ClearPawnCache();
    mutable PawnEntry pawnCache_[1 << PawnCacheBits];

    int NextEvasion(MoveWalk& walk);
    // The longest list whose evasions are taken without picking.
    static constexpr int MaxOrderedList = 128;
    void OrderEvasions(MoveWalk& walk);
    void SettleTies(MoveWalk& walk);

    bool AtDepthBound() const;
    int BoundedEvaluate(int alpha, int beta);
    void TakeBestLine(EngineMove m);
};

} // namespace engine
