// The search's signature: for fixed positions and depths the chosen move, its score and
// the node count are fixed by the algorithm. Any change of these numbers means the search
// itself changed (move order, pruning, evaluation): speed-ups must leave them as they are.
#include "EngineTestUtil.h"

#include <gtest/gtest.h>
#include <memory>

using namespace enginetest;

namespace {

struct SignatureRow {
    const char* Fen;
    int Depth;
    const char* Move;
    int Score;
    std::uint64_t Nodes;
};

std::uint64_t CheckRows(const SignatureRow* rows, std::size_t count, bool freshEngine) {
    auto engine = std::make_unique<TEngine>();
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const SignatureRow& r = rows[i];
        if (freshEngine) engine = std::make_unique<TEngine>();
        FenPosition position;
        std::string error;
        EXPECT_TRUE(ParseFen(r.Fen, position, error)) << error;
        EXPECT_TRUE(engine->LoadPosition(position.Source())) << r.Fen;
        EXPECT_EQ(engine->SearchRoot(r.Depth), r.Score) << r.Fen << " depth " << r.Depth;
        EXPECT_EQ(MoveName(engine->BestMove()), r.Move) << r.Fen << " depth " << r.Depth;
        EXPECT_EQ(engine->Nodes(), r.Nodes) << r.Fen << " depth " << r.Depth;
        total += engine->Nodes();
    }
    return total;
}

const char* const Kiwipete = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -";
const char* const Italian = "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -";

} // namespace

TEST(EngineSignatureTest, FreshEngines) {
    const SignatureRow rows[] = {
        { "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", 5, "e2e4", 25, 38331 },
        { Kiwipete, 3, "e2a6", 8, 80414 },
        { "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ -", 4, "d7c8", 392, 24736 },
        { "rnbqkb1r/ppp2ppp/4pn2/3p2B1/2PP4/2N5/PP2PPPP/R2QKBNR b KQkq -", 4, "f8b4", 37, 11544 },
        { "8/5pk1/6p1/8/8/6P1/5PK1/8 w - -", 6, "f2f4", 0, 8598 },
        { "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -", 5, "b4c4", -33, 26875 },
        { "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq -", 3, "c4c5", -439, 23164 },
    };
    EXPECT_EQ(CheckRows(rows, std::size(rows), true), 213662u);
}

TEST(EngineSignatureTest, OneEngineKeepsItsBestLine) {
    const SignatureRow rows[] = {
        { Kiwipete, 3, "e2a6", 8, 80414 },
        { Kiwipete, 3, "e2a6", 8, 80549 },
        { Italian, 3, "b1c3", 10, 4015 },
        { Italian, 3, "b1c3", 10, 3697 },
    };
    EXPECT_EQ(CheckRows(rows, std::size(rows), false), 168675u);
}
