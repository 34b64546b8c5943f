// The board's geometry and the pixels its painting puts on the surface.
#include "GameBoardViewTestUtil.h"
#include "support/Screenshot.h"

#include <QDir>
#include <QFontMetrics>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <set>

using namespace view_test;

namespace {

const std::string kEmpty(64, ' ');

std::string WithPieces(std::initializer_list<std::pair<Square, char>> pieces) {
    std::string text = kEmpty;
    for (auto [q, c] : pieces) text[std::size_t(SquareIndexOf(q))] = c;
    return text;
}

// The colour of the empty square under pixel (x, y) with the default square colours.
QRgb SquareColourAt(const TGameBoard& board, int x, int y) {
    return TGameBoard::IsLightSquare(board.PixelToSquare(x, y)) ? kSilver : kGray;
}

// A board alone (not shown), painted at the given size.
struct LoneBoard {
    explicit LoneBoard(int side = 368) {
        QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
        board.LoadBuiltInPieceSet();
        board.BuildPieceImages();
        board.resize(side, side);
        board.PaintBoard();
    }
    void Repaint(int side) {
        board.resize(side, side);
        board.PaintBoard();
    }
    TGameBoard board { nullptr, false };
};

// A 240 x 160 piece set: white pieces red, black pieces blue, the green channel numbering the
// piece; each mask is opaque except a transparent 10 x 10 corner at the bottom right.
QImage SyntheticPieceSet(int cell = 40) {
    QImage set(6 * cell, 4 * cell, QImage::Format_RGB32);
    for (int row = 0; row < 4; ++row) {
        for (int j = 0; j < 6; ++j) {
            for (int y = 0; y < cell; ++y) {
                for (int x = 0; x < cell; ++x) {
                    QRgb c;
                    if (row % 2 == 1)
                        c = (x >= cell - 10 && y >= cell - 10) ? 0xFFFFFFFF : 0xFF000000;
                    else
                        c = row == 0 ? qRgb(200, 20 * j, 0) : qRgb(0, 20 * j, 200);
                    set.setPixel(j * cell + x, row * cell + y, c);
                }
            }
        }
    }
    return set;
}

// A texture whose every pixel tells its own position.
QImage PositionTexture(int w, int h, int blue) {
    QImage t(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) t.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, blue));
    return t;
}

// The bounding box of the pixels of colour c inside r.
QRect InkBox(const QImage& img, const QRect& r, QRgb c) {
    QRect box;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixel(x, y) == c) box = box.united(QRect(x, y, 1, 1));
    return box;
}

} // namespace

// ---- Geometry ----

TEST(BoardGeometry, PixelToSquareInBothOrientations) {
    struct Row {
        int x, y;
        Square normal, turned;
    };
    const Row rows[] = {
        { 23, 30, Square::None, Square::None },
        { 24, 24, Square::A8, Square::H1 },
        { 63, 63, Square::A8, Square::H1 },
        { 64, 24, Square::B8, Square::G1 },
        { 24, 343, Square::A1, Square::H8 },
        { 343, 343, Square::H1, Square::A8 },
        { 344, 100, Square::None, Square::None },
        { 100, 344, Square::None, Square::None },
        { 200, 23, Square::None, Square::None },
        { 184, 184, Square::E4, Square::D5 },
    };
    LoneBoard b;
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.x << "," << r.y);
        b.board.SetWhiteOnTop(false);
        EXPECT_EQ(b.board.PixelToSquare(r.x, r.y), r.normal);
        b.board.SetWhiteOnTop(true);
        EXPECT_EQ(b.board.PixelToSquare(r.x, r.y), r.turned);
    }
}

TEST(BoardGeometry, SquareOriginAndPixelToSquareAgreeOnEverySquare) {
    LoneBoard b;
    EXPECT_EQ(b.board.SquareOrigin(Square::A8), QPoint(24, 24));
    EXPECT_EQ(b.board.SquareOrigin(Square::H1), QPoint(304, 304));
    EXPECT_EQ(b.board.SquareOrigin(Square::E4), QPoint(184, 184));
    for (bool turned : { false, true }) {
        b.board.SetWhiteOnTop(turned);
        for (int i = 1; i <= 64; ++i) {
            const Square q = ToSquare(i);
            const QPoint o = b.board.SquareOrigin(q);
            EXPECT_EQ(b.board.PixelToSquare(o.x(), o.y()), q) << i;
            EXPECT_EQ(b.board.PixelToSquare(o.x() + 39, o.y() + 39), q) << i;
        }
    }
    EXPECT_EQ(b.board.SquareOrigin(Square::H1), QPoint(24, 24));
    EXPECT_EQ(b.board.SquareOrigin(Square::A8), QPoint(304, 304));
}

TEST(BoardGeometry, LightSquares) {
    EXPECT_TRUE(TGameBoard::IsLightSquare(Square::A8));
    EXPECT_TRUE(TGameBoard::IsLightSquare(Square::H1));
    EXPECT_TRUE(TGameBoard::IsLightSquare(Square::E4));
    EXPECT_FALSE(TGameBoard::IsLightSquare(Square::A1));
    EXPECT_FALSE(TGameBoard::IsLightSquare(Square::H8));
    EXPECT_FALSE(TGameBoard::IsLightSquare(Square::D4));
}

TEST(BoardGeometry, PaintSquaresTheBoardFromTheMeanOfWidthAndHeight) {
    struct Row {
        int w, h, side, square;
    };
    const Row rows[] = {
        { 400, 300, 344, 37 }, // ((400 + 300) / 2 - 48) / 8 = 37
        { 368, 368, 368, 40 },
        { 336, 336, 336, 36 }, // 2B + 8k keeps its size
        { 312, 312, 312, 33 },
        { 337, 337, 336, 36 },
        { 450, 368, 408, 45 },
    };
    LoneBoard b;
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.w << "x" << r.h);
        b.board.resize(r.w, r.h);
        b.board.PaintBoard();
        EXPECT_EQ(b.board.size(), QSize(r.side, r.side));
        EXPECT_EQ(b.board.Surface().size(), QSize(r.side, r.side));
        EXPECT_EQ(b.board.SizeOfSquare(), r.square);
    }
}

// ---- Squares, border, frames, lines ----

TEST(BoardPaint, SquareColoursInBothOrientations) {
    LoneBoard b;
    b.board.SetPosition(kEmpty);
    for (bool turned : { false, true }) {
        b.board.SetWhiteOnTop(turned);
        b.board.PaintBoard();
        for (int i = 1; i <= 64; ++i) {
            const Square q = ToSquare(i);
            const QRgb expected = TGameBoard::IsLightSquare(q) ? kSilver : kGray;
            const QPoint o = b.board.SquareOrigin(q);
            EXPECT_EQ(Pixel(b.board, o.x(), o.y()), expected) << i;
            EXPECT_EQ(Pixel(b.board, o.x() + 39, o.y() + 39), expected) << i;
        }
    }
    // The screen pattern does not turn: the top-left square is light either way.
    EXPECT_EQ(Pixel(b.board, 30, 30), kSilver);
    EXPECT_EQ(Pixel(b.board, 70, 30), kGray);
}

TEST(BoardPaint, BorderFillAndBothFramesInTheLineStyle) {
    LoneBoard b;
    b.board.SetPosition(kEmpty);
    b.board.SetBorderColor(RGBColor(0, 0, 255));
    b.board.SetLineStyle(QPen(QColor(255, 0, 0), 1));
    b.board.PaintBoard();
    const QRgb red = 0xFFFF0000, blue = 0xFF0000FF;
    const int w = 368, bb = 24;
    for (int v = 0; v < w; ++v) {
        ASSERT_EQ(Pixel(b.board, v, 0), red) << v;
        ASSERT_EQ(Pixel(b.board, v, w - 1), red) << v;
        ASSERT_EQ(Pixel(b.board, 0, v), red) << v;
        ASSERT_EQ(Pixel(b.board, w - 1, v), red) << v;
    }
    for (int v = bb - 1; v <= w - bb; ++v) {
        ASSERT_EQ(Pixel(b.board, v, bb - 1), red) << v;
        ASSERT_EQ(Pixel(b.board, v, w - bb), red) << v;
        ASSERT_EQ(Pixel(b.board, bb - 1, v), red) << v;
        ASSERT_EQ(Pixel(b.board, w - bb, v), red) << v;
    }
    EXPECT_EQ(Pixel(b.board, 1, 1), blue);
    EXPECT_EQ(Pixel(b.board, bb - 2, bb - 2), blue);
    EXPECT_EQ(Pixel(b.board, w - bb + 1, 200), blue);
    EXPECT_EQ(Pixel(b.board, bb, bb), kSilver);
    EXPECT_EQ(Pixel(b.board, w - bb - 1, w - bb - 1), kSilver);
    // No coordinates were asked for: the border holds no label pixel.
    EXPECT_TRUE(InkBox(b.board.Surface(), QRect(0, 0, w, w), 0xFFFFFFFF).isNull());
}

TEST(BoardPaint, GridLinesOnlyWhenBoardLinesIsOn) {
    LoneBoard b;
    b.board.SetPosition(kEmpty);
    b.board.SetLineStyle(QPen(QColor(0, 255, 0), 1));
    b.board.PaintBoard();
    const QRgb green = 0xFF00FF00;
    EXPECT_EQ(Pixel(b.board, 64, 100), SquareColourAt(b.board, 64, 100));

    b.board.SetBoardLines(true);
    b.board.PaintBoard();
    for (int i = 1; i <= 7; ++i) {
        const int at = i * 40 + 24;
        for (int v = 24; v < 344; ++v) {
            ASSERT_EQ(Pixel(b.board, at, v), green) << i << " " << v;
            ASSERT_EQ(Pixel(b.board, v, at), green) << i << " " << v;
        }
        EXPECT_NE(Pixel(b.board, at + 1, 30), green);
        EXPECT_NE(Pixel(b.board, at - 1, 30), green);
    }
}

// Redrawing single squares (as moves do) gives exactly the pixels of the full paint, with
// and without lines, in both orientations.
TEST(BoardPaint, DrawSquareAndLinesReproduceTheFullPaint) {
    LoneBoard b;
    b.board.SetPosition(kEmpty);
    b.board.SetLineStyle(QPen(QColor(0, 0, 255), 1));
    for (bool lines : { false, true }) {
        for (bool turned : { false, true }) {
            b.board.SetBoardLines(lines);
            b.board.SetWhiteOnTop(turned);
            b.board.PaintBoard();
            const QImage before = b.board.Surface().copy();
            for (int i = 1; i <= 64; ++i) {
                b.board.DrawSquare(ToSquare(i));
                b.board.DrawBoardLines();
            }
            EXPECT_EQ(b.board.Surface(), before) << lines << turned;
        }
    }
}

// ---- Textures ----

TEST(BoardPaint, SquareTextureRunsOnFromTheControlsTopLeft) {
    LoneBoard b;
    b.board.SetPosition(kEmpty);
    const QImage texture = PositionTexture(50, 50, 77);
    b.board.SetSquareDark(texture);
    b.board.PaintBoard();
    for (int y = 24; y < 344; ++y) {
        for (int x = 24; x < 344; ++x) {
            const bool light = TGameBoard::IsLightSquare(b.board.PixelToSquare(x, y));
            const QRgb expected = light ? kSilver : texture.pixel(x % 50, y % 50);
            ASSERT_EQ(Pixel(b.board, x, y), expected) << x << "," << y;
        }
    }
    // A square redrawn alone shows the same part of the texture.
    const QImage before = b.board.Surface().copy();
    for (int i = 1; i <= 64; ++i) b.board.DrawSquare(ToSquare(i));
    EXPECT_EQ(b.board.Surface(), before);
}

TEST(BoardPaint, BorderTextureTiledFromTheOrigin) {
    LoneBoard b;
    const QImage texture = PositionTexture(30, 20, 5);
    b.board.SetBorderBitmap(texture);
    b.board.PaintBoard();
    const auto onFrame = [](int v) { return v == 0 || v == 367 || v == 23 || v == 344; };
    for (int y = 0; y < 368; ++y) {
        for (int x = 0; x < 368; ++x) {
            const bool inArea = x >= 24 && x < 344 && y >= 24 && y < 344;
            if (inArea || onFrame(x) || onFrame(y)) continue;
            ASSERT_EQ(Pixel(b.board, x, y), texture.pixel(x % 30, y % 20)) << x << "," << y;
        }
    }
}

// ---- Coordinates ----

class BoardLabels : public ::testing::Test {
protected:
    void SetUp() override {
        b.board.SetDisplayCoords({ DisplayCoords::West, DisplayCoords::South, DisplayCoords::East,
            DisplayCoords::North });
        b.Repaint(336);
        ASSERT_EQ(b.board.SizeOfSquare(), 36);
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(9);
        height = QFontMetrics(font).height();
    }
    QRect Ink(const QRect& r) const { return InkBox(b.board.Surface(), r, 0xFFFFFFFF); }
    LoneBoard b;
    int height = 0;
};

// With S = 36, B = 24 and a 7-point font the label's top-left corner is (9, i * 36 + 38) on
// the west side, (i * 36 + 38, 321 - q) on the south side, q being a quarter of the text height.
TEST_F(BoardLabels, LabelsStandAtTheirPositions) {
    const int q = height / 4;
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const int along = i * 36 + 38;
        const QRect west = Ink(QRect(0, i * 36 + 24, 23, 36));
        ASSERT_FALSE(west.isNull());
        EXPECT_GE(west.left(), 9);
        EXPECT_LE(west.left(), 11);
        EXPECT_GE(west.top(), along);
        EXPECT_LE(west.bottom(), along + height - 1);
        const QRect east = Ink(QRect(313, i * 36 + 24, 22, 36));
        EXPECT_EQ(east.translated(-312, 0), west);
        const QRect south = Ink(QRect(i * 36 + 24, 313, 36, 22));
        ASSERT_FALSE(south.isNull());
        EXPECT_GE(south.left(), along);
        EXPECT_LE(south.left(), along + 2);
        EXPECT_GE(south.top(), 321 - q);
        EXPECT_LE(south.bottom(), 321 - q + height - 1);
        const QRect north = Ink(QRect(i * 36 + 24, 1, 36, 22));
        EXPECT_EQ(north.translated(0, 312), south);
    }
}

// Turning the board turns the labels: the "8" that stood at the top now stands at the bottom,
// the "A" that stood on the left now stands on the right.
TEST_F(BoardLabels, TurnedBoardNumbersTheOtherWay) {
    const QImage normal = b.board.Surface().copy();
    b.board.SetWhiteOnTop(true);
    b.board.PaintBoard();
    const QImage turned = b.board.Surface();
    const QRect west0(0, 24, 23, 36), west7 = west0.translated(0, 7 * 36);
    const QRect south0(24, 313, 36, 22), south7 = south0.translated(7 * 36, 0);
    EXPECT_EQ(normal.copy(west0), turned.copy(west7));
    EXPECT_EQ(normal.copy(south0), turned.copy(south7));
    EXPECT_NE(normal.copy(west0), normal.copy(west7));
    EXPECT_NE(normal.copy(south0), normal.copy(south7));
}

// ---- Pieces ----

TEST(BoardPieces, ImageIndexes) {
    LoneBoard b;
    const std::string letters = "PNBRQKpnbrqk";
    for (std::size_t i = 0; i < letters.size(); ++i)
        EXPECT_EQ(b.board.PieceImageIndex(letters[i]), int(i));
    EXPECT_EQ(b.board.PieceImageIndex(' '), -1);
    EXPECT_EQ(b.board.PieceImageIndex('x'), -1);
    EXPECT_EQ(b.board.PieceImageIndex('\0'), -1);
}

// A piece of P = 40 is centred with the offset (S - P) / 2 truncated toward zero: 2 pixels
// outside its square on 36-pixel squares, 2 inside on 45-pixel ones; never scaled or clipped,
// transparent where its mask is white.
TEST(BoardPieces, PieceOffsetMaskAndNoClipping) {
    struct Row {
        int side, square, offset;
        bool turned;
    };
    const Row rows[] = { { 336, 36, -2, false }, { 408, 45, 2, false }, { 336, 36, -2, true },
        { 328, 35, -2, false }, { 368, 40, 0, false } };
    const QImage set = SyntheticPieceSet();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.side);
        LoneBoard b;
        b.board.SetCustomPieceSet(&set);
        b.board.BuildPieceImages();
        b.board.SetPosition(WithPieces({ { Square::E4, 'N' }, { Square::C6, 'q' } }));
        b.board.SetWhiteOnTop(r.turned);
        b.Repaint(r.side);
        ASSERT_EQ(b.board.SizeOfSquare(), r.square);
        for (auto [q, colour] :
            { std::pair { Square::E4, qRgb(200, 20, 0) }, { Square::C6, qRgb(0, 80, 200) } }) {
            const QPoint corner = b.board.SquareOrigin(q) + QPoint(r.offset, r.offset);
            for (int y = -3; y < 43; ++y) {
                for (int x = -3; x < 43; ++x) {
                    const QPoint p = corner + QPoint(x, y);
                    const bool opaque
                        = x >= 0 && x < 40 && y >= 0 && y < 40 && !(x >= 30 && y >= 30);
                    const QRgb expected = opaque ? colour : SquareColourAt(b.board, p.x(), p.y());
                    ASSERT_EQ(Pixel(b.board, p.x(), p.y()), expected) << x << "," << y;
                }
            }
        }
    }
}

TEST(BoardPieces, CustomSetsOfOtherSizesAndInvalidOnes) {
    LoneBoard reference;
    reference.board.SetPosition(WithPieces({ { Square::D5, 'K' } }));
    reference.board.PaintBoard();

    // 100 x 100 fails the 3:2 proportion: the built-in pieces stay.
    LoneBoard b;
    const QImage square(100, 100, QImage::Format_RGB32);
    b.board.SetCustomPieceSet(&square);
    b.board.BuildPieceImages();
    b.board.SetPosition(WithPieces({ { Square::D5, 'K' } }));
    b.board.PaintBoard();
    EXPECT_EQ(b.board.Surface(), reference.board.Surface());

    // 300 x 200 gives 50-pixel pieces, drawn 5 pixels outside the 40-pixel square.
    const QImage big = SyntheticPieceSet(50);
    b.board.SetCustomPieceSet(&big);
    b.board.BuildPieceImages();
    b.board.PaintBoard();
    const QPoint o = b.board.SquareOrigin(Square::D5);
    EXPECT_EQ(Pixel(b.board, o.x() - 5, o.y() - 5), qRgb(200, 100, 0));
    EXPECT_EQ(Pixel(b.board, o.x() + 44, o.y() - 5), qRgb(200, 100, 0));
    EXPECT_EQ(Pixel(b.board, o.x() - 6, o.y() - 6), SquareColourAt(b.board, o.x() - 6, o.y() - 6));

    // No bitmap at all: back to the built-in set.
    b.board.SetCustomPieceSet(nullptr);
    b.board.BuildPieceImages();
    b.board.PaintBoard();
    EXPECT_EQ(b.board.Surface(), reference.board.Surface());
}

TEST(BoardPieces, BuiltInSetIsLoadedAndDrawn) {
    LoneBoard b;
    b.board.SetPosition(kEmpty);
    b.board.PaintBoard();
    const QImage empty = b.board.Surface().copy();
    b.board.SetPosition(TChessModel::StartPosition);
    b.board.PaintBoard();
    // Each of the 32 pieces changes its own square; the empty middle stays as it was.
    for (int i = 1; i <= 64; ++i) {
        const QRect cell(b.board.SquareOrigin(ToSquare(i)), QSize(40, 40));
        const bool same = b.board.Surface().copy(cell) == empty.copy(cell);
        EXPECT_EQ(same, i > 16 && i <= 48) << i;
    }
}

// ---- Repaints ----

TEST(BoardPaint, EveryPaintFiresOnPaintAndTheFirstStartsThePollTimer) {
    TGameBoard board(nullptr, false);
    int paints = 0;
    board.OnPaint = [&](TChessModel* sender) {
        EXPECT_EQ(sender, &board);
        ++paints;
    };
    const auto pollTimerRunning = [&] {
        for (const QTimer* t : board.findChildren<QTimer*>())
            if (t->isActive() && t->interval() == 500) return true;
        return false;
    };
    EXPECT_FALSE(pollTimerRunning());
    board.PaintBoard();
    EXPECT_EQ(paints, 1);
    EXPECT_TRUE(pollTimerRunning());
    board.PaintBoard();
    EXPECT_EQ(paints, 2);
}

// A move redraws only its two squares; the result is the picture a full paint gives.
TEST(BoardPaint, MoveRedrawsOnlyItsSquares) {
    LoneBoard b;
    b.board.SetAnimateMoves(false);
    const QImage before = b.board.Surface().copy();
    ASSERT_TRUE(b.board.MakeMove(Square::E2, Square::E4));
    const QRect e2(b.board.SquareOrigin(Square::E2), QSize(40, 40));
    const QRect e4(b.board.SquareOrigin(Square::E4), QSize(40, 40));
    int changed = 0;
    for (int y = 0; y < 368; ++y) {
        for (int x = 0; x < 368; ++x) {
            if (b.board.Surface().pixel(x, y) == before.pixel(x, y)) continue;
            ++changed;
            ASSERT_TRUE(e2.contains(x, y) || e4.contains(x, y)) << x << "," << y;
        }
    }
    EXPECT_GT(changed, 0);
    LoneBoard fresh;
    fresh.board.SetPosition(b.board.Position());
    fresh.board.PaintBoard();
    EXPECT_EQ(b.board.Surface(), fresh.board.Surface());
}

TEST(BoardPaint, TheWidgetShowsTheSurface) {
    BoardWindow w;
    w.board->DrawSquare(Square::E2); // a change of the surface alone, shown on the next paint
    const QImage shown = w.board->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, w.board->Surface());
}

// The window's board (36-pixel squares, 24-pixel border, coordinates west and south, the
// three textures) in the starting position, saved for a look at it.
TEST(BoardPaint, ScreenshotOfTheWindowsBoard) {
    LoneBoard b;
    const QImage border(QStringLiteral(":/BorderTexture.bmp"));
    const QImage dark(QStringLiteral(":/SquareDark.bmp"));
    const QImage light(QStringLiteral(":/SquareLight.bmp"));
    ASSERT_FALSE(border.isNull());
    ASSERT_FALSE(dark.isNull());
    ASSERT_FALSE(light.isNull());
    b.board.SetBorderBitmap(border);
    b.board.SetSquareDark(dark);
    b.board.SetSquareLight(light);
    b.board.SetDisplayCoords({ DisplayCoords::West, DisplayCoords::South });
    b.Repaint(336);
    ASSERT_EQ(b.board.Surface().size(), QSize(336, 336));
    const QImage borderRgb = border.convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(Pixel(b.board, 5, 2), borderRgb.pixel(5, 2));
    EXPECT_EQ(Pixel(b.board, 100, 160), dark.convertToFormat(QImage::Format_RGB32).pixel(100, 58));
    SaveScreenshot(b.board.Surface(), QStringLiteral("GameBoardTextured"));
}

// ---- High-density screens ----

namespace {

// The window's look: coordinates on all four sides, grid lines, the built-in textures.
void DressLikeTheWindow(TGameBoard& board) {
    board.SetBorderBitmap(QImage(QStringLiteral(":/BorderTexture.bmp")));
    board.SetSquareDark(QImage(QStringLiteral(":/SquareDark.bmp")));
    board.SetSquareLight(QImage(QStringLiteral(":/SquareLight.bmp")));
    board.SetDisplayCoords(
        { DisplayCoords::West, DisplayCoords::North, DisplayCoords::East, DisplayCoords::South });
    TFont font = board.CoordFont();
    font.Color = RGBColor(255, 255, 255);
    board.SetCoordFont(font);
    board.SetBoardLines(true);
}

// The picture as plain device pixels (ratio 1), for pixel-by-pixel comparison.
QImage DevicePixels(const QImage& picture) {
    QImage plain = picture.convertToFormat(QImage::Format_RGB32);
    plain.setDevicePixelRatio(1);
    return plain;
}

// Device pixels in `rect` (given in device pixels) where a and b differ.
int Differences(const QImage& a, const QImage& b, const QRect& rect) {
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

} // namespace

// At ratio 1 the fresh rendering is the shown surface, pixel for pixel.
TEST(BoardHighDensity, RatioOneRenderingIsTheSurface) {
    LoneBoard b;
    DressLikeTheWindow(b.board);
    b.board.SetPosition(TChessModel::StartPosition);
    b.board.PaintBoard();
    const QImage one = b.board.RenderedAt(1);
    EXPECT_EQ(one.devicePixelRatio(), 1.0);
    EXPECT_EQ(one, b.board.Surface());
}

// At ratio 2 the layout stays in logical pixels: frames, grid lines and squares stand at the
// doubled device positions, each one-pixel line two device pixels wide.
TEST(BoardHighDensity, RatioTwoKeepsTheGeometryAtDoubledPositions) {
    LoneBoard b;
    b.board.SetPosition(kEmpty);
    b.board.SetBorderColor(RGBColor(0, 0, 255));
    b.board.SetLineStyle(QPen(QColor(255, 0, 0), 1));
    b.board.SetBoardLines(true);
    b.board.PaintBoard();
    const QImage two = b.board.RenderedAt(2);
    ASSERT_EQ(two.size(), QSize(736, 736));
    EXPECT_EQ(two.devicePixelRatio(), 2.0);
    EXPECT_EQ(two.deviceIndependentSize().toSize(), QSize(368, 368));
    EXPECT_EQ(b.board.width(), 368); // the logical size is unchanged
    const QImage px = DevicePixels(two);
    SaveScreenshot(px, QStringLiteral("GameBoardRatio2Lines"));
    const QRgb red = 0xFFFF0000, blue = 0xFF0000FF;
    // The outer frame fills device rows and columns 0, 1 and 734, 735.
    for (int v = 0; v < 736; v += 5) {
        for (int d : { 0, 1, 734, 735 }) {
            ASSERT_EQ(px.pixel(v, d), red) << v << " " << d;
            ASSERT_EQ(px.pixel(d, v), red) << v << " " << d;
        }
    }
    // The inner frame: logical 23 and 344, device 46, 47 and 688, 689.
    for (int v = 46; v < 690; v += 3) {
        for (int d : { 46, 47, 688, 689 }) {
            ASSERT_EQ(px.pixel(v, d), red) << v << " " << d;
            ASSERT_EQ(px.pixel(d, v), red) << v << " " << d;
        }
    }
    EXPECT_EQ(px.pixel(2, 2), blue);
    EXPECT_EQ(px.pixel(45, 45), blue);
    // Grid line i at logical i * 40 + 24: device columns and rows 2 * that and the next one.
    for (int i = 1; i <= 7; ++i) {
        const int at = 2 * (i * 40 + 24);
        for (int v = 48; v < 688; v += 7) {
            ASSERT_EQ(px.pixel(at, v), red) << i << " " << v;
            ASSERT_EQ(px.pixel(at + 1, v), red) << i << " " << v;
            ASSERT_EQ(px.pixel(v, at), red) << i << " " << v;
            ASSERT_EQ(px.pixel(v, at + 1), red) << i << " " << v;
        }
        EXPECT_NE(px.pixel(at - 1, 60), red);
        EXPECT_NE(px.pixel(at + 2, 60), red);
    }
    // A8 covers logical (24, 24) to (63, 63): device (48, 48) to (127, 127), light.
    EXPECT_EQ(px.pixel(48, 48), kSilver);
    EXPECT_EQ(px.pixel(127, 127), kSilver);
    EXPECT_EQ(px.pixel(130, 60), kGray); // B8
}

// At ratio 2 the board is drawn at full resolution, not as an enlarged 1x picture: wherever the
// 1x picture is flat (the inside of a plain square) the two agree, but the pieces and the
// coordinate labels differ from a nearest-neighbour enlargement of the 1x rendering.
TEST(BoardHighDensity, RatioTwoIsDrawnAtFullResolution) {
    LoneBoard b;
    b.board.SetPosition(TChessModel::StartPosition);
    b.board.SetDisplayCoords({ DisplayCoords::West, DisplayCoords::South });
    TFont font = b.board.CoordFont();
    font.Color = RGBColor(255, 255, 255);
    b.board.SetCoordFont(font);
    b.board.PaintBoard();
    const QImage one = b.board.RenderedAt(1);
    const QImage two = DevicePixels(b.board.RenderedAt(2));
    const QImage enlarged = one.scaled(one.size() * 2); // nearest neighbour
    ASSERT_EQ(two.size(), enlarged.size());

    // An empty square (E4) is flat colour: the same at both resolutions.
    const QRect e4(b.board.SquareOrigin(Square::E4) * 2, QSize(80, 80));
    EXPECT_EQ(Differences(two, enlarged, e4), 0);
    // Every piece's square shows finer artwork than the enlargement.
    for (Square q : { Square::A8, Square::E8, Square::D1, Square::G1, Square::C7, Square::H2 }) {
        const QRect cell(b.board.SquareOrigin(q) * 2, QSize(80, 80));
        EXPECT_GT(Differences(two, enlarged, cell), 40) << ToInt(q);
    }
    // The labels in the West and South border are drawn anew at the finer resolution.
    EXPECT_GT(Differences(two, enlarged, QRect(0, 48, 48, 640)), 20);
    EXPECT_GT(Differences(two, enlarged, QRect(48, 688, 640, 48)), 20);
    SaveScreenshot(two, QStringLiteral("GameBoardRatio2"));
    SaveScreenshot(enlarged, QStringLiteral("GameBoardRatio1Enlarged"));
}

// With the built-in textures the 2x twins fill the squares and the border: their tiles keep the
// textures' logical sizes, so the pattern is the 1x pattern with finer detail.
TEST(BoardHighDensity, RatioTwoTakesTheFineTexturesInTheSameTiling) {
    LoneBoard b;
    DressLikeTheWindow(b.board);
    b.board.SetBoardLines(false);
    b.board.SetDisplayCoords({});
    b.board.SetPosition(kEmpty);
    b.board.PaintBoard();
    const QImage two = DevicePixels(b.board.RenderedAt(2));
    const QImage fineBorder
        = QImage(QStringLiteral(":/BorderTexture@2x.bmp")).convertToFormat(QImage::Format_RGB32);
    const QImage fineDark
        = QImage(QStringLiteral(":/SquareDark@2x.bmp")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(fineBorder.size(), QSize(256, 256));
    ASSERT_EQ(fineDark.size(), QSize(208, 204));
    // The border tile starts at the origin; the second one at logical 128, device 256.
    EXPECT_EQ(two.pixel(10, 6), fineBorder.pixel(10, 6));
    EXPECT_EQ(two.pixel(260, 20), fineBorder.pixel(4, 20));
    // B8 is dark; logical (70, 30) lies in the first dark tile at device (140, 60).
    EXPECT_EQ(two.pixel(140, 60), fineDark.pixel(140, 60));
    // Logical (150, 30) (D8, dark) lies in the second tile: logical x 150 - 104 = 46.
    EXPECT_EQ(two.pixel(300, 60), fineDark.pixel(92, 60));
}

// A fractional ratio (1.5) keeps the logical layout and scales the artwork smoothly, not pixel
// by pixel: the pieces show blended edge colours that neither the piece set nor the squares
// contain. (Which artwork is taken above ratio 1 is checked at ratio 2.)
TEST(BoardHighDensity, FractionalRatioScalesTheFineArtDownSmoothly) {
    LoneBoard b;
    b.board.SetPosition(WithPieces({ { Square::E4, 'N' } }));
    b.board.PaintBoard();
    const QImage picture = DevicePixels(b.board.RenderedAt(1.5));
    ASSERT_EQ(picture.size(), QSize(552, 552));
    EXPECT_EQ(picture.pixel(int(30 * 1.5), int(30 * 1.5)), kSilver); // A8
    EXPECT_EQ(picture.pixel(int(70 * 1.5), int(30 * 1.5)), kGray); // B8
    const QRect cell(b.board.SquareOrigin(Square::E4) * 1.5, QSize(60, 60));
    const QImage set
        = QImage(QStringLiteral(":/PIECESET40@2x")).convertToFormat(QImage::Format_RGB32);
    std::set<QRgb> artColours;
    for (int y = 0; y < set.height(); ++y)
        for (int x = 0; x < set.width(); ++x) artColours.insert(set.pixel(x, y));
    int blended = 0, piece = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QRgb c = picture.pixel(x, y);
            if (c == kSilver || c == kGray) continue;
            ++piece;
            blended += artColours.count(c) == 0;
        }
    EXPECT_GT(piece, 600); // about the 1x knight's pixels times 2.25
    EXPECT_GT(blended, 20);
}
