// Construction, destruction and event handling of the board component.
#include "GameBoard/GameBoard.h"

#include "GameBoard/EngineThread.h"

#include <QEvent>
#include <QPointer>

TGameBoard::TGameBoard(QWidget* parent, bool withEngine)
    : QWidget(parent) {
    // The drawing objects are members (empty pictures, black 1-pixel solid pen, the font);
    // the poll timer is owned by the widget and runs from the first paint on.
    pollTimer_ = new QTimer(this);
    // ResizeMinSize 100, ResizeMaxSize 1000, AnimateMoves, AnimationDelay 0 and
    // PromotionPiece "q" are the members' initial values.
    LoadBuiltInPieceSet();
    BuildPieceImages();
    // CoordFont (Arial, 7 points, white), SizeOfSquare 40, SizeOfBorder 24, the colours,
    // the computer's sides, SearchDepth 1 and tpNormal: initial values. The playing area's
    // left and top are SizeOfBorder (Geometry).
    resize(Geometry().Side(), Geometry().Side());
    ResetGame();
    if (withEngine)
        engineThread_ = std::make_unique<TEngineThread>(static_cast<TEngineHost&>(*this));
}

TGameBoard::~TGameBoard() {
    // From here on no engine move is executed: the engine thread is ended without running a
    // hand-off, before the widget and its children (the poll timer) go.
    destroying_ = true;
    engineThread_.reset();
}

// After every event: the custom engine's poll and the engine thread's turn test. The event
// itself (a deferred delete) or a handler it runs may have deleted the board.
bool TGameBoard::event(QEvent* e) {
    const QPointer<TGameBoard> alive(this);
    const bool handled = QWidget::event(e);
    if (!alive || destroying_) return handled;
    CustomEnginePoll();
    if (alive && engineThread_) engineThread_->Pump();
    return handled;
}
