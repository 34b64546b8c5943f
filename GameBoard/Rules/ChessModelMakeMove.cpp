// MakeMove, the single move executor, and UserMove, its entry for mouse moves.
#include "GameBoard/Rules/ChessModel.h"

namespace {

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The castling rook's move for a king move, by the king's letter and squares.
struct RookMove {
    char king;
    Square kingFrom, kingTo, rookFrom, rookTo;
    char rook;
};
constexpr RookMove RookMoves[4] = {
    { 'K', Square::E1, Square::G1, Square::H1, Square::F1, 'R' },
    { 'K', Square::E1, Square::C1, Square::A1, Square::D1, 'R' },
    { 'k', Square::E8, Square::G8, Square::H8, Square::F8, 'r' },
    { 'k', Square::E8, Square::C8, Square::A8, Square::D8, 'r' },
};

} // namespace

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

bool TChessModel::MakeMove(Square from, Square to) {
    if (boardBusy_) return false; // nested call while the board is half changed

    // Step 1. A nested call leaves GameEnded to the move that is reporting its end.
    if (moveDepth_ == 0) gameEnded_ = false;
    // Step 2.
    if (!IsLegalMove(from, to)) return false;
    MoveInProgress inProgress(*this);
    const unsigned generation = ++generation_;
    const auto changedUnderUs = [this, generation] { return generation_ != generation; };

    // Step 3. The slot of the side that moves: the position before the move and the move.
    HistoryEntry& before = Slot(currentMove_, whiteToMove_);
    before = HistoryEntry { Position(), castlingAllowed_, from, to, enPassant_ };

    // Steps 4 and 5. A move just dropped with the mouse is already where it goes.
    DrawSquare(from);
    if (AnimateMoves() && !IsDroppedMove(from, to)) {
        DrawBoardLines();
        AnimateMove(from, to, AnimationDelay());
    }

    // Steps 6 and 7.
    const char captured = Cell(to);
    const char moved = Cell(from);
    Cell(to) = moved;
    Cell(from) = ' ';
    DrawSquare(to);
    DrawPiece(to, moved);
    DrawBoardLines();

    // Step 8.
    if (!whiteToMove_) ++currentMove_;
    whiteToMove_ = !whiteToMove_;

    // Step 9. The pawn is not yet promoted, a pawn taken en passant still stands, the
    // castling rook has not moved, EnPassant and CastlingAllowed are those before the move.
    FireMove(OnLegalMove, from, to);
    if (changedUnderUs()) return true;

    // Step 10.
    if (captured != ' ' && OnCapture) {
        const TCaptureEvent handler = OnCapture;
        handler(this, from, to, captured);
        if (changedUnderUs()) return true;
    }

    // Step 11. The handler gets PromotionPiece itself; its change lasts for later promotions.
    const char arrived = Cell(to);
    const bool lastRank = RankOf(to) == 8 || RankOf(to) == 1;
    if ((arrived == 'P' || arrived == 'p') && lastRank) {
        if (OnPromotion) {
            const TPromotionEvent handler = OnPromotion;
            handler(this, from, to, promotionPiece_);
            if (changedUnderUs()) return true;
        }
        // Any letter a handler chose stands on the square, but a NUL would end the position
        // text at this square, so the pawn then becomes the default queen instead.
        const char letter = promotionPiece_ == '\0' ? 'q' : promotionPiece_;
        const char piece = RankOf(to) == 8 ? UpperAscii(letter) : LowerAscii(letter);
        Cell(to) = piece;
        DrawSquare(to);
        DrawPiece(to, piece);
        DrawBoardLines();
    }

    // Step 12. En passant: the pawn taken stands beside the square passed over.
    if (to == enPassant_) {
        Square taken = Square::None;
        if (RankOf(to) == 6 && Cell(to) == 'P')
            taken = SquareAt(FileOf(to), 5);
        else if (RankOf(to) == 3 && Cell(to) == 'p')
            taken = SquareAt(FileOf(to), 4);
        if (taken != Square::None) {
            if (OnCapture) {
                const TCaptureEvent handler = OnCapture;
                handler(this, from, to, Cell(taken));
                if (changedUnderUs()) return true;
            }
            Cell(taken) = ' ';
            DrawSquare(taken);
            DrawBoardLines();
        }
    }

    // Step 13.
    const bool whiteDouble = Cell(to) == 'P' && RankOf(from) == 2 && RankOf(to) == 4;
    const bool blackDouble = Cell(to) == 'p' && RankOf(from) == 7 && RankOf(to) == 5;
    enPassant_
        = (whiteDouble || blackDouble) ? ToSquare((ToInt(from) + ToInt(to)) / 2) : Square::None;

    // Step 14. The castling rook.
    for (const RookMove& r : RookMoves) {
        if (Cell(to) != r.king || from != r.kingFrom || to != r.kingTo) continue;
        Cell(r.rookFrom) = ' ';
        Cell(r.rookTo) = r.rook;
        DrawSquare(r.rookFrom);
        DrawPiece(r.rookTo, r.rook);
        DrawBoardLines();
        FireMove(OnCastle, from, to);
        if (changedUnderUs()) return true;
        break;
    }

    // Step 15. Rights are lost by the from-square only; a rook taken on its corner keeps
    // the right, which castling then refuses for want of the rook.
    switch (from) {
    case Square::A1:
        castlingAllowed_.Exclude(CanStillCastle::WhiteQueenSide);
        break;
    case Square::H1:
        castlingAllowed_.Exclude(CanStillCastle::WhiteKingSide);
        break;
    case Square::E1:
        castlingAllowed_.Exclude(CanStillCastle::WhiteQueenSide);
        castlingAllowed_.Exclude(CanStillCastle::WhiteKingSide);
        break;
    case Square::A8:
        castlingAllowed_.Exclude(CanStillCastle::BlackQueenSide);
        break;
    case Square::H8:
        castlingAllowed_.Exclude(CanStillCastle::BlackKingSide);
        break;
    case Square::E8:
        castlingAllowed_.Exclude(CanStillCastle::BlackQueenSide);
        castlingAllowed_.Exclude(CanStillCastle::BlackKingSide);
        break;
    default:
        break;
    }

    inProgress.BoardComplete();
    ReportMoveOutcome(from, to, generation);
    return true;
}

// Steps 16 to 24. Returns false as soon as a handler has changed the game.
bool TChessModel::ReportMoveOutcome(Square from, Square to, unsigned generation) {
    const auto changedUnderUs = [this, generation] { return generation_ != generation; };

    // Steps 16 to 18, on the board as it now stands.
    const bool givesCheck = WhiteKingAttacked(to, to) || BlackKingAttacked(to, to);
    const bool canMove = HasLegalMove();
    bool drawn = false;

    // Step 19. GameEnded is set before OnMate so that its handler may start a new game.
    if (givesCheck) {
        FireMove(OnCheck, from, to);
        if (changedUnderUs()) return false;
        if (!canMove && OnMate) {
            gameEnded_ = true;
            FireMove(OnMate, from, to);
            if (changedUnderUs()) return false;
        }
    } else if (!canMove) {
        FireMove(OnStaleMate, from, to);
        if (changedUnderUs()) return false;
        drawn = true;
    }

    // Step 20.
    if (LacksMatingMaterial()) {
        FireNotify(OnNoMatingMaterial);
        if (changedUnderUs()) return false;
        drawn = true;
    }

    // Step 21. The slot of the position now on the board.
    StoreCurrentPosition();

    // Step 22. From here on IsLegalMove refuses every move of this game.
    if (IsThreefoldRepetition()) {
        FireNotify(OnThreefoldPosition);
        if (changedUnderUs()) return false;
        drawn = true;
    }

    // Step 23. At most once per move, and never after a mate.
    if (drawn && OnDraw) {
        gameEnded_ = true;
        FireNotify(OnDraw);
        if (changedUnderUs()) return false;
    }

    // Step 24.
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
