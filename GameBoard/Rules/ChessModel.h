#pragma once
// The rules model of the board component: the game state, the position text, move
// legality, game-end detection and the single move executor MakeMove with its events.
// Plain C++ with no toolkit dependency; the widget TGameBoard derives from it and
// overrides the hooks at the bottom (view calls and the engine's start/stop).
// Everything here runs on the user-interface thread only. The engine thread never reads
// this state: the board copies the position into the engine on the user-interface thread
// when a search starts, and the search runs on that copy.

#include "GameBoard/Rules/BoardTypes.h"
#include "GameBoard/Rules/SquareNumbering.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

class TChessModel {
public:
    static constexpr const char* StartPosition
        = "rnbqkbnrpppppppp                                PPPPPPPPRNBQKBNR";
    static constexpr const char* PieceChars = " PNBRQKpnbrqk";

    // One slot of the game record: the position in which one side is to move at one
    // move number, and the move then played from it.
    struct HistoryEntry {
        std::string Position; // 64 characters; empty while the slot was never written
        CastleSet Castling;
        Square From = Square::None;
        Square To = Square::None;
        Square EnPassant = Square::None;
    };

    TChessModel();
    virtual ~TChessModel() = default;
    TChessModel(const TChessModel&) = delete;
    TChessModel& operator=(const TChessModel&) = delete;

    // ---- Game state properties ----
    std::string Position() const;
    void SetPosition(const std::string& text);
    bool WhiteToMove() const { return whiteToMove_; }
    void SetWhiteToMove(bool value);
    CastleSet CastlingAllowed() const { return castlingAllowed_; }
    void SetCastlingAllowed(CastleSet value) { castlingAllowed_ = value; }
    Square EnPassant() const { return enPassant_; }
    void SetEnPassant(Square value);
    int CurrentMove() const { return currentMove_; }
    void SetCurrentMove(int) { }
    bool ComputerPlaysWhite() const { return computerPlaysWhite_; }
    void SetComputerPlaysWhite(bool value);
    bool ComputerPlaysBlack() const { return computerPlaysBlack_; }
    void SetComputerPlaysBlack(bool value);
    char PromotionPiece() const { return promotionPiece_; }
    bool Halted() const { return halted_; }
    bool GameEnded() const { return gameEnded_; }
    // The game record: two slots per move number (White's, then Black's), growing as the
    // game goes on; cleared by ResetGame. A slot never written has an empty Position.
    const std::vector<HistoryEntry>& MoveHistory() const { return history_; }
    // Read-only view of the square cells (the None cell, the 64 squares, the closing NUL).
    const SquareCells& Squares() const { return squares_; }

    // ---- Operations ----
    void NewGame();
    void ResetGame();
    int PieceColor(Square s) const;

    bool IsLegalMove(Square from, Square to) const;
    bool PawnMoveOk(Square from, Square to) const;
    bool KnightMoveOk(Square from, Square to) const;
    bool BishopMoveOk(Square from, Square to) const;
    bool RookMoveOk(Square from, Square to) const;
    bool QueenMoveOk(Square from, Square to) const;
    bool KingMoveOk(Square from, Square to) const;
    bool WhiteKingAttacked(Square from, Square to) const;
    bool BlackKingAttacked(Square from, Square to) const;
    bool HasLegalMove() const;
    bool IsThreefoldRepetition() const;
    bool LacksMatingMaterial() const;

    // Carries out a legal move and fires the board's events in their fixed order.
    // Re-entrancy rule: while the running MakeMove is still changing the board (from its
    // legality test up to and including OnCastle) a nested MakeMove is refused: it returns
    // false with nothing changed. Any handler may start a new game or write Position, and
    // from OnCheck on (the board is complete) it may also make a move. When a handler has
    // done any of these, the running MakeMove sees that the game changed under it, fires
    // no further event, leaves the record alone and returns true. A nested MakeMove does
    // not clear GameEnded, so an OnMate/OnDraw handler keeps it set while it starts a new game.
    bool MakeMove(Square from, Square to);
    bool UserMove(Square from, Square to);
    // "e2" or "E2" -> E2; anything that is not exactly a file letter and a rank digit -> None.
    static Square SquareFromText(const std::string& text);
    // A received move text: characters 1-2 and 3-4 through SquareFromText, the rest ignored.
    static std::pair<Square, Square> MoveFromText(const std::string& text);

    // ---- Events fired by MakeMove (and OnPaint by every full repaint) ----
    TMoveEvent OnLegalMove;
    TCaptureEvent OnCapture;
    TPromotionEvent OnPromotion;
    TMoveEvent OnCastle;
    TMoveEvent OnCheck;
    TMoveEvent OnMate;
    TMoveEvent OnStaleMate;
    TNotifyEvent OnNoMatingMaterial;
    TNotifyEvent OnThreefoldPosition;
    TNotifyEvent OnDraw;
    TNotifyEvent OnPaint;

    // ---- Engine hooks. The base versions have no engine: StopThinking only sets Halted. ----
    virtual void StopThinking();
    virtual void StartThinking() { }

    // ---- View hooks called by the state changes; the base versions draw nothing. ----
    // PaintBoard is the full repaint; the base version only fires OnPaint.
    virtual void PaintBoard();
    virtual void DrawSquare(Square) { }
    virtual void DrawPiece(Square, char) { }
    virtual void DrawBoardLines() { }
    virtual void AnimateMove(Square, Square, int /*delayMs*/) { }
    // True when from -> to is the move just dropped with the mouse (not animated).
    virtual bool IsDroppedMove(Square, Square) const { return false; }
    // Animation settings read by MakeMove (published by the widget).
    bool AnimateMoves() const { return animateMoves_; }
    void SetAnimateMoves(bool value) { animateMoves_ = value; }
    int AnimationDelay() const { return animationDelay_; }
    void SetAnimationDelay(int value) { animationDelay_ = value; }

protected:
    void SetHalted(bool value) { halted_ = value; }
    // The cell of a square; a value past H1 reads and writes the None cell.
    char& Cell(Square s) { return squares_[CellIndex(s)]; }
    char Cell(Square s) const { return squares_[CellIndex(s)]; }
    static std::size_t CellIndex(Square s) { return IsBoardSquare(s) ? CellOf(s) : NoneCell; }

    // The game state; the board component hands it to its engine when a search starts.
    SquareCells squares_ {};
    bool whiteToMove_ = true;
    CastleSet castlingAllowed_ = AllCastling;
    Square enPassant_ = Square::None;
    int currentMove_ = 1;
    bool computerPlaysWhite_ = false;
    bool computerPlaysBlack_ = false;

private:
    using Cells = SquareCells;

    // IsLegalMove without its square-range and repetition tests: the side to move, the
    // target square, the piece's own rule and the safety of the mover's king.
    bool PassesMoveRules(Square from, Square to) const;
    // Walks the rays given as (file step, rank step) pairs from `from`; true when one reaches `to`.
    bool SlideReaches(Square from, Square to, const int (*steps)[2], int count) const;
    bool CastlingOk(Square from, Square to) const;
    // The cells with the piece on from set on to (and a pawn taken en passant removed).
    Cells CellsAfter(Square from, Square to) const;
    static bool WhiteKingAttackedOn(const Cells& cells);
    static bool BlackKingAttackedOn(const Cells& cells);

    static int SlotIndex(int moveNumber, bool white) {
        return (moveNumber - 1) * 2 + (white ? 0 : 1);
    }
    HistoryEntry& Slot(int moveNumber, bool white);
    void GameReplaced();
    void StoreCurrentPosition();

    // MakeMove's steps. Those given the move's generation return false when a handler
    // changed the game under the running move.
    char MovePiece(Square from, Square to);
    bool PromotePawn(Square from, Square to, unsigned generation);
    bool TakeEnPassantPawn(Square from, Square to, unsigned generation);
    Square SquarePassedOver(Square from, Square to) const;
    bool MoveCastlingRook(Square from, Square to, unsigned generation);
    void DropCastlingRights(Square from);
    // The steps after the board is complete (check, mate, draws, record, paint).
    bool ReportMoveOutcome(Square from, Square to, unsigned generation);
    // True when the game was replaced or moved on since the move of this generation began.
    bool ChangedSince(unsigned generation) const { return generation_ != generation; }
    void FireMove(const TMoveEvent& event, Square from, Square to);
    void FireCapture(Square from, Square to, char captured);
    void FireNotify(const TNotifyEvent& event);

    // Marks a MakeMove in progress for the re-entrancy rule; restores on exit, also by exception.
    class MoveInProgress;

    char promotionPiece_ = 'q';
    bool halted_ = false;
    bool gameEnded_ = false;
    bool animateMoves_ = true;
    int animationDelay_ = 0;
    std::vector<HistoryEntry> history_; // 2 slots per move number, grows as needed
    // Bumped whenever the game is replaced or moved on (ResetGame, Position, a move), so
    // that a running MakeMove can tell that a handler changed the game under it.
    unsigned generation_ = 0;
    int moveDepth_ = 0; // MakeMove calls in progress
    bool boardBusy_ = false; // a MakeMove is between its legality test and OnCastle
};
