#include "GameBoard/GameBoard.h"

#include <QKeyEvent>
#include <QMouseEvent>

bool TGameBoard::IsDroppedMove(Square from, Square to) const
{
    return from == dragStartSquare_ && to == dropSquare_;
}
void TGameBoard::mousePressEvent(QMouseEvent* e) { QWidget::mousePressEvent(e); }
void TGameBoard::mouseMoveEvent(QMouseEvent* e) { QWidget::mouseMoveEvent(e); }
void TGameBoard::mouseReleaseEvent(QMouseEvent* e) { QWidget::mouseReleaseEvent(e); }
void TGameBoard::mouseDoubleClickEvent(QMouseEvent* e) { QWidget::mouseDoubleClickEvent(e); }
void TGameBoard::keyPressEvent(QKeyEvent* e) { QWidget::keyPressEvent(e); }
