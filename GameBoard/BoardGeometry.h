#pragma once
// TBoardGeometry: where the board's squares and pieces lie, in the board's logical pixels.
// The playing area holds 8 x 8 squares of SquareSize pixels inside a border of Border pixels
// on every side; rank 8 is at the top and file a at the left, or, with WhiteOnTop, the board
// is turned by 180 degrees (H1 at the top left). Pieces are PieceSize pixels wide and high,
// centred on their square and never scaled: a piece larger than its square reaches into the
// neighbouring ones. A value: it needs only Qt Core and knows nothing of a widget.

#include "GameBoard/Rules/BoardTypes.h"

#include <QPoint>
#include <QRect>
#include <QSize>

class TBoardGeometry {
public:
    constexpr TBoardGeometry(int squareSize, int border, bool whiteOnTop, int pieceSize)
        : squareSize_(squareSize)
        , border_(border)
        , whiteOnTop_(whiteOnTop)
        , pieceSize_(pieceSize) { }

    constexpr int SquareSize() const { return squareSize_; }
    constexpr int Border() const { return border_; }
    constexpr bool WhiteOnTop() const { return whiteOnTop_; }
    constexpr int PieceSize() const { return pieceSize_; }

    // The square size of a board given the size `given`: the mean of width and height less
    // the border on both sides, divided by 8; at least 1.
    static int FittingSquareSize(QSize given, int border);
    // Width and height of the whole board: 8 squares and the border on both sides.
    constexpr int Side() const { return 8 * squareSize_ + 2 * border_; }
    // The pixel column of the line before screen column i (0..8) of the playing area, which
    // is also the pixel row of the line before screen row i.
    constexpr int LineAt(int i) const { return i * squareSize_ + border_; }

    // The cell at a screen column and row (0..7, from the top-left corner whatever the
    // orientation).
    QRect CellRect(int column, int row) const;
    // The top-left pixel of a square.
    QPoint SquareOrigin(Square q) const;
    // The pixels of a square.
    QRect SquareRect(Square q) const;
    // The square under a pixel; None outside the playing area.
    Square PixelToSquare(QPoint pixel) const;
    // Where a piece image is drawn on a square: centred, the offset (SquareSize - PieceSize)
    // / 2 truncated toward zero.
    QRect PieceRect(Square q) const;
    // The top-left corner of a dragged piece's image for the pointer at `pointer`: half a
    // square up and to the left of it.
    QPoint DragImageCorner(QPoint pointer) const;

private:
    // Screen column or row of a square's column or row, turned with the board.
    int Turned(int i) const { return whiteOnTop_ ? 7 - i : i; }

    int squareSize_;
    int border_;
    bool whiteOnTop_;
    int pieceSize_;
};
