#pragma once
// The built-in engine: its own 64-square board, a pseudo-legal move generator, an
// iterative-deepening alpha-beta search with a capture search, and the evaluation.
// Plain C++ with no toolkit dependency. One TEngine is used by one thread at a time;
// the only thing another thread touches is the stop flag it is given.

#include "GameBoard/Rules/BoardTypes.h"
#include "GameBoard/Rules/SquareNumbering.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

// A move of the engine: square indices 0..63 (SquareIndexOf), promotion piece code
// (1..4, 0 none) and flags (1 capture, 2 castling, 4 en passant, 8 double step, 16 pawn,
// 32 promotion).
struct EngineMove {
    std::uint8_t From = 0;
    std::uint8_t To = 0;
    std::uint8_t Promote = 0;
    std::uint8_t Flags = 0;
    bool operator==(const EngineMove&) const = default;
};

// The board state the engine loads a search position from: the cells of a position (empty for
// none); the engine thread fills it from the snapshot its host took on the board's thread, so
// nothing here is read while the board changes.
struct EnginePositionSource {
    SquareCellsView Squares;
    bool WhiteToMove = true;
    CastleSet CastlingAllowed;
    Square EnPassant = Square::None;
};

class TEngine {
public:
    TEngine();
    ~TEngine();
    TEngine(const TEngine&) = delete;
    TEngine& operator=(const TEngine&) = delete;

    // Loads the position; false when it is refused: a side without exactly one king, a
    // pawn on the first or last rank, or the side not to move in check. Unknown characters
    // are read as empty squares; castling rights without king and rook at home and an
    // en-passant square no pawn can capture onto are dropped. After a refusal SearchRoot
    // and Perft do nothing until a position is accepted.
    bool LoadPosition(const EnginePositionSource& source);
    // Why the last LoadPosition refused its position ("accepted" when it did not).
    std::string_view RefusalReason() const;
    // Iterative deepening 1..depth (clamped to 1..8) from the loaded position. Returns the
    // root score of the last iteration. The result is BestMove().
    int SearchRoot(int depth);
    // BestLine[0][0]: the engine's result (kept from the previous search when none found).
    EngineMove BestMove() const;
    // ApplyMove calls that returned true since the last SearchRoot started (read it on the
    // searching thread or after the search).
    std::uint64_t Nodes() const;
    // The moves ApplyMove accepts from the loaded position, counted recursively to depth
    // (1 at depth 0). Empty when no position is loaded, or when the walk could overrun the
    // engine's move stack (depth times the most moves one position of this material can
    // have; for a full set of pieces that allows depth 9).
    std::optional<std::uint64_t> Perft(int depth);

    // The stop request, set by another thread; checked by the search. May be null.
    void SetStopFlag(const std::atomic<bool>* stop);

private:
    struct State;
    std::unique_ptr<State> state_;
};
