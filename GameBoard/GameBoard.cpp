#include "GameBoard/GameBoard.h"

#include "GameBoard/EngineThread.h"

TGameBoard::TGameBoard(QWidget* parent, bool withEngine)
    : QWidget(parent)
{
    pollTimer_ = new QTimer(this);
    resize(368, 368);
    ResetGame();
    if (withEngine) engineThread_ = std::make_unique<TEngineThread>(*this);
}

TGameBoard::~TGameBoard()
{
    destroying_ = true;
    engineThread_.reset();
}

bool TGameBoard::event(QEvent* e) { return QWidget::event(e); }
