#pragma once
// TEngineHost: what the engine thread needs from the object that owns it (the board), and
// nothing more. The engine thread asks for a snapshot of the game when it runs its turn test
// and reports back through two steps; it knows nothing else of its host. Every member is
// called on the host's (user-interface) thread.

#include "GameBoard/Rules/BoardTypes.h"
#include "GameBoard/Rules/SquareNumbering.h"

// The host's state as the turn test and the start of a search need it, copied on the host's
// thread.
struct TEngineSnapshot {
    SquareCells Squares {};
    bool WhiteToMove = true;
    CastleSet Castling;
    Square EnPassant = Square::None;
    int Depth = 1;
    TThreadPriority Priority = TThreadPriority::tpNormal;
    // The built-in engine is to move now: the computer plays the side to move, and nothing
    // (another engine, the host's destruction) keeps the built-in one still.
    bool ComputerDue = false;
};

class TEngineHost {
public:
    virtual ~TEngineHost() = default;
    virtual TEngineSnapshot EngineSnapshot() const = 0;
    // Plays the engine's move (the move hand-off); false when the host refused it.
    virtual bool DeliverMove(Square from, Square to) = 0;
    // The engine thread has parked at the end of a cycle (the park hand-off).
    virtual void ParkWorker() = 0;
};
