#include "GameBoard/GameBoard.h"

#include "GameBoard/EngineThread.h"

bool TGameBoard::Thinking() const { return engineThread_ && engineThread_->Thinking(); }
void TGameBoard::StopThinking() { TChessModel::StopThinking(); }
void TGameBoard::StartThinking() { }
void TGameBoard::ParkWorker() { }
void TGameBoard::DeliverMove() { }
void TGameBoard::CustomEnginePoll() { }
