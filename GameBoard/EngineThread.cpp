#include "GameBoard/EngineThread.h"

#include "GameBoard/GameBoard.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <cerrno>

#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

#ifdef __linux__
long CurrentThreadId() {
    return static_cast<long>(gettid());
}

// The nice value of a thread, or fallback when it cannot be read.
int ThreadNice(long tid, int fallback) {
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
    return errno == 0 ? nice : fallback;
}

bool SetThreadNice(long tid, int nice) {
    return setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice) == 0;
}
#else
long CurrentThreadId() {
    return 0;
}
int ThreadNice(long, int fallback) {
    return fallback;
}
bool SetThreadNice(long, int) {
    return false;
}
#endif

} // namespace

void THandOffRelay::Run() {
    owner_.RunHandOff();
}

void THandOffRelay::Pump() {
    owner_.pumpQueued_ = false;
    owner_.Pump();
}

TEngineThread::TEngineThread(TGameBoard& board)
    : board_(board)
    , relay_(*this) {
    engine_.SetStopFlag(&stopRequested_);
    baseNice_ = ThreadNice(CurrentThreadId(), 0);
    workerNice_ = baseNice_;
    // The turn test runs whenever the board thread's event loop wakes up or goes to sleep, so
    // that a move made without StartThinking (the owner's own MakeMove) is noticed as a cycling
    // worker would notice it, without the worker polling.
    if (auto* dispatcher = QAbstractEventDispatcher::instance(relay_.thread())) {
        QObject::connect(
            dispatcher, &QAbstractEventDispatcher::aboutToBlock, &relay_, [this] { Pump(); });
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, &relay_, [this] { Pump(); });
    }
    StartWorker();
}

TEngineThread::~TEngineThread() {
    stopRequested_.store(true);
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
    // relay_ is destroyed after this body; Qt then drops a hand-off still queued to it.
}

void TEngineThread::StartWorker() {
    unsigned generation = 0;
    {
        const std::lock_guard lock(mutex_);
        generation = generation_;
        workerTid_ = 0;
        workerNice_ = ThreadNice(CurrentThreadId(), baseNice_); // a new thread starts at ours
    }
    thread_ = std::thread([this, generation] { WorkerLoop(generation); });
}

// Ends the idle worker and starts a fresh one. Only when no hand-off runs: the old worker then
// waits for nothing from this thread and leaves at once.
void TEngineThread::ReplaceWorker() {
    {
        const std::lock_guard lock(mutex_);
        ++generation_;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
    StartWorker();
}

long TEngineThread::WorkerThreadId() const {
    const std::lock_guard lock(mutex_);
    return workerTid_;
}

int TEngineThread::NiceOffset(TThreadPriority p) {
    switch (p) {
    case TThreadPriority::tpIdle:
        return 39;
    case TThreadPriority::tpLowest:
        return 10;
    case TThreadPriority::tpLower:
        return 5;
    case TThreadPriority::tpNormal:
        return 0;
    case TThreadPriority::tpHigher:
        return -5;
    case TThreadPriority::tpHighest:
        return -10;
    case TThreadPriority::tpTimeCritical:
        return -39;
    }
    return 0;
}

int TEngineThread::TargetNice() const {
    return std::clamp(baseNice_ + NiceOffset(board_.ThinkingPriority()), -20, 19);
}

TEngineThread::TSearchedState TEngineThread::BoardState() const {
    TSearchedState s;
    s.Squares = board_.squares_;
    s.WhiteToMove = board_.whiteToMove_;
    s.Castling = board_.castlingAllowed_;
    s.EnPassant = board_.enPassant_;
    return s;
}

// ---- Board's thread ----

void TEngineThread::Unpark() {
    stopRequested_.store(false);
    armed_ = true;
    Pump();
}

void TEngineThread::Stop() {
    stopRequested_.store(true);
    if (busy_ && inHandOff_ == 0) {
        while (busy_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (!busy_) armed_ = false;
}

void TEngineThread::Park() {
    thinking_.store(false);
    busy_ = false;
    armed_ = false;
}

std::optional<std::pair<Square, Square>> TEngineThread::ResultForBoard() const {
    if (!(BoardState() == searched_)) return std::nullopt;
    const EngineMove m = engine_.BestMove();
    return std::pair { ToSquare(m.From + 1), ToSquare(m.To + 1) };
}

bool TEngineThread::TakeStep(Step step) {
    if (stepToRun_ != step) return false;
    stepToRun_.reset();
    return true;
}

void TEngineThread::NoteRejected() {
    rejected_ = TRefusedSearch { searched_, searchedDepth_ };
}

void TEngineThread::Pump() {
    if (!armed_ || busy_ || stopRequested_.load() || board_.destroying_) return;
    if (!board_.ComputerDue()) return;
    const TSearchedState now = BoardState();
    const int depth = board_.SearchDepth();
    // The same search would find the same refused move again.
    if (rejected_ && *rejected_ == TRefusedSearch { now, depth }) return;

    const int nice = TargetNice();
    int workerNice = 0;
    {
        const std::lock_guard lock(mutex_);
        workerNice = workerNice_;
    }
    if (nice < workerNice) {
        // A higher priority than the worker has: a fresh thread may get it where the old one
        // may not. Not from inside a hand-off, where the worker waits for us: come back later.
        if (inHandOff_ > 0) {
            if (!pumpQueued_) {
                pumpQueued_ = true;
                QMetaObject::invokeMethod(&relay_, "Pump", Qt::QueuedConnection);
            }
            return;
        }
        ReplaceWorker();
    }

    const EnginePositionSource source { board_.squares_.data(), board_.whiteToMove_,
        board_.castlingAllowed_, board_.enPassant_ };
    if (!engine_.LoadPosition(source)) {
        rejected_ = TRefusedSearch { now, depth };
        return;
    }
    searched_ = now;
    searchedDepth_ = depth;
    busy_ = true;
    thinking_.store(true);
    ++searchCount_;
    lastSearchDepth_ = depth;
    {
        const std::lock_guard lock(mutex_);
        job_ = Job { depth, nice };
        jobPending_ = true;
    }
    wake_.notify_all();
}

void TEngineThread::ApplyPriority() {
    long tid = 0;
    {
        const std::lock_guard lock(mutex_);
        tid = workerTid_;
    }
    if (tid == 0) return;
    const int nice = TargetNice();
    SetThreadNice(tid, nice); // a refused raise is made at the next search
    const int now = ThreadNice(tid, nice);
    const std::lock_guard lock(mutex_);
    if (workerTid_ == tid) workerNice_ = now;
}

void TEngineThread::RunHandOff() {
    Step step = Step::ParkWorker;
    {
        const std::lock_guard lock(mutex_);
        if (ending_ || !handOffPending_) return;
        step = handOffStep_;
    }
    ++handOffCount_;
    // Releases the worker however the step ends (an event handler may throw).
    struct Release {
        TEngineThread& t;
        ~Release() {
            --t.inHandOff_;
            t.stepToRun_.reset();
            {
                const std::lock_guard lock(t.mutex_);
                t.handOffPending_ = false;
            }
            t.wake_.notify_all();
        }
    };
    ++inHandOff_;
    const Release release { *this };
    stepToRun_ = step;
    if (step == Step::DeliverMove)
        board_.DeliverMove();
    else
        board_.ParkWorker();
}

// ---- Worker thread ----

void TEngineThread::SetOwnNice(int nice) {
    const long tid = CurrentThreadId();
    int current = 0;
    {
        const std::lock_guard lock(mutex_);
        current = workerNice_;
    }
    if (nice != current) SetThreadNice(tid, nice);
    const int now = ThreadNice(tid, current);
    const std::lock_guard lock(mutex_);
    workerNice_ = now;
}

bool TEngineThread::HandOff(Step step) {
    {
        const std::lock_guard lock(mutex_);
        if (ending_) return false;
        handOffStep_ = step;
        handOffPending_ = true;
    }
    QMetaObject::invokeMethod(&relay_, "Run", Qt::QueuedConnection);
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return ending_ || !handOffPending_; });
    return !ending_;
}

void TEngineThread::WorkerLoop(unsigned generation) {
    {
        const std::lock_guard lock(mutex_);
        workerTid_ = CurrentThreadId();
    }
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return ending_ || generation_ != generation || jobPending_; });
            if (ending_ || generation_ != generation) return;
            job = job_;
            jobPending_ = false;
        }
        SetOwnNice(job.Nice);
        engine_.SearchRoot(job.Depth);
        if (!stopRequested_.load()) {
            thinking_.store(false);
            if (!HandOff(Step::DeliverMove)) return;
        }
        if (!HandOff(Step::ParkWorker)) return;
    }
}
