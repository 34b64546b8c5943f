#include "GameBoard/BoardGeometry.h"

#include "GameBoard/Rules/SquareNumbering.h"

#include <algorithm>

int TBoardGeometry::FittingSquareSize(QSize given, int border) {
    return std::max(1, ((given.width() + given.height()) / 2 - 2 * border) / 8);
}

QRect TBoardGeometry::CellRect(int column, int row) const {
    return { LineAt(column), LineAt(row), squareSize_, squareSize_ };
}

QPoint TBoardGeometry::SquareOrigin(Square q) const {
    return { LineAt(Turned(SquareColumn(q))), LineAt(Turned(SquareRow(q))) };
}

QRect TBoardGeometry::SquareRect(Square q) const {
    return { SquareOrigin(q), QSize(squareSize_, squareSize_) };
}

Square TBoardGeometry::PixelToSquare(QPoint pixel) const {
    const int s = squareSize_;
    const int dx = pixel.x() - border_;
    const int dy = pixel.y() - border_;
    if (dx < 0 || dx >= 8 * s || dy < 0 || dy >= 8 * s) return Square::None;
    return SquareAtRowColumn(Turned(std::min(dy / s, 7)), Turned(std::min(dx / s, 7)));
}

QRect TBoardGeometry::PieceRect(Square q) const {
    const int off = (squareSize_ - pieceSize_) / 2; // C++ division truncates toward zero
    return { SquareOrigin(q) + QPoint(off, off), QSize(pieceSize_, pieceSize_) };
}

QPoint TBoardGeometry::DragImageCorner(QPoint pointer) const {
    const int h = squareSize_ / 2;
    return pointer - QPoint(h, h);
}
