// The engine plays whole games against itself at depth 2 from varied openings, its moves
// carried out by the rules model, as the board does with the engine thread's moves. Every
// move the engine chooses must be one the rules accept, and every game must come to an end
// by mate, stalemate, lack of material or repetition.
#include "GameBoard/Engine/Engine.h"
#include "GameBoard/Rules/ChessModel.h"
#include "GameBoard/Rules/SquareNumbering.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<Square, Square>> LegalMoves(const TChessModel& board) {
    std::vector<std::pair<Square, Square>> moves;
    for (int from = 1; from <= 64; ++from)
        for (int to = 1; to <= 64; ++to)
            if (board.IsLegalMove(ToSquare(from), ToSquare(to)))
                moves.emplace_back(ToSquare(from), ToSquare(to));
    return moves;
}

enum class Ending { Mate, Stalemate, Repetition, NoMaterial, MoveLimit };

Ending PlayGame(int game) {
    TChessModel board;
    bool mated = false;
    board.OnMate = [&](TChessModel*, Square, Square) { mated = true; };
    // A varied opening: two to five plies picked among the legal moves by the game number.
    const int openingPlies = 2 + game % 4;
    for (int ply = 0; ply < openingPlies; ++ply) {
        const auto moves = LegalMoves(board);
        const auto& [from, to] = moves[std::size_t(game * 7 + ply * 13) % moves.size()];
        EXPECT_TRUE(board.MakeMove(from, to));
    }
    TEngine engine;
    for (int ply = 0; ply < 600; ++ply) {
        if (board.LacksMatingMaterial()) return Ending::NoMaterial;
        if (board.IsThreefoldRepetition()) return Ending::Repetition;
        if (!board.HasLegalMove()) return mated ? Ending::Mate : Ending::Stalemate;
        const EnginePositionSource source { board.Squares().data(), board.WhiteToMove(),
            board.CastlingAllowed(), board.EnPassant() };
        if (!engine.LoadPosition(source)) {
            ADD_FAILURE() << "game " << game << ": engine refused " << board.Position() << ": "
                          << engine.RefusalReason();
            return Ending::MoveLimit;
        }
        engine.SearchRoot(2);
        const EngineMove move = engine.BestMove();
        if (!board.MakeMove(SquareOfIndex(move.From), SquareOfIndex(move.To))) {
            ADD_FAILURE() << "game " << game << ": rules refused the engine's move "
                          << int(move.From) << "-" << int(move.To) << " in " << board.Position();
            return Ending::MoveLimit;
        }
    }
    return Ending::MoveLimit;
}

} // namespace

TEST(EngineSoakSlowTest, ThirtySelfPlayGamesEndWithEveryEngineMoveLegal) {
    int endings[5] = {};
    for (int game = 0; game < 30; ++game) {
        SCOPED_TRACE(game);
        ++endings[int(PlayGame(game))];
    }
    EXPECT_EQ(endings[int(Ending::MoveLimit)], 0)
        << "mate " << endings[0] << ", stalemate " << endings[1] << ", repetition " << endings[2]
        << ", no material " << endings[3];
}
