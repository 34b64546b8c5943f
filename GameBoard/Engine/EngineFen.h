#pragma once
// Reading a position in FEN, the notation chess tools exchange positions in, into the
// board component's square cells, for the engine's tests and pellium-bench. Placement,
// side to move, castling and en-passant fields are read; the move counters are ignored.

#include "GameBoard/Engine/Engine.h"

#include <string>
#include <string_view>

struct FenPosition {
    // The None cell '_', the squares A8..H1 (blank when empty), the closing NUL.
    SquareCells Squares {};
    bool WhiteToMove = true;
    CastleSet CastlingAllowed;
    Square EnPassant = Square::None;

    // Views Squares: valid while this object lives.
    EnginePositionSource Source() const {
        return EnginePositionSource { Squares, WhiteToMove, CastlingAllowed, EnPassant };
    }
};

// Parses fen into position. On failure returns false and sets error to a short reason.
bool ParseFen(std::string_view fen, FenPosition& position, std::string& error);

// The starting position in FEN.
constexpr std::string_view StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
