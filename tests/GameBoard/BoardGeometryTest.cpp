// The board's geometry as a value: squares, pixels and piece rectangles for square sizes,
// borders and orientations a default board never has, without a widget.
#include "GameBoard/BoardGeometry.h"

#include "GameBoard/Rules/SquareNames.h"
#include "GameBoard/Rules/SquareNumbering.h"

#include <gtest/gtest.h>
#include <ostream>

// Readable failure messages.
void PrintTo(Square q, std::ostream* out) {
    *out << FormatSquare(q);
}
void PrintTo(const QPoint& p, std::ostream* out) {
    *out << "(" << p.x() << ", " << p.y() << ")";
}
void PrintTo(const QRect& r, std::ostream* out) {
    *out << "(" << r.x() << ", " << r.y() << ") " << r.width() << "x" << r.height();
}

namespace {

// Geometries with uneven sizes, a missing border and the smallest square.
const TBoardGeometry kGeometries[] = {
    { 40, 24, false, 40 },
    { 40, 24, true, 40 },
    { 37, 0, false, 40 },
    { 37, 0, true, 40 },
    { 13, 7, true, 20 },
    { 1, 5, false, 40 },
};

testing::Message Describe(const TBoardGeometry& g) {
    return testing::Message() << "square " << g.SquareSize() << " border " << g.Border()
                              << (g.WhiteOnTop() ? " white on top" : "");
}

} // namespace

TEST(TBoardGeometryTest, SquareOriginsInBothOrientations) {
    struct Row {
        TBoardGeometry geometry;
        Square square;
        QPoint origin;
    };
    const Row rows[] = {
        { { 40, 24, false, 40 }, Square::A8, { 24, 24 } },
        { { 40, 24, false, 40 }, Square::H1, { 304, 304 } },
        { { 40, 24, false, 40 }, Square::B7, { 64, 64 } },
        { { 40, 24, true, 40 }, Square::H1, { 24, 24 } },
        { { 40, 24, true, 40 }, Square::A8, { 304, 304 } },
        { { 40, 24, true, 40 }, Square::B7, { 264, 264 } },
        { { 37, 0, false, 40 }, Square::H8, { 259, 0 } },
        { { 37, 0, false, 40 }, Square::A1, { 0, 259 } },
        { { 37, 0, true, 40 }, Square::H8, { 0, 259 } },
        { { 37, 0, true, 40 }, Square::A1, { 259, 0 } },
        { { 13, 7, true, 20 }, Square::E4, { 7 + 3 * 13, 7 + 3 * 13 } },
        { { 13, 7, false, 20 }, Square::E4, { 7 + 4 * 13, 7 + 4 * 13 } },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(Describe(r.geometry) << " " << FormatSquare(r.square));
        EXPECT_EQ(r.geometry.SquareOrigin(r.square), r.origin);
        EXPECT_EQ(r.geometry.SquareRect(r.square),
            QRect(r.origin, QSize(r.geometry.SquareSize(), r.geometry.SquareSize())));
    }
}

TEST(TBoardGeometryTest, PixelToSquareAtTheEdgesOfThePlayingArea) {
    struct Row {
        TBoardGeometry geometry;
        int x, y;
        Square square;
    };
    const Row rows[] = {
        { { 37, 10, false, 40 }, 9, 10, Square::None }, // left of the playing area
        { { 37, 10, false, 40 }, 10, 9, Square::None }, // above it
        { { 37, 10, false, 40 }, 10, 10, Square::A8 },
        { { 37, 10, false, 40 }, 46, 46, Square::A8 },
        { { 37, 10, false, 40 }, 47, 10, Square::B8 },
        { { 37, 10, false, 40 }, 305, 305, Square::H1 }, // the last pixel: 10 + 8 * 37 - 1
        { { 37, 10, false, 40 }, 306, 305, Square::None },
        { { 37, 10, false, 40 }, 305, 306, Square::None },
        { { 37, 10, true, 40 }, 10, 10, Square::H1 },
        { { 37, 10, true, 40 }, 47, 10, Square::G1 },
        { { 37, 10, true, 40 }, 10, 47, Square::H2 },
        { { 37, 10, true, 40 }, 305, 305, Square::A8 },
        { { 37, 10, true, 40 }, 306, 100, Square::None },
        { { 1, 0, false, 40 }, 0, 7, Square::A1 },
        { { 1, 0, true, 40 }, 0, 7, Square::H8 },
        { { 1, 0, true, 40 }, -1, 0, Square::None },
        { { 1, 0, true, 40 }, 8, 0, Square::None },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(Describe(r.geometry) << " pixel " << r.x << "," << r.y);
        EXPECT_EQ(r.geometry.PixelToSquare(QPoint(r.x, r.y)), r.square);
    }
}

// Every pixel of a square's cell leads back to the square; the cells tile the playing area.
TEST(TBoardGeometryTest, EverySquaresCellLeadsBackToTheSquare) {
    for (const TBoardGeometry& g : kGeometries) {
        SCOPED_TRACE(Describe(g));
        for (const Square q : BoardSquares) {
            const QRect cell = g.SquareRect(q);
            for (const QPoint p : { cell.topLeft(), cell.topRight(), cell.bottomLeft(),
                     cell.bottomRight(), cell.center() })
                EXPECT_EQ(g.PixelToSquare(p), q) << FormatSquare(q) << " " << p.x() << "," << p.y();
            EXPECT_EQ(cell,
                g.CellRect((cell.left() - g.Border()) / g.SquareSize(),
                    (cell.top() - g.Border()) / g.SquareSize()));
        }
        EXPECT_EQ(g.CellRect(7, 7).bottomRight(),
            QPoint(g.Side() - g.Border() - 1, g.Side() - g.Border() - 1));
        EXPECT_EQ(g.LineAt(8), g.Side() - g.Border());
    }
}

// The piece is centred at its own size; an odd difference is truncated toward zero, also
// for pieces larger than the square.
TEST(TBoardGeometryTest, PieceRectCentresThePieceTruncatingTowardZero) {
    struct Row {
        int squareSize, pieceSize, offset;
    };
    const Row rows[] = { { 40, 40, 0 }, { 45, 40, 2 }, { 44, 40, 2 }, { 36, 40, -2 },
        { 35, 40, -2 }, { 33, 40, -3 }, { 1, 40, -19 } };
    for (const Row& r : rows) {
        for (const bool turned : { false, true }) {
            const TBoardGeometry g(r.squareSize, 24, turned, r.pieceSize);
            SCOPED_TRACE(Describe(g) << " piece " << r.pieceSize);
            for (const Square q : { Square::A8, Square::E4, Square::H1 }) {
                const QPoint origin = g.SquareOrigin(q);
                EXPECT_EQ(g.PieceRect(q),
                    QRect(origin + QPoint(r.offset, r.offset), QSize(r.pieceSize, r.pieceSize)));
            }
        }
    }
}

TEST(TBoardGeometryTest, SizesFollowWhatTheBoardIsGiven) {
    struct Row {
        QSize given;
        int border, squareSize, side;
    };
    const Row rows[] = {
        { { 368, 368 }, 24, 40, 368 },
        { { 400, 300 }, 24, 37, 344 },
        { { 300, 400 }, 24, 37, 344 },
        { { 351, 351 }, 24, 37, 344 }, // rounded down
        { { 60, 40 }, 24, 1, 56 }, // less than the border leaves: the smallest square
        { { 8, 8 }, 0, 1, 8 },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.given.width() << "x" << r.given.height());
        const int s = TBoardGeometry::FittingSquareSize(r.given, r.border);
        EXPECT_EQ(s, r.squareSize);
        EXPECT_EQ(TBoardGeometry(s, r.border, false, 40).Side(), r.side);
    }
}

TEST(TBoardGeometryTest, DraggedImageHangsHalfASquareUpAndLeftOfThePointer) {
    EXPECT_EQ(TBoardGeometry(40, 24, false, 40).DragImageCorner({ 100, 90 }), QPoint(80, 70));
    EXPECT_EQ(TBoardGeometry(37, 24, true, 40).DragImageCorner({ 100, 90 }), QPoint(82, 72));
    EXPECT_EQ(TBoardGeometry(1, 24, false, 40).DragImageCorner({ 5, 6 }), QPoint(5, 6));
}
