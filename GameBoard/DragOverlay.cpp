#include "GameBoard/DragOverlay.h"

#include <QPaintEvent>
#include <QPainter>

TDragOverlay::TDragOverlay(QWidget* window)
    : QWidget(window) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void TDragOverlay::Begin(const QImage& image, QPoint pos) {
    image_ = image;
    trail_.clear();
    inUse_ = true;
    setGeometry(QRect(pos, image_.deviceIndependentSize().toSize()));
    raise();
    show();
}

void TDragOverlay::MoveTo(QPoint pos, bool paintNow) {
    trail_.push_back(pos);
    if (pos == this->pos()) return;
    const QRect before = geometry();
    move(pos);
    if (paintNow && parentWidget()) parentWidget()->repaint(before.united(geometry()));
}

void TDragOverlay::End() {
    inUse_ = false;
    hide();
}

void TDragOverlay::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // A finer image than the screen's (a fractional ratio) is scaled down smoothly.
    p.setRenderHint(
        QPainter::SmoothPixmapTransform, image_.devicePixelRatio() > devicePixelRatioF());
    p.drawImage(0, 0, image_);
}
