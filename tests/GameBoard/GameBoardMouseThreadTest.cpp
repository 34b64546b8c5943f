// While the engine thread is thinking the board accepts no dropped piece.
#include "GameBoardViewTestUtil.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace view_test;

TEST(BoardDragWhileThinking, EveryDropIsRefused) {
    QWidget window;
    auto* board = new TGameBoard(&window, true);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    board->PaintBoard();
    std::vector<Square> illegal;
    board->OnIllegalMove = [&](TChessModel*, Square q) { illegal.push_back(q); };

    // A deep search for White keeps the engine busy while the pointer moves.
    board->SetSearchDepth(8);
    board->SetComputerPlaysWhite(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return board->Thinking(); }, 5000));

    for (auto [from, to] : { std::pair { Square::E2, Square::E4 }, { Square::G1, Square::G1 } }) {
        const QPoint p0 = Centre(*board, from), p1 = Centre(*board, to) + QPoint(0, 8);
        Press(board, p0);
        MoveHeld(board, p0 + QPoint(0, -10));
        MoveHeld(board, p1);
        Release(board, p1);
        ASSERT_TRUE(board->Thinking()); // else the search ended too soon to prove anything
    }
    EXPECT_EQ(illegal, (std::vector<Square> { Square::E2, Square::G1 }));
    EXPECT_EQ(board->Position(), TChessModel::StartPosition);
    board->SetComputerPlaysWhite(false);
}
