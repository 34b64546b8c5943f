#include "GameBoard/EngineThread.h"

TEngineThread::TEngineThread(TGameBoard& board)
    : board_(board)
{
}

TEngineThread::~TEngineThread() = default;
