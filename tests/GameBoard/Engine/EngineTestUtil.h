#pragma once
// Helpers shared by the engine's tests: loading a FEN into the engine's internals and
// naming moves.

#include "GameBoard/Engine/EngineFen.h"
#include "GameBoard/Engine/EngineSearch.h"
#include "GameBoard/Rules/SquareNames.h"

#include <gtest/gtest.h>
#include <string>

namespace enginetest {

// Loads a FEN into an engine::EngineSearch or an engine::EngineBoard; a FEN that does not
// parse fails the test.
template <typename Target> engine::LoadRefusal Load(Target& target, const std::string& fen) {
    FenPosition position;
    std::string error;
    EXPECT_TRUE(ParseFen(fen, position, error)) << fen << ": " << error;
    return target.LoadPosition(position.Source());
}

inline std::string MoveName(EngineMove m) {
    return SquareName(m.From) + SquareName(m.To);
}

inline int SquareIndex(const char* name) {
    return SquareIndexOf(ParseSquare(name));
}

// The generated moves of the current ply, in stack order, as "e2e4" texts.
inline std::vector<std::string> GeneratedMoves(const engine::EngineBoard& board) {
    std::vector<std::string> moves;
    for (int i = board.CurrentFirst(); i < board.CurrentEnd(); ++i)
        moves.push_back(MoveName(board.MoveList[i].Move));
    return moves;
}

} // namespace enginetest
