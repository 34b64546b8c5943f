#include "GameBoard/EngineThread.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <utility>

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

#else
long CurrentThreadId() {
    return 0;
}
int ThreadNice(long, int fallback) {
    return fallback;
}
#endif

} // namespace

bool TEngineThread::SystemSetThreadNice([[maybe_unused]] long tid, [[maybe_unused]] int nice) {
#ifdef __linux__
    return setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice) == 0;
#else
    return false;
#endif
}

TEngineThread::TEngineThread(TEngineHost& host, TSetThreadNice setNice)
    : host_(host)
    , setNice_(std::move(setNice)) {
    engine_.SetStopFlag(&stopRequested_);
    baseNice_ = ThreadNice(CurrentThreadId(), 0);
    workerNice_ = baseNice_;
    targetNice_ = baseNice_;
    // The turn test runs whenever the host thread's event loop wakes up or goes to sleep, so
    // that a move made without StartThinking (the owner's own MakeMove) is noticed as a cycling
    // worker would notice it, without the worker polling.
    if (auto* dispatcher = QAbstractEventDispatcher::instance(relay_.thread())) {
        QObject::connect(
            dispatcher, &QAbstractEventDispatcher::aboutToBlock, &relay_, [this] { Pump(); });
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, &relay_, [this] { Pump(); });
    }
    QObject::connect(
        &relay_, &THandOffRelay::HandOffRequested, &relay_, [this] { RunHandOff(); },
        Qt::QueuedConnection);
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

int TEngineThread::SearchesBegun() const {
    const std::lock_guard lock(mutex_);
    return searchesBegun_;
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

int TEngineThread::TargetNice(TThreadPriority level) const {
    return std::clamp(baseNice_ + NiceOffset(level), -20, 19);
}

TEngineThread::TSearchedState TEngineThread::SearchedState(const TEngineSnapshot& s) {
    TSearchedState state;
    std::copy_n(s.Squares.begin() + FirstBoardCell, state.Squares.size(), state.Squares.begin());
    state.WhiteToMove = s.WhiteToMove;
    state.Castling = s.Castling;
    state.EnPassant = s.EnPassant;
    return state;
}

// ---- Host's thread ----

void TEngineThread::Unpark() {
    stopRequested_.store(false);
    armed_ = true;
    Pump();
}

void TEngineThread::Stop() {
    stopRequested_.store(true);
    ForgetRefusal();
    if (busy_ && inHandOff_ == 0) {
        while (busy_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (!busy_) armed_ = false;
}

void TEngineThread::ForgetRefusal() {
    rejected_.reset();
    ++refusalEpoch_;
}

void TEngineThread::QueuePump() {
    if (pumpQueued_) return;
    pumpQueued_ = true;
    QMetaObject::invokeMethod(
        &relay_,
        [this] {
            pumpQueued_ = false;
            Pump();
        },
        Qt::QueuedConnection);
}

void TEngineThread::Pump() {
    if (!armed_ || busy_ || stopRequested_.load()) return;
    const TEngineSnapshot snapshot = host_.EngineSnapshot();
    if (!snapshot.ComputerDue) return;
    const TSearchedState now = SearchedState(snapshot);
    const int depth = snapshot.Depth;
    // The same search would find the same refused move again.
    if (rejected_ && *rejected_ == TRefusedSearch { now, depth }) return;

    const int nice = TargetNice(snapshot.Priority);
    int workerNice = 0;
    {
        const std::lock_guard lock(mutex_);
        targetNice_ = nice;
        workerNice = workerNice_;
    }
    if (nice < workerNice) {
        // A higher priority than the worker has: a fresh thread may get it where the old one
        // may not. Not from inside a hand-off, where the worker waits for us: come back later.
        if (inHandOff_ > 0) {
            QueuePump();
            return;
        }
        ReplaceWorker();
    }

    const EnginePositionSource source { snapshot.Squares, snapshot.WhiteToMove, snapshot.Castling,
        snapshot.EnPassant };
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
        jobDepth_ = depth;
        jobPending_ = true;
    }
    wake_.notify_all();
}

void TEngineThread::ApplyPriority(TThreadPriority level) {
    const int nice = TargetNice(level);
    const std::lock_guard lock(mutex_);
    targetNice_ = nice;
    // A refused raise is made at the next search (by a fresh worker).
    if (workerTid_ != 0) ApplyTargetNice(workerTid_);
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
            {
                const std::lock_guard lock(t.mutex_);
                t.handOffPending_ = false;
            }
            t.wake_.notify_all();
        }
    };
    ++inHandOff_;
    const Release release { *this };
    if (step == Step::DeliverMove)
        DeliverStep();
    else
        ParkStep();
}

// The move of the finished search goes to the host, unless the host no longer holds the
// position that was searched (it was changed meanwhile without a wait, e.g. while its game
// had ended). A refused move is remembered for this position, unless the host's game changed
// while it refused it.
void TEngineThread::DeliverStep() {
    if (!(SearchedState(host_.EngineSnapshot()) == searched_)) return;
    const EngineMove m = engine_.BestMove();
    const unsigned epoch = refusalEpoch_;
    const bool accepted = host_.DeliverMove(SquareOfIndex(m.From), SquareOfIndex(m.To));
    if (!accepted && epoch == refusalEpoch_)
        rejected_ = TRefusedSearch { searched_, searchedDepth_ };
}

// The cycle ends: Thinking off, parked; the host decides whether the next one starts.
void TEngineThread::ParkStep() {
    thinking_.store(false);
    busy_ = false;
    armed_ = false;
    host_.ParkWorker();
}

// ---- Worker thread, or the host's thread holding mutex_ ----

// Gives the worker the nice value of the level last written. Both threads call this under
// mutex_, so a level written at any moment is not undone by an older one.
void TEngineThread::ApplyTargetNice(long tid) {
    if (targetNice_ != workerNice_) setNice_(tid, targetNice_);
    workerNice_ = ThreadNice(tid, workerNice_);
}

bool TEngineThread::HandOff(Step step) {
    {
        const std::lock_guard lock(mutex_);
        if (ending_) return false;
        handOffStep_ = step;
        handOffPending_ = true;
    }
    emit relay_.HandOffRequested();
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
        int depth = 1;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return ending_ || generation_ != generation || jobPending_; });
            if (ending_ || generation_ != generation) return;
            depth = jobDepth_;
            jobPending_ = false;
            ApplyTargetNice(workerTid_);
            ++searchesBegun_;
        }
        engine_.SearchRoot(depth);
        if (!stopRequested_.load()) {
            thinking_.store(false);
            if (!HandOff(Step::DeliverMove)) return;
        }
        if (!HandOff(Step::ParkWorker)) return;
    }
}
