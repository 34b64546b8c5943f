#pragma once
// Helpers of the board view tests: a board without an engine in a shown top-level window,
// mouse events sent straight to the board, and pixel access to the board's surface.

#include "GameBoard/DragOverlay.h"
#include "GameBoard/GameBoard.h"

#include <QApplication>
#include <QFont>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <memory>
#include <string>

namespace view_test {

constexpr QRgb kGray = 0xFF808080;
constexpr QRgb kSilver = 0xFFC0C0C0;

inline QRgb Pixel(const TGameBoard& board, int x, int y) {
    return board.Surface().pixel(x, y);
}

// The centre of square q in board coordinates.
inline QPoint Centre(const TGameBoard& board, Square q) {
    const int h = board.SizeOfSquare() / 2;
    return board.SquareOrigin(q) + QPoint(h, h);
}

// A window holding one board, away from the window's corner so that board and window
// coordinates differ. The board has the built-in pieces and has been painted once.
struct BoardWindow {
    BoardWindow() {
        QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
        window = std::make_unique<QWidget>();
        window->resize(520, 480);
        board = new TGameBoard(window.get(), false);
        board->move(30, 40);
        board->resize(368, 368);
        board->LoadBuiltInPieceSet();
        board->BuildPieceImages();
        window->show();
        (void)QTest::qWaitForWindowExposed(window.get());
        board->PaintBoard();
    }
    TDragOverlay* Overlay() const { return window->findChild<TDragOverlay*>(); }
    // Where the overlay's image stands for a pointer at board position p during a drag.
    QPoint DragImageAt(QPoint p) const {
        const int h = board->SizeOfSquare() / 2;
        return board->mapTo(window.get(), p - QPoint(h, h));
    }

    std::unique_ptr<QWidget> window;
    TGameBoard* board = nullptr; // owned by window
};

inline void SendMouse(
    QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent e(
        type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
inline void Press(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton) {
    SendMouse(w, QEvent::MouseButtonPress, p, b, b);
}
inline void MoveHeld(QWidget* w, QPoint p, Qt::MouseButtons held = Qt::LeftButton) {
    SendMouse(w, QEvent::MouseMove, p, Qt::NoButton, held);
}
inline void Release(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton) {
    SendMouse(w, QEvent::MouseButtonRelease, p, b, Qt::NoButton);
}

} // namespace view_test
