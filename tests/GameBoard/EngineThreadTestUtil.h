#pragma once
// Helpers of the engine-thread tests: waits that keep the board thread's events going (the
// engine's hand-offs run there), positions drawn rank by rank, and a board set up for a test.

#include "GameBoard/EngineThread.h"
#include "GameBoard/GameBoard.h"
#include "tests/GameBoard/Rules/ChessTestBoards.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>

namespace engine_thread_test {

// Processes events until pred() holds or timeoutMs has passed; returns pred().
template <typename Pred> bool WaitFor(Pred pred, int timeoutMs = 20000) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!pred()) {
        if (deadline.hasExpired()) return pred();
        QTest::qWait(2);
    }
    return true;
}

// Processes events for ms milliseconds.
inline void Settle(int ms) {
    QTest::qWait(ms);
}

using chess_test::Diagram;

inline Square Sq(const char* name) {
    return TChessModel::SquareFromText(name);
}

// A board with an engine thread, not animated, with no castling rights unless given.
inline std::unique_ptr<TGameBoard> MakeBoard(
    const std::string& position, bool whiteToMove, int depth, CastleSet castling = {}) {
    auto board = std::make_unique<TGameBoard>();
    board->SetAnimateMoves(false);
    board->SetPosition(position);
    board->SetWhiteToMove(whiteToMove);
    board->SetCastlingAllowed(castling);
    board->SetSearchDepth(depth);
    return board;
}

// CPU time (user + system, in clock ticks) that one thread of this process has used.
inline long ThreadCpuTicks(long tid) {
    std::ifstream in("/proc/self/task/" + std::to_string(tid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    long utime = 0;
    long stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::stol(field);
        if (i == 15) stime = std::stol(field);
    }
    return utime + stime;
}

} // namespace engine_thread_test
