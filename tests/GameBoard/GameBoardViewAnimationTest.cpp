// The slide of moves that were not dragged: the positions the piece's image takes, counted
// on the overlay's trail.
#include "GameBoardViewTestUtil.h"

#include <gtest/gtest.h>
#include <vector>

using namespace view_test;

namespace {

class BoardSlide : public ::testing::Test {
protected:
    // The window position of the image's top-left corner on square q.
    QPoint At(Square q) const { return w.board->mapTo(w.window.get(), w.board->SquareOrigin(q)); }
    const std::vector<QPoint>& Trail() const { return w.Overlay()->Trail(); }

    BoardWindow w;
};

// The positions of a slide from a to b that moves one pixel per step along one axis.
std::vector<QPoint> Leg(QPoint a, QPoint b) {
    std::vector<QPoint> points;
    const QPoint step((b.x() > a.x()) - (b.x() < a.x()), (b.y() > a.y()) - (b.y() < a.y()));
    for (QPoint p = a;; p += step) {
        points.push_back(p);
        if (p == b) break;
    }
    return points;
}

} // namespace

TEST_F(BoardSlide, StepCountsOfStraightDiagonalAndKnightMoves) {
    struct Row {
        Square from, to;
        std::size_t positions;
    };
    const Row rows[] = {
        { Square::E2, Square::E4, 81 }, { Square::E7, Square::E5, 81 },
        { Square::G1, Square::F3, 41 + 81 }, { Square::B8, Square::C6, 41 + 81 },
        { Square::F1, Square::C4, 121 }, { Square::G8, Square::F6, 41 + 81 },
        { Square::E1, Square::G1, 81 }, // castling: the king slides, the rook jumps
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(ToInt(r.from));
        ASSERT_TRUE(w.board->MakeMove(r.from, r.to));
        const QPoint a = At(r.from), b = At(r.to);
        EXPECT_EQ(Trail().size(), r.positions);
        const char piece = w.board->Squares()[CellOf(r.to)];
        if (piece == 'N' || piece == 'n') {
            // Along the row first, then along the column.
            std::vector<QPoint> expected = Leg(a, QPoint(b.x(), a.y()));
            const std::vector<QPoint> second = Leg(QPoint(b.x(), a.y()), b);
            expected.insert(expected.end(), second.begin(), second.end());
            EXPECT_EQ(Trail(), expected);
        } else {
            EXPECT_EQ(Trail(), Leg(a, b));
        }
        EXPECT_FALSE(w.Overlay()->isVisible());
    }
}

TEST_F(BoardSlide, TurnedBoardSlidesTheOtherWay) {
    w.board->SetWhiteOnTop(true);
    w.board->PaintBoard();
    ASSERT_TRUE(w.board->MakeMove(Square::E2, Square::E4));
    EXPECT_EQ(Trail(), Leg(At(Square::E2), At(Square::E4)));
    EXPECT_LT(Trail().front().y(), Trail().back().y()); // White plays downwards
}

TEST_F(BoardSlide, ThePieceLandsAfterTheSlide) {
    ASSERT_TRUE(w.board->MakeMove(Square::G1, Square::F3));
    const QImage slid = w.board->Surface().copy();
    w.board->PaintBoard();
    EXPECT_EQ(slid, w.board->Surface());
}

// AnimationDelay makes each step last longer but does not change the steps.
TEST_F(BoardSlide, DelayKeepsTheSteps) {
    w.board->SetAnimationDelay(1);
    ASSERT_TRUE(w.board->MakeMove(Square::A2, Square::A3));
    EXPECT_EQ(Trail(), Leg(At(Square::A2), At(Square::A3)));
}

TEST_F(BoardSlide, NoSlideWhenAnimateMovesIsOff) {
    w.board->SetAnimateMoves(false);
    ASSERT_TRUE(w.board->MakeMove(Square::E2, Square::E4));
    EXPECT_EQ(w.Overlay(), nullptr);
}

// A dropped move is not slid; the same squares played again later are not slid either.
TEST_F(BoardSlide, TheLastDroppedMoveIsNotSlid) {
    const QPoint p0 = Centre(*w.board, Square::E2), p1 = Centre(*w.board, Square::E4);
    Press(w.board, p0);
    MoveHeld(w.board, p1);
    Release(w.board, p1);
    ASSERT_EQ(w.board->Squares()[CellOf(Square::E4)], 'P');
    const std::vector<QPoint> dragTrail = Trail();

    w.board->NewGame();
    ASSERT_TRUE(w.board->MakeMove(Square::E2, Square::E4));
    EXPECT_EQ(Trail(), dragTrail);
    ASSERT_TRUE(w.board->MakeMove(Square::E7, Square::E5));
    EXPECT_EQ(Trail().size(), 81u);
}

// A move that arrives while the user drags a piece leaves the dragged image alone.
TEST_F(BoardSlide, NoSlideDuringAUsersDrag) {
    w.board->SetAnimateMoves(false);
    ASSERT_TRUE(w.board->MakeMove(Square::E2, Square::E4));
    w.board->SetAnimateMoves(true);
    const QPoint p0 = Centre(*w.board, Square::D2), p1 = p0 + QPoint(0, -30);
    Press(w.board, p0);
    MoveHeld(w.board, p1);
    ASSERT_TRUE(w.Overlay()->isVisible());
    const std::vector<QPoint> dragTrail = Trail();

    ASSERT_TRUE(w.board->MakeMove(Square::E7, Square::E5));
    EXPECT_EQ(Trail(), dragTrail);
    EXPECT_TRUE(w.Overlay()->isVisible());
    EXPECT_EQ(w.board->Squares()[CellOf(Square::E5)], 'p');

    const QPoint p2 = Centre(*w.board, Square::D4);
    MoveHeld(w.board, p2);
    Release(w.board, p2);
    EXPECT_EQ(w.board->Squares()[CellOf(Square::D4)], 'P');
}
