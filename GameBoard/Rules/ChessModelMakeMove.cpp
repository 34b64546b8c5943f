// MakeMove, the single move executor, and UserMove, its entry for mouse moves.
#include "GameBoard/Rules/AsciiCase.h"
#include "GameBoard/Rules/Castlings.h"
#include "GameBoard/Rules/ChessModel.h"

class TChessModel::MoveInProgress {
public:
    explicit MoveInProgress(TChessModel& board)
        : board_(board)
        , outerBusy_(board.boardBusy_) {
        ++board_.moveDepth_;
        board_.boardBusy_ = true;
    }
    ~MoveInProgress() {
        --board_.moveDepth_;
        board_.boardBusy_ = outerBusy_;
    }
    MoveInProgress(const MoveInProgress&) = delete;
    MoveInProgress& operator=(const MoveInProgress&) = delete;
    void BoardComplete() { board_.boardBusy_ = false; }

private:
    TChessModel& board_;
    bool outerBusy_;
};

// Calls a handler through a copy, so that a handler that reassigns its own event
// does not destroy the callable while it runs.
void TChessModel::FireMove(const TMoveEvent& event, Square from, Square to) {
    if (!event) return;
    const TMoveEvent handler = event;
    handler(this, from, to);
}

void TChessModel::FireNotify(const TNotifyEvent& event) {
    if (!event) return;
    const TNotifyEvent handler = event;
    handler(this);
}

void TChessModel::FireCapture(Square from, Square to, char captured) {
    if (!OnCapture) return;
    const TCaptureEvent handler = OnCapture;
    handler(this, from, to, captured);
}

bool TChessModel::MakeMove(Square from, Square to) {
    if (boardBusy_) return false; // nested call while the board is half changed

    // Step 1, clear the end of game. A nested call leaves GameEnded to the move that is
    // reporting its end.
    if (moveDepth_ == 0) gameEnded_ = false;
    // Step 2, legality.
    if (!IsLegalMove(from, to)) return false;
    MoveInProgress inProgress(*this);
    const unsigned generation = ++generation_;

    // Step 3, record: the slot of the side that moves gets the position before the move
    // and the move.
    HistoryEntry& before = Slot(currentMove_, whiteToMove_);
    before = HistoryEntry { Position(), castlingAllowed_, from, to, enPassant_ };

    // Steps 4 to 7, the piece goes from `from` to `to`, shown (and slid) on the view.
    const char captured = MovePiece(from, to);

    // Step 8, move number and side to move.
    if (!whiteToMove_) ++currentMove_;
    whiteToMove_ = !whiteToMove_;

    // Step 9, OnLegalMove. The pawn is not yet promoted, a pawn taken en passant still
    // stands, the castling rook has not moved, EnPassant and CastlingAllowed are those
    // before the move.
    FireMove(OnLegalMove, from, to);
    if (ChangedSince(generation)) return true;

    // Step 10, OnCapture for the piece that stood on `to`.
    if (captured != ' ') {
        FireCapture(from, to, captured);
        if (ChangedSince(generation)) return true;
    }

    // The helpers of steps 11, 12 and 14 return false when a handler changed the game.
    // Step 11, promotion.
    if (!PromotePawn(from, to, generation)) return true;
    // Step 12, the pawn taken en passant.
    if (!TakeEnPassantPawn(from, to, generation)) return true;
    // Step 13, the new en-passant square.
    enPassant_ = SquarePassedOver(from, to);
    // Step 14, the castling rook.
    if (!MoveCastlingRook(from, to, generation)) return true;
    // Step 15, castling rights lost by the move's from-square.
    DropCastlingRights(from);

    // Steps 16 to 24 on the complete board: check, mate, draws, record and paint.
    inProgress.BoardComplete();
    ReportMoveOutcome(from, to, generation);
    return true;
}

// Steps 4 to 7: clears `from` on the view, slides the piece unless it was just dropped
// there with the mouse, moves it on the board and draws it on `to`. Returns the character
// that stood on `to` (a blank when nothing was taken).
char TChessModel::MovePiece(Square from, Square to) {
    DrawSquare(from);
    if (AnimateMoves() && !IsDroppedMove(from, to)) {
        DrawBoardLines();
        AnimateMove(from, to, AnimationDelay());
    }
    const char captured = Cell(to);
    const char moved = Cell(from);
    Cell(to) = moved;
    Cell(from) = ' ';
    DrawSquare(to);
    DrawPiece(to, moved);
    DrawBoardLines();
    return captured;
}

// Step 11: a pawn on the last rank becomes PromotionPiece, in the case of its side. The
// OnPromotion handler gets PromotionPiece itself; its change lasts for later promotions.
bool TChessModel::PromotePawn(Square from, Square to, unsigned generation) {
    const char arrived = Cell(to);
    const bool lastRank = RankOf(to) == 8 || RankOf(to) == 1;
    if ((arrived != 'P' && arrived != 'p') || !lastRank) return true;
    if (OnPromotion) {
        const TPromotionEvent handler = OnPromotion;
        handler(this, from, to, promotionPiece_);
        if (ChangedSince(generation)) return false;
    }
    // Any letter a handler chose stands on the square, but a NUL would end the position
    // text at this square, so the pawn then becomes the default queen instead.
    const char letter = promotionPiece_ == '\0' ? 'q' : promotionPiece_;
    const char piece = RankOf(to) == 8 ? UpperAscii(letter) : LowerAscii(letter);
    Cell(to) = piece;
    DrawSquare(to);
    DrawPiece(to, piece);
    DrawBoardLines();
    return true;
}

// Step 12: a pawn moving onto the en-passant square (from before this move) takes the pawn
// that stands beside the square passed over.
bool TChessModel::TakeEnPassantPawn(Square from, Square to, unsigned generation) {
    if (to != enPassant_) return true;
    Square taken = Square::None;
    if (RankOf(to) == 6 && Cell(to) == 'P')
        taken = SquareAt(FileOf(to), 5);
    else if (RankOf(to) == 3 && Cell(to) == 'p')
        taken = SquareAt(FileOf(to), 4);
    if (taken == Square::None) return true;
    FireCapture(from, to, Cell(taken));
    if (ChangedSince(generation)) return false;
    Cell(taken) = ' ';
    DrawSquare(taken);
    DrawBoardLines();
    return true;
}

// Step 13: the square a pawn's double step has just passed over, else None.
Square TChessModel::SquarePassedOver(Square from, Square to) const {
    const bool whiteDouble = Cell(to) == 'P' && RankOf(from) == 2 && RankOf(to) == 4;
    const bool blackDouble = Cell(to) == 'p' && RankOf(from) == 7 && RankOf(to) == 5;
    return (whiteDouble || blackDouble) ? SquareHalfway(from, to) : Square::None;
}

// Step 14: after the king's castling move its rook jumps over it; then OnCastle.
bool TChessModel::MoveCastlingRook(Square from, Square to, unsigned generation) {
    for (const Castling& c : Castlings) {
        if (Cell(to) != c.king || from != c.kingFrom || to != c.kingTo) continue;
        Cell(c.rookFrom) = ' ';
        Cell(c.rookTo) = c.rook;
        DrawSquare(c.rookFrom);
        DrawPiece(c.rookTo, c.rook);
        DrawBoardLines();
        FireMove(OnCastle, from, to);
        return !ChangedSince(generation);
    }
    return true;
}

// Step 15: a move from a king's square loses both rights of its side, a move from a corner
// the right of that rook. Only the from-square counts: a rook taken on its corner keeps the
// right, which castling then refuses for want of the rook.
void TChessModel::DropCastlingRights(Square from) {
    for (const Castling& c : Castlings)
        if (from == c.kingFrom || from == c.rookFrom) castlingAllowed_.Exclude(c.right);
}

// Steps 16 to 24, the outcome of the move. Returns false as soon as a handler has changed the game.
bool TChessModel::ReportMoveOutcome(Square from, Square to, unsigned generation) {
    // Steps 16 to 18, check and legal replies, on the board as it now stands.
    const bool givesCheck = WhiteKingAttacked(to, to) || BlackKingAttacked(to, to);
    const bool canMove = HasLegalMove();
    bool drawn = false;

    // Step 19, check, mate or stalemate. GameEnded is set before OnMate so that its handler may
    // start a new game.
    if (givesCheck) {
        FireMove(OnCheck, from, to);
        if (ChangedSince(generation)) return false;
        if (!canMove && OnMate) {
            gameEnded_ = true;
            FireMove(OnMate, from, to);
            if (ChangedSince(generation)) return false;
        }
    } else if (!canMove) {
        FireMove(OnStaleMate, from, to);
        if (ChangedSince(generation)) return false;
        drawn = true;
    }

    // Step 20, lack of mating material.
    if (LacksMatingMaterial()) {
        FireNotify(OnNoMatingMaterial);
        if (ChangedSince(generation)) return false;
        drawn = true;
    }

    // Step 21, record: the slot of the position now on the board.
    StoreCurrentPosition();

    // Step 22, threefold repetition. From here on IsLegalMove refuses every move of this game.
    if (IsThreefoldRepetition()) {
        FireNotify(OnThreefoldPosition);
        if (ChangedSince(generation)) return false;
        drawn = true;
    }

    // Step 23, draw: at most once per move, and never after a mate.
    if (drawn && OnDraw) {
        gameEnded_ = true;
        FireNotify(OnDraw);
        if (ChangedSince(generation)) return false;
    }

    // Step 24, OnPaint.
    FireNotify(OnPaint);
    return true;
}

bool TChessModel::UserMove(Square from, Square to) {
    StopThinking();
    const bool result = MakeMove(from, to);
    SetHalted(false);
    StartThinking();
    return result;
}
