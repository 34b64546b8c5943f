// TGameBoard: the slide with which a move that was not dragged crosses the board.
//
// The slide blocks the user-interface thread until the piece has arrived: no input, timer,
// socket or engine hand-off is handled meanwhile, so no other move can start before MakeMove
// has applied this one. Each one-pixel step repaints the window at once (the overlay's old
// and new places only), so the slide shows without an event loop.

#include "GameBoard/DragOverlay.h"
#include "GameBoard/GameBoard.h"

#include <chrono>
#include <cstdlib>
#include <thread>

void TGameBoard::AnimateMove(Square from, Square to, int delayMs) {
    if (!IsBoardSquare(from) || !IsBoardSquare(to)) return;
    TDragOverlay& overlay = Overlay();
    // The user is dragging a piece at this moment: leave the dragged image alone, no slide.
    if (overlay.InUse()) return;

    const char piece = Cell(from);
    // The image's top-left corner travels from square corner to square corner.
    const QPoint a = mapTo(window(), SquareOrigin(from));
    const QPoint b = mapTo(window(), SquareOrigin(to));
    overlay.Begin(PieceImage(piece), a);
    if (piece == 'n' || piece == 'N') {
        // Knights go along the row first, then along the column.
        SlideLeg(true, a.x(), b.x(), a.y(), delayMs);
        SlideLeg(false, a.y(), b.y(), b.x(), delayMs);
    } else {
        SlideLine(a, b, delayMs);
    }
    overlay.End();
}

// One coordinate takes every integer value from a1 to a2, both included; the other stays.
void TGameBoard::SlideLeg(bool alongX, int a1, int a2, int fixed, int delayMs) {
    const int step = a2 >= a1 ? 1 : -1;
    for (int v = a1;; v += step) {
        SlideStep(alongX ? QPoint(v, fixed) : QPoint(fixed, v), delayMs);
        if (v == a2) break;
    }
}

// A straight slide: the longer axis takes every integer value, the other follows in double
// precision and is truncated toward zero.
void TGameBoard::SlideLine(QPoint a, QPoint b, int delayMs) {
    if (a == b) return;
    const int dx = b.x() - a.x();
    const int dy = b.y() - a.y();
    if (std::abs(dy) > std::abs(dx)) {
        const double inc = double(dx) / std::abs(dy);
        const int step = dy > 0 ? 1 : -1;
        double x = a.x();
        for (int y = a.y();; y += step) {
            SlideStep(QPoint(int(x), y), delayMs);
            if (y == b.y()) break;
            x += inc;
        }
    } else {
        const double inc = double(dy) / std::abs(dx);
        const int step = dx > 0 ? 1 : -1;
        double y = a.y();
        for (int x = a.x();; x += step) {
            SlideStep(QPoint(x, int(y)), delayMs);
            if (x == b.x()) break;
            y += inc;
        }
    }
}

// Shows the image at pos; the step then lasts more than delayMs milliseconds. The wait
// handles no events.
void TGameBoard::SlideStep(QPoint pos, int delayMs) {
    using Clock = std::chrono::steady_clock;
    const auto t0 = Clock::now();
    Overlay().MoveTo(pos, true);
    if (delayMs <= 0) return;
    const auto least = std::chrono::milliseconds(delayMs);
    while (Clock::now() - t0 <= least) std::this_thread::sleep_for(std::chrono::microseconds(200));
}
