// The fixed engine benchmark. Every position is counted by perft to a fixed depth and
// searched at depths 4 and 5 by a fresh engine; the node counts are fixed by the engine's
// algorithm (a change in them means the search changed), the times are this machine's.
// Perft nodes are the leaf moves ApplyMove accepts; search nodes are all ApplyMove calls
// that returned true during the search. Times are the CPU time of this thread, so that
// other work on the machine disturbs them less than wall-clock time would.
#include "BenchSuite.h"

#include "GameBoard/Engine/Engine.h"
#include "GameBoard/Engine/EngineFen.h"

#include <cmath>
#include <cstdint>
#include <ctime>
#include <iomanip>
#include <ostream>
#include <string>

namespace {

struct BenchPosition {
    const char* Name;
    const char* Fen;
    int PerftDepth;
};

constexpr BenchPosition Positions[] = {
    { "start", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 5 },
    { "kiwipete", "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 4 },
    { "rook-ending-pins", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 6 },
    { "promotions-mirror", "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 4 },
    { "promotion-check", "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 4 },
    { "symmetric-middlegame",
        "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 4 },
    { "italian", "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4", 4 },
    { "dragon", "r1bq1rk1/pp2ppbp/2np1np1/8/3NP3/2N1BP2/PPPQ2PP/R3KB1R w KQ - 0 9", 4 },
    { "closed-centre", "r2q1rk1/ppp2ppp/2n1bn2/2bpp3/4P3/2PP1NP1/PP1NQPBP/R1B2RK1 w - - 0 9", 4 },
    { "queens-gambit", "rnbqkb1r/ppp2ppp/4pn2/3p2B1/2PP4/2N5/PP2PPPP/R2QKBNR b KQkq - 3 4", 4 },
    { "king-pawn", "8/8/8/4k3/8/8/4P3/4K3 w - - 0 1", 7 },
    { "pawn-ending", "8/5pk1/6p1/8/8/6P1/5PK1/8 w - - 0 1", 7 },
    { "rook-ending", "2r3k1/pp3ppp/3p4/3P4/1P3P2/P5P1/5K1P/2R5 w - - 0 1", 5 },
    { "queen-ending", "8/6k1/5pp1/3Q4/7p/6P1/q4PK1/8 b - - 0 1", 5 },
    { "minor-pieces", "4k3/1p1n1pp1/p2bp2p/8/3P4/P1N1PN1P/1P3PP1/6K1 w - - 0 1", 5 },
};

constexpr int SearchDepths[] = { 4, 5 };

struct Tally {
    std::uint64_t Nodes = 0;
    double Seconds = 0;
    void Add(std::uint64_t nodes, double seconds) {
        Nodes += nodes;
        Seconds += seconds;
    }
};

double ThreadSeconds() {
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void PrintRow(std::ostream& out, const std::string& label, std::uint64_t nodes, double seconds) {
    const double nps = seconds > 0 ? double(nodes) / seconds : 0;
    out << std::left << std::setw(36) << label << std::right << " nodes " << std::setw(11) << nodes
        << " ms " << std::setw(7) << std::llround(seconds * 1000) << " nps " << std::setw(10)
        << std::llround(nps) << '\n';
}

} // namespace

int RunBenchSuite(std::ostream& out) {
    Tally perft, search;
    for (const BenchPosition& p : Positions) {
        FenPosition position;
        std::string error;
        if (!ParseFen(p.Fen, position, error)) {
            out << p.Name << ": invalid " << error << '\n';
            return 1;
        }
        TEngine perftEngine;
        perftEngine.LoadPosition(position.Source());
        double start = ThreadSeconds();
        const std::uint64_t leaves = perftEngine.Perft(p.PerftDepth).value_or(0);
        double seconds = ThreadSeconds() - start;
        perft.Add(leaves, seconds);
        PrintRow(out, std::string("perft  ") + p.Name + " d" + std::to_string(p.PerftDepth), leaves,
            seconds);

        for (const int depth : SearchDepths) {
            TEngine engine;
            engine.LoadPosition(position.Source());
            start = ThreadSeconds();
            engine.SearchRoot(depth);
            seconds = ThreadSeconds() - start;
            search.Add(engine.Nodes(), seconds);
            PrintRow(out, std::string("search ") + p.Name + " d" + std::to_string(depth),
                engine.Nodes(), seconds);
        }
    }
    PrintRow(out, "total perft", perft.Nodes, perft.Seconds);
    PrintRow(out, "total search", search.Nodes, search.Seconds);
    PrintRow(out, "total", perft.Nodes + search.Nodes, perft.Seconds + search.Seconds);
    return 0;
}
