// TGameBoard: moving pieces with the mouse, and corner resizing.
//
// A press on a piece (while Tag is 0) arms a drag. Once the pointer has moved 5 pixels with
// the button held the drag is active: at the first drag-over the piece is lifted off its
// square and its image follows the pointer in the drag overlay. Releasing the left or right
// button asks the board once more whether it accepts the drop there; an accepted drop plays
// the move through UserMove, anything else (also Escape, or a release before the threshold)
// puts the piece back and reports OnIllegalMove. While a drag is armed the board's own mouse
// events (OnMouseMove, OnMouseUp, OnClick) do not fire: the drag takes the pointer.

#include "GameBoard/DragKeyFilter.h"
#include "GameBoard/DragOverlay.h"
#include "GameBoard/GameBoard.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kDragThreshold = 5;
constexpr int kCornerZone = 10;

bool IsSizingCursor(Qt::CursorShape shape) {
    return shape == Qt::SizeFDiagCursor || shape == Qt::SizeHorCursor || shape == Qt::SizeVerCursor;
}

} // namespace

bool TGameBoard::IsDroppedMove(Square from, Square to) const {
    return from == dragStartSquare_ && to == dropSquare_;
}

TDragOverlay& TGameBoard::Overlay() {
    QWidget* top = window();
    if (!dragOverlay_ || dragOverlay_->parentWidget() != top) dragOverlay_ = new TDragOverlay(top);
    return *dragOverlay_;
}

// The dragged image's top-left corner in the overlay's window: half a square up and left of
// the pointer.
QPoint TGameBoard::DragImagePos(QPoint boardPos) const {
    return mapTo(window(), Geometry().DragImageCorner(boardPos));
}

// ---- Toolkit events ----

void TGameBoard::mousePressEvent(QMouseEvent* e) {
    if (dragState_ != DragState::None) return; // the drag owns the pointer until it ends
    const QPoint pos = e->position().toPoint();
    clickPending_ = e->button() == Qt::LeftButton;
    if (OnMouseDown) OnMouseDown(this, e->button(), e->modifiers(), pos.x(), pos.y());
    ArmDrag(pos);
}

void TGameBoard::mouseDoubleClickEvent(QMouseEvent* e) {
    if (dragState_ != DragState::None) return;
    const QPoint pos = e->position().toPoint();
    clickPending_ = false; // the second press of a double click makes no click
    if (OnDblClick) OnDblClick(this);
    if (OnMouseDown) OnMouseDown(this, e->button(), e->modifiers(), pos.x(), pos.y());
    ArmDrag(pos);
}

void TGameBoard::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (dragState_ != DragState::None) {
        DragTo(pos);
        return;
    }
    if (OnMouseMove) OnMouseMove(this, e->modifiers(), pos.x(), pos.y());
    CornerResize(pos, e->buttons());
}

void TGameBoard::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (dragState_ != DragState::None) {
        if (e->button() == Qt::LeftButton || e->button() == Qt::RightButton) EndDrag(pos, true);
        return;
    }
    if (e->button() == Qt::LeftButton && clickPending_ && rect().contains(pos) && OnClick)
        OnClick(this);
    clickPending_ = false;
    if (OnMouseUp) OnMouseUp(this, e->button(), e->modifiers(), pos.x(), pos.y());
    resizing_ = false;
}

void TGameBoard::keyPressEvent(QKeyEvent* e) {
    if (dragState_ != DragState::None && e->key() == Qt::Key_Escape) {
        EndDrag(dragLastPos_, false);
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TGameBoard::changeEvent(QEvent* e) {
    // A disabled board gets no release any more: the drag ends here, as a cancelled one.
    if (e->type() == QEvent::EnabledChange && !isEnabled() && dragState_ != DragState::None)
        EndDrag(dragLastPos_, false);
    QWidget::changeEvent(e);
}

// ---- The drag ----

void TGameBoard::ArmDrag(QPoint pos) {
    if (tag_ != 0) return;
    const Square q = PixelToSquare(pos.x(), pos.y());
    if (q == Square::None || Cell(q) == ' ') return;
    dragStartSquare_ = q;
    dragState_ = DragState::Armed;
    dragPressPos_ = pos;
    dragLastPos_ = pos;
    dragAccepted_ = false;
    clickPending_ = false;
    // Escape cancels the drag wherever the keyboard focus is.
    if (!dragKeyFilter_)
        dragKeyFilter_ = new TDragKeyFilter(this, [this] {
            if (dragState_ != DragState::None) EndDrag(dragLastPos_, false);
        });
    dragKeyFilter_->Watch(true);
    if (OnStartDrag) OnStartDrag(this);
}

void TGameBoard::DragTo(QPoint pos) {
    dragLastPos_ = pos;
    if (dragState_ == DragState::Armed) {
        const QPoint d = pos - dragPressPos_;
        if (std::abs(d.x()) < kDragThreshold && std::abs(d.y()) < kDragThreshold) return;
        dragState_ = DragState::Active;
    }
    if (rect().contains(pos)) {
        dragAccepted_ = DragOverBoard(pos);
    } else {
        // Outside the board nothing accepts the piece, but its image still follows the pointer.
        dragAccepted_ = false;
        if (dragOverlay_ && dragOverlay_->InUse()) dragOverlay_->MoveTo(DragImagePos(pos));
    }
    SetDragCursorShown(dragAccepted_);
}

// The board's drag-over: OnDragOver first (starting from True when a handler is assigned),
// then the piece is lifted at the first call, the image follows the pointer, and unless the
// engine is thinking the board decides: the move must be legal or end on its own square.
bool TGameBoard::DragOverBoard(QPoint pos) {
    bool accept = false;
    if (OnDragOver) {
        accept = true;
        OnDragOver(this, this, pos.x(), pos.y(), accept);
    }
    TDragOverlay& overlay = Overlay();
    if (!overlay.InUse()) {
        DrawSquare(dragStartSquare_);
        DrawBoardLines();
        overlay.Begin(PieceImage(Cell(dragStartSquare_)), DragImagePos(pos));
    }
    overlay.MoveTo(DragImagePos(pos));
    if (!Thinking()) {
        const Square q = PixelToSquare(pos.x(), pos.y());
        accept = IsLegalMove(dragStartSquare_, q) || q == dragStartSquare_;
    }
    return accept;
}

void TGameBoard::EndDrag(QPoint pos, bool released) {
    const bool wasActive = dragState_ == DragState::Active;
    dragState_ = DragState::None;
    dragKeyFilter_->Watch(false);
    ClearDragCursor();

    bool dropped = false;
    if (released && wasActive && rect().contains(pos) && DragOverBoard(pos)) {
        if (OnDragDrop) OnDragDrop(this, this, pos.x(), pos.y());
        DropPiece(pos);
        dropped = true;
    } else {
        CancelDrag();
    }
    if (OnEndDrag) {
        if (dropped)
            OnEndDrag(this, this, pos.x(), pos.y());
        else
            OnEndDrag(this, nullptr, 0, 0);
    }
}

void TGameBoard::DropPiece(QPoint pos) {
    if (dragOverlay_ && dragOverlay_->InUse()) dragOverlay_->End();
    const Square q = PixelToSquare(pos.x(), pos.y());
    dropSquare_ = q;
    if (q == dragStartSquare_)
        DrawPiece(q, Cell(q));
    else
        UserMove(dragStartSquare_, q); // MakeMove sees the dropped move and does not slide it
}

void TGameBoard::CancelDrag() {
    if (dragOverlay_) dragOverlay_->End();
    DrawPiece(dragStartSquare_, Cell(dragStartSquare_));
    if (OnIllegalMove) OnIllegalMove(this, dragStartSquare_);
}

void TGameBoard::SetDragCursorShown(bool accepted) {
    const QCursor cursor = accepted ? dragCursor_ : QCursor(Qt::ForbiddenCursor);
    if (dragCursorSet_) {
        QGuiApplication::changeOverrideCursor(cursor);
    } else {
        QGuiApplication::setOverrideCursor(cursor);
        dragCursorSet_ = true;
    }
}

void TGameBoard::ClearDragCursor() {
    if (!dragCursorSet_) return;
    QGuiApplication::restoreOverrideCursor();
    dragCursorSet_ = false;
}

// ---- Corner resizing ----

// Within 10 pixels of the bottom-right corner the sizing cursor shows; with the left button
// held there a corner drag starts, which sets the width to the larger pointer coordinate
// (within ResizeMinSize..ResizeMaxSize). The next paint squares the board.
void TGameBoard::CornerResize(QPoint pos, Qt::MouseButtons buttons) {
    if (!IsSizingCursor(cursor().shape())) savedCursor_ = cursor();
    const int w = width();
    const int h = height();
    const bool inCorner
        = pos.x() >= w - kCornerZone && pos.x() <= w && pos.y() >= h - kCornerZone && pos.y() <= h;
    if (resizable_ && inCorner) {
        setCursor(Qt::SizeFDiagCursor);
        if (buttons & Qt::LeftButton) resizing_ = true;
    } else if (resizable_ && !resizing_) {
        setCursor(savedCursor_);
    }
    if (resizable_ && resizing_) {
        int v = std::max(pos.x(), pos.y());
        if (v < resizeMinSize_) v = resizeMinSize_;
        if (v > resizeMaxSize_) v = resizeMaxSize_;
        if (v != w) resize(v, h);
    }
}
