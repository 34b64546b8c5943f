#pragma once
// TEngineThread: an engine thread for a host (TEngineHost, the board). It owns the built-in
// engine (TEngine) and one worker thread that runs the searches, and hands each result to the
// host through two blocking hand-offs that run on the host's thread: the move (the host's
// DeliverMove plays it) and the park step (the cycle ends; the host's ParkWorker starts the
// next one unless a stop was requested).
//
// Threads. The worker thread runs WorkerLoop and what it calls: the search, HandOff (which
// waits there until its step has run on the host's thread) and ApplyTargetNice (which the
// host's thread also calls, from ApplyPriority; both hold the mutex). Everything else runs on
// the host's (user-interface) thread, except the members marked "Any thread".
// The worker only searches the engine's own copy of the position and waits in hand-offs; it
// never touches the host. The host's state is taken as a snapshot (TEngineSnapshot) on the
// host's thread, at the moments the worker would need it: the turn test, and the load of the
// position when a search starts. The only state written by one thread and read by the other
// without the mutex are the two flags Thinking and StopRequested (atomics).
//
// Hand-offs. The worker records the step under the mutex, emits the relay's HandOffRequested
// (connected once, on the host's thread, to a lambda that runs RunHandOff there: the worker
// creates no object that the other thread uses or frees) and waits on the condition variable
// until that step has run there. Not Qt's BlockingQueuedConnection: the destructor must be
// able to release a waiting worker without running its step; the queued call is then dropped
// with the relay.
//
// Idle behaviour. An armed engine thread whose side is not to move does not cycle: the worker
// sleeps on a condition variable and the host's thread re-runs the turn test (Pump) whenever
// the turn could have changed: when the engine is started, after each hand-off, after every
// event the host handles, and each time the host thread's event loop wakes up or is about to
// block. A search therefore starts at the same points at which a cycling worker would notice
// that it is due, and an idle host costs no CPU.
//
// Refused moves. A move the host refused is not searched for again while the host's position
// and depth stay the same; ForgetRefusal (every stop, reset and position write of the host)
// and Stop end that memory, so it never outlives the game position it was made for.
//
// Priorities (Linux). ThinkingPriority maps to the worker's nice value, relative to the nice
// value of the host's thread when the engine thread was created (base), clamped to -20..19:
//   tpIdle 19 (the lowest), tpLowest +10, tpLower +5, tpNormal +0, tpHigher -5,
//   tpHighest -10, tpTimeCritical -20 (the highest).
// The worker applies the level current when a search starts, and a level written at any time
// (ApplyPriority) is applied at once to a running worker; both happen under the mutex, so the
// last level written is the one that holds.
// Without CAP_SYS_NICE (or an RLIMIT_NICE allowance) Linux only lets a thread lower its
// priority: levels above base then stay at base. To come back up after a lower level, the
// idle worker is replaced by a fresh thread (which starts at base) before the next search.
// Qt's own QThread priorities are not used: on Linux they only distinguish idle from the rest.
// The call that sets a thread's nice value can be given to the constructor, so that the path
// taken when the system refuses a raise can be followed with any privilege.

#include "GameBoard/Engine/Engine.h"
#include "GameBoard/EngineHost.h"
#include "GameBoard/Rules/BoardTypes.h"

#include <QObject>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

// Lives on the host's thread; the worker emits HandOffRequested to queue a hand-off there.
class THandOffRelay : public QObject {
    Q_OBJECT

signals:
    void HandOffRequested();
};

class TEngineThread {
public:
    // Sets the nice value of the thread with the kernel thread id tid; false when the system
    // refuses. Called on the worker or on the host's thread, always under the engine thread's
    // mutex.
    using TSetThreadNice = std::function<bool(long tid, int nice)>;
    // The system's call (setpriority on Linux; elsewhere it always refuses).
    static bool SystemSetThreadNice(long tid, int nice);

    // Created parked, with its worker thread started and waiting. Host's thread.
    explicit TEngineThread(TEngineHost& host, TSetThreadNice setNice = SystemSetThreadNice);
    // Ends the worker: requests a stop, releases a worker waiting in a hand-off without running
    // the hand-off, and joins the thread. Processes no events; runs no host step.
    ~TEngineThread();
    TEngineThread(const TEngineThread&) = delete;
    TEngineThread& operator=(const TEngineThread&) = delete;

    // The Thinking flag: set when a search is handed to the worker, cleared just before its
    // move is handed over and by the park step. Any thread.
    bool Thinking() const { return thinking_.load(); }
    bool StopRequested() const { return stopRequested_.load(); }

    // ---- Steps used by the host (host's thread) ----
    // StartThinking with the built-in engine: clear the stop request and unpark.
    void Unpark();
    // StopThinking's engine part: request a stop and wait, processing the host thread's events,
    // until the worker is parked. Inside a hand-off the worker is itself waiting for this thread
    // and reads nothing, so there the request is only recorded: the worker parks right after the
    // hand-off and delivers nothing more.
    void Stop();
    // Another engine takes over: no new search starts until the next Unpark. A running search
    // goes on and is handed over as usual.
    void Disarm() { armed_ = false; }
    // The host's game changed (reset, position write, stop): a refused move is searched again.
    void ForgetRefusal();
    // The turn test, and a search handed to the worker when the computer is due.
    void Pump();
    // Applies a ThinkingPriority level to the worker at once (as far as the system allows) and
    // to every later search.
    void ApplyPriority(TThreadPriority level);

    // No search handed out and no park step outstanding: parked, or armed and idle.
    bool Parked() const { return !busy_; }

    // ---- For tests and diagnostics (host's thread) ----
    int SearchCount() const { return searchCount_; }
    int HandOffCount() const { return handOffCount_; }
    int LastSearchDepth() const { return lastSearchDepth_; }
    // The worker's kernel thread id (0 while unknown).
    long WorkerThreadId() const;
    // Searches the worker has begun (after applying their priority). Any thread.
    int SearchesBegun() const;
    // The nice value a level maps to, relative to the host thread's nice value.
    static int NiceOffset(TThreadPriority p);

private:
    enum class Step { DeliverMove, ParkWorker };
    // The position a search was started from; compared at delivery (a changed depth does not
    // make a result stale) and, with the depth, after a refused move. Only the 64 squares of
    // the cells count: the spare cells carry no part of the position.
    struct TSearchedState {
        std::array<char, SquareCount> Squares {};
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

    static TSearchedState SearchedState(const TEngineSnapshot& s);
    int TargetNice(TThreadPriority level) const;
    void StartWorker();
    void ReplaceWorker();
    void QueuePump();
    void RunHandOff();
    void DeliverStep();
    void ParkStep();
    void WorkerLoop(unsigned generation);
    bool HandOff(Step step);
    void ApplyTargetNice(long tid);

    TEngineHost& host_;
    const TSetThreadNice setNice_;
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
    int jobDepth_ = 1;
    bool handOffPending_ = false;
    Step handOffStep_ = Step::ParkWorker;
    long workerTid_ = 0;
    int workerNice_ = 0;
    int targetNice_ = 0; // the nice value of the level last written or read
    int searchesBegun_ = 0;
    std::thread thread_;

    // Host's thread only.
    bool armed_ = false; // unparked: a search starts whenever the computer is due
    bool busy_ = false; // a search was handed out and its park step has not run yet
    int inHandOff_ = 0;
    bool pumpQueued_ = false;
    TSearchedState searched_;
    int searchedDepth_ = 1;
    std::optional<TRefusedSearch> rejected_;
    unsigned refusalEpoch_ = 0; // counts ForgetRefusal calls
    int searchCount_ = 0;
    int handOffCount_ = 0;
    int lastSearchDepth_ = 0;
};
