// Loads arbitrary positions into the engine, as FEN text or as raw square cells, then counts
// moves and searches two plies deep. The guards must hold: no out-of-bounds access (the
// sanitizers watch), no crash, and a chosen move always starts on a piece of the side to move.
#include "FuzzChecks.h"
#include "GameBoard/Engine/Engine.h"
#include "GameBoard/Engine/EngineFen.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace {

// Requests a stop of the search after a second, the way the board's thread does: some
// crowded positions make the capture search very large, and the fuzzer looks for faults,
// not for slow positions.
class StopWatchdog {
public:
    explicit StopWatchdog(std::atomic<bool>& stop)
        : thread_([this, &stop] {
            std::unique_lock lock(mutex_);
            if (!wake_.wait_for(lock, std::chrono::seconds(1), [this] { return done_; }))
                stop.store(true, std::memory_order_relaxed);
        }) { }
    ~StopWatchdog() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;
};

void SearchAndCheck(TEngine& engine, const EnginePositionSource& source) {
    if (!engine.LoadPosition(source)) return;
    engine.Perft(2);
    FUZZ_CHECK(engine.LoadPosition(source));
    std::atomic<bool> stop { false };
    engine.SetStopFlag(&stop);
    {
        const StopWatchdog watchdog(stop);
        engine.SearchRoot(2);
    }
    engine.SetStopFlag(nullptr);
    const EngineMove best = engine.BestMove();
    if (best.From != best.To) {
        FUZZ_CHECK(best.From < 64 && best.To < 64);
        const char piece = source.Squares[best.From + 1];
        const bool white = piece >= 'B' && piece <= 'R';
        const bool black = piece >= 'b' && piece <= 'r';
        FUZZ_CHECK(source.WhiteToMove ? white : black);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    TEngine engine;
    if (data[0] & 1) {
        // Raw cells: 64 arbitrary characters, side, castling bits and en-passant square.
        std::array<char, 66> cells {};
        cells[0] = '_';
        for (std::size_t i = 1; i <= 64; ++i) cells[i] = i < size ? char(data[i]) : ' ';
        const std::uint8_t flags = size > 65 ? data[65] : 0;
        const std::uint8_t ep = size > 66 ? data[66] : 0;
        const EnginePositionSource source { cells.data(), bool(flags & 1),
            CastleSet::FromBits(std::uint8_t((flags >> 1) & 15)), ToSquare(ep % 65) };
        SearchAndCheck(engine, source);
    } else {
        const std::string_view fen(reinterpret_cast<const char*>(data + 1), size - 1);
        FenPosition position;
        std::string error;
        if (ParseFen(fen, position, error)) SearchAndCheck(engine, position.Source());
    }
    return 0;
}
