#pragma once
// Helpers shared by the rules-model tests: positions drawn rank by rank and a log of
// the events MakeMove fires, written like pellium-bench trace prints them.

#include "GameBoard/Rules/ChessModel.h"
#include "GameBoard/Rules/SquareNames.h"

#include <initializer_list>
#include <string>

namespace chess_test {

// Eight ranks from 8 down to 1, '.' for an empty square.
inline std::string Diagram(std::initializer_list<const char*> ranks) {
    std::string text;
    for (const char* rank : ranks) text += rank;
    for (char& c : text)
        if (c == '.') c = ' ';
    return text;
}

inline Square Sq(const char* name) {
    return ParseSquare(name);
}

inline CastleSet Castling(const std::string& letters) {
    return CastleSetFromLetters(letters);
}

// Sets up a position on a fresh game: placement, side to move, castling rights and
// en-passant square (an empty name leaves none).
inline void SetUpGame(TChessModel& board, const std::string& placement, bool whiteToMove,
    const std::string& castling, const char* enPassant = "") {
    board.NewGame();
    board.SetPosition(placement);
    board.SetWhiteToMove(whiteToMove);
    board.SetCastlingAllowed(Castling(castling));
    board.SetEnPassant(Sq(enPassant));
}

// Assigns every MakeMove event of `board` to append "Name(args)" to `log`, space separated.
inline void LogAllEvents(TChessModel& board, std::string& log) {
    const auto add = [&log](const std::string& entry) { log += (log.empty() ? "" : " ") + entry; };
    const auto move = [add](const char* name) {
        return [add, name](TChessModel*, Square a, Square b) {
            add(std::string(name) + "(" + FormatSquare(a) + "," + FormatSquare(b) + ")");
        };
    };
    const auto notify
        = [add](const char* name) { return [add, name](TChessModel*) { add(name); }; };
    board.OnLegalMove = move("OnLegalMove");
    board.OnCastle = move("OnCastle");
    board.OnCheck = move("OnCheck");
    board.OnMate = move("OnMate");
    board.OnStaleMate = move("OnStaleMate");
    board.OnCapture = [add](TChessModel*, Square a, Square b, char piece) {
        add("OnCapture(" + FormatSquare(a) + "," + FormatSquare(b) + "," + std::string(1, piece)
            + ")");
    };
    board.OnPromotion = [add](TChessModel*, Square a, Square b, char& piece) {
        add("OnPromotion(" + FormatSquare(a) + "," + FormatSquare(b) + "," + std::string(1, piece)
            + ")");
    };
    board.OnNoMatingMaterial = notify("OnNoMatingMaterial");
    board.OnThreefoldPosition = notify("OnThreefoldPosition");
    board.OnDraw = notify("OnDraw");
    board.OnPaint = notify("OnPaint");
}

// Plays a move text as the game window does with a received move.
inline bool Play(TChessModel& board, const std::string& text) {
    const auto [from, to] = TChessModel::MoveFromText(text);
    return board.MakeMove(from, to);
}

} // namespace chess_test
