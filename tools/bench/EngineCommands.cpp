// pellium-bench's engine sub-commands: perft, search and sequence on FEN lines from
// standard input, and the fixed benchmark.
#include "BenchSuite.h"
#include "GameBoard/Engine/Engine.h"
#include "GameBoard/Engine/EngineFen.h"
#include "GameBoard/Rules/SquareNames.h"
#include "tools/bench/Commands.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <memory>
#include <ostream>
#include <string>

namespace {

long long ElapsedMs(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start)
        .count();
}

bool IsBlank(const std::string& line) {
    return line.find_first_not_of(" \t\r") == std::string::npos;
}

// Parses and loads one line; prints "invalid REASON" and returns false when it cannot.
bool LoadLine(TEngine& engine, const std::string& line, std::ostream& out) {
    FenPosition position;
    std::string error;
    if (!ParseFen(line, position, error)) {
        out << "invalid " << error << '\n';
        return false;
    }
    if (!engine.LoadPosition(position.Source())) {
        out << "invalid " << engine.RefusalReason() << '\n';
        return false;
    }
    return true;
}

int RunPerftLines(int depth, std::istream& in, std::ostream& out) {
    TEngine engine;
    std::string line;
    while (std::getline(in, line)) {
        if (IsBlank(line)) continue;
        if (!LoadLine(engine, line, out)) continue;
        const auto start = std::chrono::steady_clock::now();
        const std::optional<std::uint64_t> nodes = engine.Perft(depth);
        if (!nodes) {
            out << "invalid depth too large for this position\n";
            continue;
        }
        out << "nodes " << *nodes << " time_ms " << ElapsedMs(start) << '\n';
    }
    return 0;
}

// search (a fresh engine per line) and sequence (one engine for all lines).
int RunSearchLines(int depth, bool freshEngine, std::istream& in, std::ostream& out) {
    auto engine = std::make_unique<TEngine>();
    std::string line;
    while (std::getline(in, line)) {
        if (IsBlank(line)) continue;
        if (freshEngine) engine = std::make_unique<TEngine>();
        if (!LoadLine(*engine, line, out)) continue;
        const auto start = std::chrono::steady_clock::now();
        const int score = engine->SearchRoot(depth);
        const long long ms = ElapsedMs(start);
        const EngineMove best = engine->BestMove();
        out << "bestmove " << SquareName(best.From) << SquareName(best.To) << " score " << score
            << " nodes " << engine->Nodes() << " time_ms " << ms << '\n';
    }
    return 0;
}

bool ParseDepth(const char* text, int low, int high, int& depth) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < low || value > high) return false;
    depth = int(value);
    return true;
}

} // namespace

int RunEngineCommand(int argc, char* argv[], std::istream& in, std::ostream& out) {
    const std::string command = argc >= 2 ? argv[1] : "";
    if (command == "bench" && argc == 2) return RunBenchSuite(out);
    const bool isPerft = command == "perft";
    const bool isSearch = command == "search" || command == "sequence";
    int depth = 0;
    if (argc == 3 && isPerft && ParseDepth(argv[2], 0, 63, depth))
        return RunPerftLines(depth, in, out);
    if (argc == 3 && isSearch && ParseDepth(argv[2], 1, 8, depth))
        return RunSearchLines(depth, command == "search", in, out);
    out << "usage: pellium-bench perft DEPTH (0..63) | search DEPTH (1..8) | sequence DEPTH (1..8) "
           "| bench\n";
    return 2;
}
