// Moving pieces with the mouse: arming, the 5-pixel threshold, the dragged image, the drop
// test, cancellation, the toolkit's events, and corner resizing.
#include "GameBoardViewTestUtil.h"

#include <QTest>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace view_test;

namespace {

// A board in a window with every event of a drag logged.
class BoardDrag : public ::testing::Test {
protected:
    void SetUp() override {
        board = w.board;
        board->OnMouseDown = [this](TChessModel*, Qt::MouseButton, Qt::KeyboardModifiers, int,
                                 int) { log.push_back("down"); };
        board->OnMouseUp = [this](TChessModel*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
            log.push_back("up");
        };
        board->OnClick = [this](TChessModel*) { log.push_back("click"); };
        board->OnStartDrag = [this](TChessModel*) { log.push_back("start"); };
        board->OnDragOver = [this](TChessModel* sender, QObject* source, int, int, bool& accept) {
            EXPECT_EQ(sender, board);
            EXPECT_EQ(source, board);
            EXPECT_TRUE(accept);
            if (log.empty() || log.back() != "over") log.push_back("over");
        };
        board->OnDragDrop = [this](TChessModel*, QObject* source, int x, int y) {
            EXPECT_EQ(source, board);
            log.push_back("drop " + std::to_string(x) + "," + std::to_string(y));
        };
        board->OnEndDrag = [this](TChessModel*, QObject* target, int, int) {
            log.push_back(target == board ? "end on board" : "end nowhere");
        };
        board->OnLegalMove = [this](TChessModel*, Square from, Square to) {
            log.push_back("legal " + std::to_string(ToInt(from)) + "-" + std::to_string(ToInt(to)));
        };
        board->OnIllegalMove = [this](TChessModel* sender, Square q) {
            EXPECT_EQ(sender, board);
            log.push_back("illegal " + std::to_string(ToInt(q)));
        };
        startPicture = board->Surface().copy();
    }

    // Press on from, pass the threshold, go to each point, release at the last one.
    void Drag(Square from, std::vector<QPoint> path) {
        const QPoint p0 = Centre(*board, from);
        Press(board, p0);
        MoveHeld(board, p0 + QPoint(6, 0));
        for (const QPoint& p : path) MoveHeld(board, p);
        Release(board, path.back());
    }

    static std::string Num(Square q) { return std::to_string(ToInt(q)); }

    BoardWindow w;
    TGameBoard* board = nullptr;
    std::vector<std::string> log;
    QImage startPicture;
};

} // namespace

TEST_F(BoardDrag, DraggingE2ToE4PlaysTheMoveWithoutASlide) {
    const QPoint p0 = Centre(*board, Square::E2);
    const QPoint p1 = p0 + QPoint(6, 0);
    const QPoint p2 = Centre(*board, Square::E4) + QPoint(3, -4);
    Press(board, p0);
    MoveHeld(board, p1);
    // The piece has left its square: E2 shows empty, the image floats above the window.
    TDragOverlay* overlay = w.Overlay();
    ASSERT_NE(overlay, nullptr);
    EXPECT_TRUE(overlay->isVisible());
    EXPECT_EQ(overlay->pos(), w.DragImageAt(p1));
    const QPoint e2 = board->SquareOrigin(Square::E2);
    EXPECT_EQ(Pixel(*board, e2.x() + 20, e2.y() + 20), kSilver);
    // The window shows the pawn of the built-in set where the overlay stands, with the board
    // showing through where the pawn's mask is white.
    const QImage set = QImage(QStringLiteral(":/PIECESET40")).convertToFormat(QImage::Format_RGB32);
    const QImage shown = w.window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage boardShown = board->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int opaque = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const QPoint at = overlay->pos() + QPoint(x, y);
            const bool clear = (set.pixel(x, 40 + y) & 0xFFFFFF) == 0xFFFFFF;
            const QRgb under = boardShown.pixel(board->mapFrom(w.window.get(), at));
            ASSERT_EQ(shown.pixel(at), clear ? under : set.pixel(x, y)) << x << "," << y;
            opaque += !clear;
        }
    }
    EXPECT_GT(opaque, 100);
    MoveHeld(board, p2);
    Release(board, p2);

    EXPECT_EQ(board->Squares()[CellOf(Square::E4)], 'P');
    EXPECT_EQ(board->Squares()[CellOf(Square::E2)], ' ');
    EXPECT_EQ(board->DragStartSquare(), Square::E2);
    EXPECT_EQ(board->DropSquare(), Square::E4);
    const std::vector<std::string> expected = { "down", "start", "over",
        "drop " + std::to_string(p2.x()) + "," + std::to_string(p2.y()),
        "legal " + Num(Square::E2) + "-" + Num(Square::E4), "end on board" };
    EXPECT_EQ(log, expected);
    // The image followed the pointer half a square up and left of it; no slide came after.
    const std::vector<QPoint> trail = { w.DragImageAt(p1), w.DragImageAt(p2), w.DragImageAt(p2) };
    EXPECT_EQ(overlay->Trail(), trail);
    EXPECT_FALSE(overlay->isVisible());
    // The picture is the one a full paint of the new position gives.
    const QImage dragged = board->Surface().copy();
    board->PaintBoard();
    EXPECT_EQ(dragged, board->Surface());
}

TEST_F(BoardDrag, RefusedEndsPutThePieceBackAndReportIt) {
    struct Case {
        const char* name;
        Square from;
        QPoint to; // board coordinates of the release
    };
    const Case cases[] = {
        { "illegal square", Square::E2, Centre(*board, Square::E5) },
        { "border", Square::E2, QPoint(200, 350) },
        { "outside the board", Square::E2, QPoint(-25, 400) },
        { "black piece while White moves", Square::E7, Centre(*board, Square::E5) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        Drag(c.from, { c.to });
        const std::vector<std::string> expected
            = { "down", "start", "illegal " + Num(c.from), "end nowhere" };
        std::vector<std::string> events = log;
        std::erase(events, "over");
        EXPECT_EQ(events, expected);
        EXPECT_EQ(board->Position(), TChessModel::StartPosition);
        EXPECT_EQ(board->Surface(), startPicture);
        EXPECT_FALSE(w.Overlay()->isVisible());
    }
}

TEST_F(BoardDrag, TheImageFollowsThePointerOutsideTheBoard) {
    const QPoint outside(-25, 400);
    const QPoint p0 = Centre(*board, Square::B1);
    Press(board, p0);
    MoveHeld(board, p0 + QPoint(0, -8));
    MoveHeld(board, outside);
    EXPECT_EQ(w.Overlay()->pos(), w.DragImageAt(outside));
    Release(board, outside);
}

TEST_F(BoardDrag, DropOnItsOwnSquarePutsThePieceBackSilently) {
    Drag(Square::G1, { Centre(*board, Square::G1) + QPoint(-12, 12) });
    const std::vector<std::string> expected = { "down", "start", "over",
        "drop " + std::to_string(Centre(*board, Square::G1).x() - 12) + ","
            + std::to_string(Centre(*board, Square::G1).y() + 12),
        "end on board" };
    EXPECT_EQ(log, expected);
    EXPECT_EQ(board->DropSquare(), Square::G1);
    EXPECT_EQ(board->Surface(), startPicture);
}

TEST_F(BoardDrag, EscapeCancelsTheDrag) {
    const QPoint p0 = Centre(*board, Square::D2);
    Press(board, p0);
    MoveHeld(board, p0 + QPoint(0, -45));
    QTest::keyClick(board, Qt::Key_Escape);
    EXPECT_EQ(log,
        (std::vector<std::string> {
            "down", "start", "over", "illegal " + Num(Square::D2), "end nowhere" }));
    EXPECT_FALSE(w.Overlay()->isVisible());
    EXPECT_EQ(board->Surface(), startPicture);
    // The release that follows is an ordinary one: no further drag event.
    log.clear();
    Release(board, p0 + QPoint(0, -45));
    EXPECT_EQ(log, (std::vector<std::string> { "up" }));
    EXPECT_EQ(board->Position(), TChessModel::StartPosition);
}

// A disabled board receives no release: the drag is cancelled at once and a later press
// starts afresh.
TEST_F(BoardDrag, DisablingTheBoardCancelsTheDrag) {
    const QPoint p0 = Centre(*board, Square::E2);
    Press(board, p0);
    MoveHeld(board, p0 + QPoint(0, -20));
    board->setEnabled(false);
    EXPECT_EQ(log,
        (std::vector<std::string> {
            "down", "start", "over", "illegal " + Num(Square::E2), "end nowhere" }));
    EXPECT_FALSE(w.Overlay()->isVisible());
    EXPECT_EQ(board->Surface(), startPicture);
    board->setEnabled(true);
    log.clear();
    Drag(Square::E2, { Centre(*board, Square::E4) });
    EXPECT_EQ(board->Squares()[CellOf(Square::E4)], 'P');
}

TEST_F(BoardDrag, ReleaseBeforeFivePixelsIsAnIllegalMove) {
    const QPoint p0 = Centre(*board, Square::E2);
    Press(board, p0);
    MoveHeld(board, p0 + QPoint(4, -4)); // below the threshold: the drag is still only armed
    EXPECT_EQ(w.Overlay(), nullptr);
    Release(board, p0 + QPoint(4, -4));
    EXPECT_EQ(log,
        (std::vector<std::string> {
            "down", "start", "illegal " + Num(Square::E2), "end nowhere" }));
    EXPECT_EQ(board->Surface(), startPicture);

    // Five pixels make it active.
    log.clear();
    Press(board, p0);
    MoveHeld(board, p0 + QPoint(0, 5));
    ASSERT_NE(w.Overlay(), nullptr);
    EXPECT_TRUE(w.Overlay()->isVisible());
    Release(board, p0 + QPoint(0, 5));
}

TEST_F(BoardDrag, NothingIsArmedWhileTagIsSetOrOffThePieces) {
    board->SetTag(1);
    Drag(Square::E2, { Centre(*board, Square::E4) });
    EXPECT_EQ(log, (std::vector<std::string> { "down", "click", "up" }));
    EXPECT_EQ(board->Position(), TChessModel::StartPosition);
    EXPECT_EQ(w.Overlay(), nullptr);

    board->SetTag(0);
    for (QPoint p : { Centre(*board, Square::E4), QPoint(10, 10) }) {
        log.clear();
        Press(board, p);
        MoveHeld(board, p + QPoint(20, 0));
        Release(board, p + QPoint(20, 0));
        EXPECT_EQ(log, (std::vector<std::string> { "down", "click", "up" }));
    }
}

TEST_F(BoardDrag, AnyButtonArmsAndTheRightButtonDropsToo) {
    const QPoint p0 = Centre(*board, Square::G1);
    const QPoint p1 = Centre(*board, Square::F3);
    Press(board, p0, Qt::RightButton);
    MoveHeld(board, p0 + QPoint(-10, -10), Qt::RightButton);
    MoveHeld(board, p1, Qt::RightButton);
    Release(board, p1, Qt::RightButton);
    EXPECT_EQ(board->Squares()[CellOf(Square::F3)], 'N');
}

// The second press of a double click fires OnDblClick, then acts as a press: it arms a drag.
TEST_F(BoardDrag, DoubleClickOnAPiece) {
    board->OnDblClick = [this](TChessModel*) { log.push_back("dblclick"); };
    const QPoint p = Centre(*board, Square::B1);
    Press(board, p);
    Release(board, p);
    SendMouse(board, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
    Release(board, p);
    const std::string b1 = "illegal " + Num(Square::B1);
    EXPECT_EQ(log,
        (std::vector<std::string> {
            "down", "start", b1, "end nowhere", "dblclick", "down", "start", b1, "end nowhere" }));
}

// The cursor tells whether the board would take the piece where it is.
TEST_F(BoardDrag, DragCursorWhereTheDropWouldBeAccepted) {
    const QPoint p0 = Centre(*board, Square::E2);
    Press(board, p0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    MoveHeld(board, Centre(*board, Square::E4));
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), board->DragCursor().shape());
    MoveHeld(board, Centre(*board, Square::E5));
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::ForbiddenCursor);
    Release(board, Centre(*board, Square::E5));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// ---- Corner resizing ----

class BoardResize : public BoardDrag {
protected:
    void SetUp() override {
        BoardDrag::SetUp();
        board->SetResizable(true);
    }
};

TEST_F(BoardResize, CornerDragSetsTheWidthWithinTheLimits) {
    std::vector<int> moves; // widths seen by OnMouseMove, which fires before the resize
    board->OnMouseMove
        = [&](TChessModel*, Qt::KeyboardModifiers, int, int) { moves.push_back(board->width()); };
    Press(board, QPoint(365, 365));
    EXPECT_EQ(log, (std::vector<std::string> { "down" })); // the corner lies in the border
    struct Step {
        QPoint to;
        int width;
    };
    const Step steps[] = { { { 366, 366 }, 366 }, { { 450, 430 }, 450 }, { { 50, 60 }, 100 },
        { { 1200, 900 }, 1000 } };
    for (const Step& s : steps) {
        MoveHeld(board, s.to);
        EXPECT_EQ(board->width(), s.width) << s.to.x();
        EXPECT_EQ(board->height(), 368);
    }
    EXPECT_EQ(moves, (std::vector<int> { 368, 366, 450, 100 }));
    MoveHeld(board, QPoint(450, 430));
    Release(board, QPoint(450, 430));
    board->PaintBoard();
    EXPECT_EQ(board->size(), QSize(408, 408));
    EXPECT_EQ(board->SizeOfSquare(), 45);
    // Released: moving on changes nothing.
    MoveHeld(board, QPoint(600, 600), Qt::NoButton);
    EXPECT_EQ(board->width(), 408);
}

TEST_F(BoardResize, SizingCursorOnlyInTheCornerZone) {
    board->setCursor(Qt::PointingHandCursor);
    MoveHeld(board, QPoint(357, 360), Qt::NoButton);
    EXPECT_EQ(board->cursor().shape(), Qt::PointingHandCursor);
    MoveHeld(board, QPoint(358, 358), Qt::NoButton);
    EXPECT_EQ(board->cursor().shape(), Qt::SizeFDiagCursor);
    MoveHeld(board, QPoint(368, 368), Qt::NoButton);
    EXPECT_EQ(board->cursor().shape(), Qt::SizeFDiagCursor);
    MoveHeld(board, QPoint(200, 200), Qt::NoButton);
    EXPECT_EQ(board->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(board->width(), 368); // no button held: no resize

    board->SetResizable(false);
    MoveHeld(board, QPoint(365, 365), Qt::NoButton);
    EXPECT_EQ(board->cursor().shape(), Qt::PointingHandCursor);
}
