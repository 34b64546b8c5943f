#pragma once
// The rules model of the board component: the game state, the position text, move
// legality, game-end detection and the single move executor MakeMove with its events.
// Plain C++ with no toolkit dependency; the widget TGameBoard derives from it and
// overrides the hooks at the bottom (view calls and the engine's start/stop).
// Everything here runs on the user-interface thread only; the engine thread reads
// the public state fields in place while the UI thread waits for it to park.

#include "GameBoard/BoardTypes.h"

#include <array>
#include <string>
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
    const std::vector<HistoryEntry>& MoveHistory() const { return history_; }
    // Read-only view of the 66 square cells (index 0 None cell, 1..64 squares, 65 NUL).
    const std::array<char, 66>& Squares() const { return squares_; }

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

    bool MakeMove(Square from, Square to);
    bool UserMove(Square from, Square to);
    static Square SquareFromText(const std::string& text);

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
    char& Cell(Square s) { return squares_[ToInt(s)]; }
    char Cell(Square s) const { return squares_[ToInt(s)]; }

    // The game state. Read in place by the engine thread (see the header comment).
    std::array<char, 66> squares_ {};
    bool whiteToMove_ = true;
    CastleSet castlingAllowed_ = AllCastling;
    Square enPassant_ = Square::None;
    int currentMove_ = 1;
    bool computerPlaysWhite_ = false;
    bool computerPlaysBlack_ = false;

private:
    char promotionPiece_ = 'q';
    bool halted_ = false;
    bool gameEnded_ = false;
    bool animateMoves_ = true;
    int animationDelay_ = 0;
    std::vector<HistoryEntry> history_; // 2 slots per move number, grows as needed
};
