// pellium-bench trace: scripts in, the board's answers out.
#include "tools/bench/Trace.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <sstream>
#include <string>

namespace {

std::string Trace(const std::string& script) {
    std::istringstream in(script);
    std::ostringstream out;
    EXPECT_EQ(RunTrace(in, out), 0);
    return out.str();
}

// The final line of a script: eight ranks from 8 down to 1, then side, rights, square, move.
std::string Final(std::initializer_list<const char*> ranks, const std::string& rest) {
    std::string line = "final ";
    for (const char* rank : ranks) line += rank;
    return line + " " + rest + "\n";
}

} // namespace

TEST(ChessTraceTest, ItalianGameWithCastling) {
    EXPECT_EQ(Trace("move e2e4\nmove e7e5\nmove g1f3\nmove b8c6\nmove f1c4\nmove g8f6\nmove e1g1\n"
                    "move f6e4\nmove e9e4\n"),
        "1 OnLegalMove(e2,e4) OnPaint\n"
        "1 OnLegalMove(e7,e5) OnPaint\n"
        "1 OnLegalMove(g1,f3) OnPaint\n"
        "1 OnLegalMove(b8,c6) OnPaint\n"
        "1 OnLegalMove(f1,c4) OnPaint\n"
        "1 OnLegalMove(g8,f6) OnPaint\n"
        "1 OnLegalMove(e1,g1) OnCastle(e1,g1) OnPaint\n"
        "1 OnLegalMove(f6,e4) OnCapture(f6,e4,P) OnPaint\n"
        "0\n"
        "final r.bqkb.rpppp.ppp..n.........p.....B.n........N..PPPP.PPPRNBQ.RK. w kq - 5\n");
}

TEST(ChessTraceTest, Scripts) {
    struct Case {
        const char* name;
        std::string script;
        std::string output;
    };
    const char* e = "........";
    const std::string start
        = Final({ "rnbqkbnr", "pppppppp", e, e, e, e, "PPPPPPPP", "RNBQKBNR" }, "w KQkq - 1");
    const std::string afterE4 = Final(
        { "rnbqkbnr", "pppppppp", e, e, "....P...", e, "PPPP.PPP", "RNBQKBNR" }, "b KQkq e3 1");
    const std::string pawnOnA7 = "position .......kP" + std::string(54, '.') + "K\n";
    const Case cases[] = {
        { "empty script", "", start },
        { "position alone empties the board", "position\n",
            Final({ e, e, e, e, e, e, e, e }, "w KQkq - 1") },
        { "position with blanks and a NUL", "position k..K\\0Q\n",
            Final({ "k..K....", e, e, e, e, e, e, e }, "w KQkq - 1") },
        { "state commands print nothing", "white 0\ncastle Kq\nep e3\n# comment\n\nnewgam\n",
            Final({ "rnbqkbnr", "pppppppp", e, e, e, e, "PPPPPPPP", "RNBQKBNR" }, "b Kq e3 1") },
        { "ep - and a bad name are ignored by the setter", "ep c6\nep -\nep e4\n",
            Final({ "rnbqkbnr", "pppppppp", e, e, e, e, "PPPPPPPP", "RNBQKBNR" }, "w KQkq c6 1") },
        { "castle - clears the rights", "castle -\n",
            Final({ "rnbqkbnr", "pppppppp", e, e, e, e, "PPPPPPPP", "RNBQKBNR" }, "w - - 1") },
        { "CRLF line ends", "move e2e4\r\nmove e7e5\r\n",
            "1 OnLegalMove(e2,e4) OnPaint\n1 OnLegalMove(e7,e5) OnPaint\n"
                + Final({ "rnbqkbnr", "pppp.ppp", e, "....p...", "....P...", e, "PPPP.PPP",
                            "RNBQKBNR" },
                    "w KQkq e6 2") },
        { "promotion: the piece passed in, then the handler's", pawnOnA7 + "promote n\nmove a7a8\n",
            "1 OnLegalMove(a7,a8) OnPromotion(a7,a8,q) OnNoMatingMaterial OnDraw OnPaint\n"
                + Final({ "N......k", e, e, e, e, e, e, ".......K" }, "b KQkq - 1") },
        { "promotion to a blank", pawnOnA7 + "promote .\nmove a7a8\n",
            "1 OnLegalMove(a7,a8) OnPromotion(a7,a8,q) OnNoMatingMaterial OnDraw OnPaint\n"
                + Final({ ".......k", e, e, e, e, e, e, ".......K" }, "b KQkq - 1") },
        { "unassigned events are not fired",
            "assign none\nassign OnCapture\nassign Bogus\nmove e2e4\nmove d7d5\nmove e4d5\n",
            "1\n1\n1 OnCapture(e4,d5,p)\n"
                + Final({ "rnbqkbnr", "ppp.pppp", e, "...P....", e, e, "PPPP.PPP", "RNBQKBNR" },
                    "b KQkq - 2") },
        { "mate without OnMate",
            "assign none\nassign OnCheck\nmove f2f3\nmove e7e5\nmove g2g4\nmove d8h4\n",
            "1\n1\n1\n1 OnCheck(d8,h4)\n"
                + Final({ "rnb.kbnr", "pppp.ppp", e, "....p...", "......Pq", ".....P..", "PPPPP..P",
                            "RNBQKBNR" },
                    "w KQkq - 3") },
        { "--- separates scripts on fresh boards", "move e2e4\n---\nmove e2e4\n---\n",
            "1 OnLegalMove(e2,e4) OnPaint\n" + afterE4 + "---\n1 OnLegalMove(e2,e4) OnPaint\n"
                + afterE4 + "---\n" },
        { "a fresh board has all handlers and no promotion choice",
            "assign none\npromote r\n---\n" + pawnOnA7 + "move a7a8\n",
            start + "---\n1 OnLegalMove(a7,a8) OnPromotion(a7,a8,q) OnCheck(a7,a8) OnPaint\n"
                + Final({ "Q......k", e, e, e, e, e, e, ".......K" }, "b KQkq - 1") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Trace(c.script), c.output);
    }
}
