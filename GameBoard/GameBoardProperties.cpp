// Setters of the board's published properties. Drawing objects are copied (deep copies: the
// board never shares the caller's object); the view's setters repaint at once.
#include "GameBoard/EngineThread.h"
#include "GameBoard/GameBoard.h"

#include <algorithm>

void TGameBoard::SetBoardLines(bool value) {
    boardLines_ = value;
    PaintBoard();
}

void TGameBoard::SetBorderBitmap(const QImage& value) {
    borderBitmap_ = value.copy();
    PaintBoard();
}

void TGameBoard::SetBorderColor(TColor value) {
    borderColor_ = value;
    PaintBoard();
}

void TGameBoard::SetCoordFont(const TFont& value) {
    coordFont_ = value;
    PaintBoard();
}

// nullptr empties the board's copy (back to the built-in set); a picture that is not a piece
// set (an empty one included) is ignored and the current set stays.
void TGameBoard::SetCustomPieceSet(const QImage* value) {
    if (value && !IsValidPieceSet(*value)) return;
    customPieceSet_ = value ? value->copy() : QImage();
    BuildPieceImages();
    PaintBoard();
}

void TGameBoard::SetDisplayCoords(CoordSet value) {
    displayCoords_ = value;
    PaintBoard();
}

void TGameBoard::SetLineStyle(const QPen& value) {
    lineStyle_ = value;
    PaintBoard();
}

void TGameBoard::SetResizeMinSize(int value) {
    resizeMinSize_ = value >= resizeMaxSize_ ? resizeMaxSize_ : value;
}

void TGameBoard::SetResizeMaxSize(int value) {
    resizeMaxSize_ = value <= resizeMinSize_ ? resizeMinSize_ : value;
}

// Read by the next search; a running one keeps its depth.
void TGameBoard::SetSearchDepth(int value) {
    searchDepth_ = std::clamp(value, 1, 8);
}

void TGameBoard::SetSizeOfBorder(int value) {
    sizeOfBorder_ = value;
    resize(Geometry().Side(), height());
}

void TGameBoard::SetSizeOfSquare(int value) {
    sizeOfSquare_ = value;
    resize(Geometry().Side(), height());
}

void TGameBoard::SetSquareColorDark(TColor value) {
    squareColorDark_ = value;
    PaintBoard();
}

void TGameBoard::SetSquareColorLight(TColor value) {
    squareColorLight_ = value;
    PaintBoard();
}

void TGameBoard::SetSquareDark(const QImage& value) {
    squareDark_ = value.copy();
    PaintBoard();
}

void TGameBoard::SetSquareLight(const QImage& value) {
    squareLight_ = value.copy();
    PaintBoard();
}

void TGameBoard::SetWhiteOnTop(bool value) {
    whiteOnTop_ = value;
    PaintBoard();
}

void TGameBoard::SetThinkingPriority(TThreadPriority value) {
    thinkingPriority_ = value;
    if (engineThread_) engineThread_->ApplyPriority(value);
}
