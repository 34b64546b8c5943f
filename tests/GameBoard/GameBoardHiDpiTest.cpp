// The board on a screen with a device pixel ratio of 2 (a 2x laptop screen, or QT_SCALE_FACTOR=2):
// the shown picture and the dragged piece have the screen's resolution, in the same logical
// layout as at ratio 1.
#include "GameBoardViewTestUtil.h"

#include <gtest/gtest.h>

using namespace view_test;

namespace {

// The scale factor must be known before the application object exists, and static
// initialisation runs before main.
const bool kScaledByTwo = [] {
    qputenv("QT_SCALE_FACTOR", "2");
    return true;
}();

// Aligned 2 x 2 blocks of device pixels inside rect whose four pixels are not all alike. A 1x
// picture enlarged by pixel doubling has none.
int MixedBlocks(const QImage& image, const QRect& rect) {
    int mixed = 0;
    for (int y = rect.top() & ~1; y + 1 <= rect.bottom(); y += 2)
        for (int x = rect.left() & ~1; x + 1 <= rect.right(); x += 2) {
            const QRgb c = image.pixel(x, y);
            mixed += image.pixel(x + 1, y) != c || image.pixel(x, y + 1) != c
                || image.pixel(x + 1, y + 1) != c;
        }
    return mixed;
}

QImage DevicePixels(const QImage& picture) {
    QImage plain = picture.convertToFormat(QImage::Format_RGB32);
    plain.setDevicePixelRatio(1);
    return plain;
}

TEST(BoardAtRatioTwo, ShowsItsPictureAtTheScreensResolution) {
    ASSERT_TRUE(kScaledByTwo);
    BoardWindow w;
    TGameBoard* board = w.board;
    ASSERT_EQ(board->devicePixelRatioF(), 2.0);
    EXPECT_EQ(board->size(), QSize(368, 368)); // logical layout as at ratio 1
    EXPECT_EQ(board->SquareOrigin(Square::H1), QPoint(304, 304));
    const QImage surface = board->Surface();
    ASSERT_EQ(surface.size(), QSize(736, 736));
    EXPECT_EQ(surface.devicePixelRatio(), 2.0);

    const QPixmap shown = board->grab();
    EXPECT_EQ(shown.devicePixelRatio(), 2.0);
    EXPECT_EQ(DevicePixels(shown.toImage()), DevicePixels(surface));
    // The pieces are drawn from the fine artwork, not doubled.
    const QRect king(board->SquareOrigin(Square::E1) * 2, QSize(80, 80));
    EXPECT_GT(MixedBlocks(DevicePixels(surface), king), 40);
}

TEST(BoardAtRatioTwo, DraggedPieceHasTheScreensResolutionAndItsLogicalSize) {
    BoardWindow w;
    TGameBoard* board = w.board;
    const QPoint p0 = Centre(*board, Square::G1);
    const QPoint p1 = p0 + QPoint(0, -30);
    Press(board, p0);
    MoveHeld(board, p0 + QPoint(0, -6));
    MoveHeld(board, p1);
    TDragOverlay* overlay = w.Overlay();
    ASSERT_NE(overlay, nullptr);
    ASSERT_TRUE(overlay->isVisible());
    EXPECT_EQ(overlay->pos(), w.DragImageAt(p1));
    EXPECT_EQ(overlay->size(), QSize(40, 40));
    const QPixmap image = overlay->grab();
    ASSERT_EQ(image.size(), QSize(80, 80));
    EXPECT_GT(MixedBlocks(DevicePixels(image.toImage()), QRect(0, 0, 80, 80)), 40);
    Release(board, p1);
    EXPECT_FALSE(overlay->isVisible());
}

} // namespace
