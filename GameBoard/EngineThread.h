#pragma once
// TEngineThread: the board's engine thread. It owns the built-in engine (TEngine) and one
// worker thread that runs the searches, and hands each result to the board through two
// blocking hand-offs that run on the board's thread: DeliverMove (play the move) and
// ParkWorker (end the cycle, start the next one unless a stop was requested).
//
// Threads. Everything here except WorkerLoop runs on the board's (user-interface) thread.
// The worker only searches the engine's own copy of the position and waits in hand-offs; it
// never touches the board. The board's fields (squares, side to move, castling set, en-passant
// square, the computer's sides, SearchDepth, ThinkingPriority) are read in place on the
// board's thread, at the moments the worker would need them: the turn test, and the load of
// the position when a search starts. The only state written by one thread and read by the
// other without the mutex are the two flags Thinking and StopRequested (atomics).
//
// Hand-offs. The worker records the step under the mutex, queues a call of THandOffRelay::Run
// to the board's thread (by name: the worker creates no object that the other thread frees)
// and waits on the condition variable until that step has run there. Not Qt's
// BlockingQueuedConnection: the destructor must be able to release a waiting worker without
// running its step; the queued call is then dropped with the relay.
//
// Idle behaviour. An armed engine thread whose side is not to move does not cycle: the worker
// sleeps on a condition variable and the board's thread re-runs the turn test (Pump) whenever
// the turn could have changed: when the engine is started, after each hand-off, after every
// event the board handles, and each time the board thread's event loop wakes up or is about to
// block. A search therefore starts at the same points at which a cycling worker would notice
// that it is due, and an idle board costs no CPU.
//
// Priorities (Linux). ThinkingPriority maps to the worker's nice value, relative to the nice
// value of the board's thread when the engine thread was created (base), clamped to -20..19:
//   tpIdle 19 (the lowest), tpLowest +10, tpLower +5, tpNormal +0, tpHigher -5,
//   tpHighest -10, tpTimeCritical -20 (the highest).
// Without CAP_SYS_NICE (or an RLIMIT_NICE allowance) Linux only lets a thread lower its
// priority: levels above base then stay at base. To come back up after a lower level, the
// idle worker is replaced by a fresh thread (which starts at base) before the next search.
// Qt's own QThread priorities are not used: on Linux they only distinguish idle from the rest.

#include "GameBoard/Engine/Engine.h"
#include "GameBoard/Rules/BoardTypes.h"

#include <QObject>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

class TGameBoard;
class TEngineThread;

// Lives on the board's thread; the worker queues calls of Run to it (one per hand-off).
class THandOffRelay : public QObject {
    Q_OBJECT

public:
    explicit THandOffRelay(TEngineThread& owner)
        : owner_(owner) { }
    Q_INVOKABLE void Run();
    Q_INVOKABLE void Pump();

private:
    TEngineThread& owner_;
};

class TEngineThread {
public:
    // Created parked, with its worker thread started and waiting. Board's thread.
    explicit TEngineThread(TGameBoard& board);
    // Ends the worker: requests a stop, releases a worker waiting in a hand-off without running
    // the hand-off, and joins the thread. Processes no events; runs no board step.
    ~TEngineThread();
    TEngineThread(const TEngineThread&) = delete;
    TEngineThread& operator=(const TEngineThread&) = delete;

    // The Thinking flag: set when a search is handed to the worker, cleared just before its
    // move is handed over and by the park step. Any thread.
    bool Thinking() const { return thinking_.load(); }
    bool StopRequested() const { return stopRequested_.load(); }

    // ---- Steps used by the board (board's thread) ----
    // StartThinking with the built-in engine: clear the stop request and unpark.
    void Unpark();
    // StopThinking's engine part: request a stop and wait, processing the board thread's events,
    // until the worker is parked. Inside a hand-off the worker is itself waiting for this thread
    // and reads nothing, so there the request is only recorded: the worker parks right after the
    // hand-off and delivers nothing more.
    void Stop();
    // The park step (ParkWorker): Thinking off, parked.
    void Park();
    // The move of the finished search, or nothing when the board no longer holds the position that
    // was searched (it was changed meanwhile without a wait, e.g. while GameEnded was set).
    std::optional<std::pair<Square, Square>> ResultForBoard() const;
    // MakeMove refused the delivered move: do not search this same state again until it changes.
    void NoteRejected();
    // The turn test, and a search handed to the worker when the computer is due.
    void Pump();
    // Applies ThinkingPriority to the worker at once (as far as the system allows).
    void ApplyPriority();

    // No search handed out and no park step outstanding: parked, or armed and idle.
    bool Parked() const { return !busy_; }
    bool InHandOff() const { return inHandOff_ > 0; }
    // True once for the step of the hand-off that is running: DeliverMove and ParkWorker act
    // only as the hand-off's own step, never when called otherwise.
    bool TakeDeliverStep() { return TakeStep(Step::DeliverMove); }
    bool TakeParkStep() { return TakeStep(Step::ParkWorker); }

    // ---- For tests and diagnostics (board's thread) ----
    int SearchCount() const { return searchCount_; }
    int HandOffCount() const { return handOffCount_; }
    int LastSearchDepth() const { return lastSearchDepth_; }
    // The worker's kernel thread id (0 while unknown).
    long WorkerThreadId() const;
    // The nice value a level maps to, relative to the board thread's nice value.
    static int NiceOffset(TThreadPriority p);

private:
    friend class THandOffRelay;
    enum class Step { DeliverMove, ParkWorker };
    struct Job {
        int Depth = 1;
        int Nice = 0;
    };
    // The position a search was started from; compared at delivery (a changed SearchDepth does
    // not make a result stale) and, with the depth, after a refused move.
    struct TSearchedState {
        std::array<char, 66> Squares {};
        bool WhiteToMove = true;
        CastleSet Castling;
        Square EnPassant = Square::None;
        bool operator==(const TSearchedState&) const = default;
    };
    struct TRefusedSearch {
        TSearchedState Position;
        int Depth = 1;
        bool operator==(const TRefusedSearch&) const = default;
    };

    bool TakeStep(Step step);
    TSearchedState BoardState() const;
    int TargetNice() const;
    void StartWorker();
    void ReplaceWorker();
    void RunHandOff();
    void WorkerLoop(unsigned generation);
    bool HandOff(Step step);
    void SetOwnNice(int nice);

    TGameBoard& board_;
    TEngine engine_;
    THandOffRelay relay_;
    std::atomic<bool> thinking_ { false };
    std::atomic<bool> stopRequested_ { false };
    int baseNice_ = 0;

    // Shared with the worker, guarded by mutex_.
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool ending_ = false;
    unsigned generation_ = 0;
    bool jobPending_ = false;
    Job job_;
    bool handOffPending_ = false;
    Step handOffStep_ = Step::ParkWorker;
    long workerTid_ = 0;
    int workerNice_ = 0;
    std::thread thread_;

    // Board's thread only.
    bool armed_ = false; // unparked: a search starts whenever the computer is due
    bool busy_ = false; // a search was handed out and its park step has not run yet
    int inHandOff_ = 0;
    std::optional<Step> stepToRun_; // the running hand-off's step, until the board takes it
    bool pumpQueued_ = false;
    TSearchedState searched_;
    int searchedDepth_ = 1;
    std::optional<TRefusedSearch> rejected_;
    int searchCount_ = 0;
    int handOffCount_ = 0;
    int lastSearchDepth_ = 0;
};
