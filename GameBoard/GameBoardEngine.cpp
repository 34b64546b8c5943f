// The board's side of the engine: starting and stopping the engine thread, its two hand-off
// steps, and the custom engine path in which the owner supplies the computer's moves.
#include "GameBoard/EngineThread.h"
#include "GameBoard/GameBoard.h"

bool TGameBoard::Thinking() const {
    return engineThread_ && engineThread_->Thinking();
}

bool TGameBoard::ComputerDue() const {
    return whiteToMove_ ? computerPlaysWhite_ : computerPlaysBlack_;
}

// Run by every writer of the game state before it changes anything. Waits (processing this
// thread's events) until the engine thread is parked, except with the custom engine, while
// GameEnded is set, and inside the engine thread's own hand-off, where the worker waits for
// this thread and so cannot read the state being changed.
void TGameBoard::StopThinking() {
    if (engineThread_ && !customEngine_ && !GameEnded()) engineThread_->Stop();
    TChessModel::StopThinking(); // sets Halted
}

void TGameBoard::StartThinking() {
    if (!engineThread_ || destroying_) return; // a board without engine thread: nothing
    if (!customEngine_) {
        engineThread_->Unpark();
        return;
    }
    // The custom engine: ask the owner for the computer's move and play it.
    if (!ComputerDue() || !OnCalculateMove || Halted() || askingOwner_) return;
    Square oldsq = Square::None;
    Square newsq = Square::None;
    askingOwner_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } const done { askingOwner_ };
    OnCalculateMove(this, oldsq, newsq);
    if (Halted()) return;
    if (!MakeMove(oldsq, newsq) && OnCalculationFailed) OnCalculationFailed(this, oldsq, newsq);
}

// The park step, run on this thread by the engine thread's hand-off at the end of each cycle.
void TGameBoard::ParkWorker() {
    if (!engineThread_ || !engineThread_->TakeParkStep()) return;
    engineThread_->Park();
    if (!engineThread_->StopRequested() && !destroying_) StartThinking();
}

// Plays the engine thread's move, run on this thread by its hand-off. A result searched for a
// position that has changed since (without a wait) is dropped; a refused move is not searched
// for again while the position stays the same.
void TGameBoard::DeliverMove() {
    if (!engineThread_ || destroying_ || !engineThread_->TakeDeliverStep()) return;
    const auto move = engineThread_->ResultForBoard();
    if (!move) return;
    if (!MakeMove(move->first, move->second)) engineThread_->NoteRejected();
}

void TGameBoard::CustomEnginePoll() {
    if (!engineThread_ || destroying_) return;
    if (!Halted() && customEngine_ && ComputerDue()) StartThinking();
}
