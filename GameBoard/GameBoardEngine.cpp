// The board's side of the engine: starting and stopping the engine thread, the board as the
// engine thread's host (its snapshot and its two hand-off steps), and the custom engine path
// in which the owner supplies the computer's moves.
#include "GameBoard/EngineThread.h"
#include "GameBoard/GameBoard.h"

bool TGameBoard::Thinking() const {
    return engineThread_ && engineThread_->Thinking();
}

bool TGameBoard::ComputerDue() const {
    return whiteToMove_ ? computerPlaysWhite_ : computerPlaysBlack_;
}

void TGameBoard::SetCustomEngine(bool value) {
    customEngine_ = value;
    if (value && engineThread_) engineThread_->Disarm();
}

// Run by every writer of the game state before it changes anything. Waits (processing this
// thread's events) until the engine thread is parked, except with the custom engine, while
// GameEnded is set, and inside the engine thread's own hand-off, where the worker waits for
// this thread and so cannot read the state being changed. In every case the game is about to
// change, so a move the board refused before may be searched for again.
void TGameBoard::StopThinking() {
    if (engineThread_) {
        engineThread_->ForgetRefusal();
        if (!customEngine_ && !GameEnded()) engineThread_->Stop();
    }
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

// Copied on this thread whenever the engine thread runs its turn test. The built-in engine is
// never due under a custom engine or once destruction has begun.
TEngineSnapshot TGameBoard::EngineSnapshot() const {
    TEngineSnapshot s;
    s.Squares = squares_;
    s.WhiteToMove = whiteToMove_;
    s.Castling = castlingAllowed_;
    s.EnPassant = enPassant_;
    s.Depth = searchDepth_;
    s.Priority = thinkingPriority_;
    s.ComputerDue = !customEngine_ && !destroying_ && ComputerDue();
    return s;
}

// Plays the engine thread's move, run on this thread by its hand-off (the engine thread has
// already dropped a result for a position that has changed since).
bool TGameBoard::DeliverMove(Square from, Square to) {
    if (destroying_) return true; // nothing is played any more, and nothing was refused
    return MakeMove(from, to);
}

// The park step, run on this thread by the engine thread's hand-off at the end of each cycle,
// after the engine thread has parked: the next cycle starts unless a stop was requested.
void TGameBoard::ParkWorker() {
    if (!engineThread_->StopRequested() && !destroying_) StartThinking();
}

void TGameBoard::CustomEnginePoll() {
    if (!engineThread_ || destroying_) return;
    if (!Halted() && customEngine_ && ComputerDue()) StartThinking();
}
