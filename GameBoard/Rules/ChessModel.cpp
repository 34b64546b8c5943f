// The game state of the rules model: squares, position text, properties, new game.
#include "GameBoard/Rules/ChessModel.h"

#include "GameBoard/Rules/AsciiCase.h"
#include "GameBoard/Rules/SquareNames.h"

#include <algorithm>
#include <cstring>

namespace {

// True for the 13 characters a square may hold; NUL is not one of them.
bool IsPieceChar(char c) {
    return c != '\0' && std::memchr(TChessModel::PieceChars, c, 13) != nullptr;
}

bool IsEnPassantRank(Square s) {
    return RankOf(s) == 3 || RankOf(s) == 6;
}

} // namespace

TChessModel::TChessModel() {
    ResetGame();
}

std::string TChessModel::Position() const {
    return std::string(squares_.data() + FirstBoardCell, SquareCount);
}

void TChessModel::SetPosition(const std::string& text) {
    StopThinking();
    squares_.fill(' ');
    squares_[EndCell] = '\0';
    const std::size_t count = std::min<std::size_t>(SquareCount, text.size());
    for (std::size_t i = 0; i < count; ++i) {
        const char c = text[i];
        if (c == '\0') break;
        if (IsPieceChar(c)) Cell(SquareOfIndex(int(i))) = c;
    }
    const std::string lowered = LowerAscii(text);
    if (lowered == "init" || lowered == "newgame")
        std::memcpy(squares_.data() + FirstBoardCell, StartPosition, SquareCount);
    GameReplaced();
    PaintBoard();
}

void TChessModel::SetWhiteToMove(bool value) {
    StopThinking();
    whiteToMove_ = value;
}

void TChessModel::SetEnPassant(Square value) {
    if (!IsBoardSquare(value) || !IsEnPassantRank(value)) return;
    StopThinking();
    enPassant_ = value;
}

void TChessModel::SetComputerPlaysWhite(bool value) {
    StopThinking();
    computerPlaysWhite_ = value;
    StartThinking();
}

void TChessModel::SetComputerPlaysBlack(bool value) {
    StopThinking();
    computerPlaysBlack_ = value;
    StartThinking();
}

void TChessModel::NewGame() {
    ResetGame();
    PaintBoard();
}

// Starting position, White to move, move 1, all castling rights, no en-passant square.
// The record is cleared too, so that no position of an earlier game can count towards a
// repetition in this one. PromotionPiece, the ComputerPlays flags and the view are kept.
void TChessModel::ResetGame() {
    StopThinking();
    squares_[NoneCell] = '_';
    std::memcpy(squares_.data() + FirstBoardCell, StartPosition, SquareCount);
    squares_[EndCell] = '\0';
    whiteToMove_ = true;
    currentMove_ = 1;
    enPassant_ = Square::None;
    castlingAllowed_ = AllCastling;
    history_.clear();
    GameReplaced();
}

// A running MakeMove stops when it sees this; the new board is whole, so moves may be made on it.
void TChessModel::GameReplaced() {
    ++generation_;
    boardBusy_ = false;
}

void TChessModel::StopThinking() {
    halted_ = true;
}

void TChessModel::PaintBoard() {
    if (OnPaint) OnPaint(this);
}

int TChessModel::PieceColor(Square s) const {
    const char c = Cell(s);
    if (c >= 'b' && c <= 'r') return 0;
    if (c >= 'B' && c <= 'R') return 1;
    return -1;
}

Square TChessModel::SquareFromText(const std::string& text) {
    return ParseSquare(text);
}

std::pair<Square, Square> TChessModel::MoveFromText(const std::string& text) {
    const auto part = [&text](std::size_t first) {
        return first < text.size() ? text.substr(first, 2) : std::string();
    };
    return { SquareFromText(part(0)), SquareFromText(part(2)) };
}

TChessModel::HistoryEntry& TChessModel::Slot(int moveNumber, bool white) {
    const auto index = static_cast<std::size_t>(SlotIndex(moveNumber, white));
    if (history_.size() <= index) history_.resize(index + 1);
    return history_[index];
}

// The slot of the position now on the board gets that position, the castling rights and
// the en-passant square; its move fields are left as they are.
void TChessModel::StoreCurrentPosition() {
    HistoryEntry& slot = Slot(currentMove_, whiteToMove_);
    slot.Position = Position();
    slot.Castling = castlingAllowed_;
    slot.EnPassant = enPassant_;
}
