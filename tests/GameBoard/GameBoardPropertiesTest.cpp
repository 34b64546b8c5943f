// The board's published properties: the value of each right after construction, and what each
// setter stores and whether it repaints (OnPaint fires once per repaint), as one table.
#include "GameBoard/EngineThread.h"
#include "GameBoard/GameBoard.h"

#include <QImage>
#include <QPen>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::string Str(bool b) {
    return b ? "true" : "false";
}
std::string Str(int i) {
    return std::to_string(i);
}
std::string Hex(TColor c) {
    char text[16];
    std::snprintf(text, sizeof text, "%06X", c);
    return text;
}
std::string Str(const QImage& b) {
    return b.isNull() ? "none" : Str(b.width()) + "x" + Str(b.height());
}
std::string Str(const QPen& p) {
    return Hex(RGBColor(p.color().red(), p.color().green(), p.color().blue())) + " "
        + Str(p.width()) + " " + Str(static_cast<int>(p.style()));
}
std::string Str(const TFont& f) {
    return f.Name.toStdString() + " " + Str(f.Size) + " " + Hex(f.Color) + " "
        + Str(static_cast<int>(f.FontPitch));
}
std::string Size(const TGameBoard& b) {
    return Str(b.width()) + "x" + Str(b.height());
}

QImage Picture(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::red);
    return image;
}

struct Row {
    const char* name;
    std::function<void(TGameBoard&)> write; // empty: the value right after construction
    std::function<std::string(const TGameBoard&)> read;
    std::string expected;
    int repaints = 0;
};

const std::vector<Row>& Rows() {
    using B = TGameBoard;
    static const std::vector<Row> rows = {
        // ---- Right after construction ----
        { "AnimateMoves", {}, [](const B& b) { return Str(b.AnimateMoves()); }, "true" },
        { "AnimationDelay", {}, [](const B& b) { return Str(b.AnimationDelay()); }, "0" },
        { "BoardLines", {}, [](const B& b) { return Str(b.BoardLines()); }, "false" },
        { "BorderBitmap", {}, [](const B& b) { return Str(b.BorderBitmap()); }, "none" },
        { "BorderColor", {}, [](const B& b) { return Hex(b.BorderColor()); }, "000000" },
        { "CastlingAllowed", {}, [](const B& b) { return Str(b.CastlingAllowed().Bits()); }, "15" },
        { "ComputerPlaysBlack", {}, [](const B& b) { return Str(b.ComputerPlaysBlack()); },
            "false" },
        { "ComputerPlaysWhite", {}, [](const B& b) { return Str(b.ComputerPlaysWhite()); },
            "false" },
        { "Thinking", {}, [](const B& b) { return Str(b.Thinking()); }, "false" },
        { "CoordFont", {}, [](const B& b) { return Str(b.CoordFont()); }, "Arial 7 FFFFFF 0" },
        { "CurrentMove", {}, [](const B& b) { return Str(b.CurrentMove()); }, "1" },
        { "CustomPieceSet", {}, [](const B& b) { return Str(b.CustomPieceSet()); }, "none" },
        { "DisplayCoords", {}, [](const B& b) { return Str(b.DisplayCoords().Bits()); }, "0" },
        { "CustomEngine", {}, [](const B& b) { return Str(b.CustomEngine()); }, "false" },
        { "EnPassant", {}, [](const B& b) { return Str(ToInt(b.EnPassant())); }, "0" },
        { "LineStyle", {}, [](const B& b) { return Str(b.LineStyle()); }, "000000 1 1" },
        { "Position", {}, [](const B& b) { return b.Position(); }, TChessModel::StartPosition },
        { "Resizable", {}, [](const B& b) { return Str(b.Resizable()); }, "false" },
        { "ResizeMinSize", {}, [](const B& b) { return Str(b.ResizeMinSize()); }, "100" },
        { "ResizeMaxSize", {}, [](const B& b) { return Str(b.ResizeMaxSize()); }, "1000" },
        { "SearchDepth", {}, [](const B& b) { return Str(b.SearchDepth()); }, "1" },
        { "SizeOfBorder", {}, [](const B& b) { return Str(b.SizeOfBorder()); }, "24" },
        { "SizeOfSquare", {}, [](const B& b) { return Str(b.SizeOfSquare()); }, "40" },
        { "SquareColorDark", {}, [](const B& b) { return Hex(b.SquareColorDark()); }, "808080" },
        { "SquareColorLight", {}, [](const B& b) { return Hex(b.SquareColorLight()); }, "C0C0C0" },
        { "SquareDark", {}, [](const B& b) { return Str(b.SquareDark()); }, "none" },
        { "SquareLight", {}, [](const B& b) { return Str(b.SquareLight()); }, "none" },
        { "WhiteOnTop", {}, [](const B& b) { return Str(b.WhiteOnTop()); }, "false" },
        { "WhiteToMove", {}, [](const B& b) { return Str(b.WhiteToMove()); }, "true" },
        { "ThinkingPriority", {},
            [](const B& b) { return Str(static_cast<int>(b.ThinkingPriority())); }, "3" },
        { "Version", {}, [](const B& b) { return b.Version().toStdString(); }, "" },
        { "DragCursor", {}, [](const B& b) { return Str(b.DragCursor().shape()); },
            Str(Qt::DragMoveCursor) },
        { "DragMode", {}, [](const B& b) { return Str(b.DragMode() == TDragMode::dmManual); },
            "true" },
        { "Enabled", {}, [](const B& b) { return Str(b.isEnabled()); }, "true" },
        { "Visible", {}, [](const B& b) { return Str(!b.isHidden()); }, "true" },
        { "Tag", {}, [](const B& b) { return Str(b.Tag()); }, "0" },
        { "size", {}, Size, "368x368" },
        { "PromotionPiece", {}, [](const B& b) { return std::string(1, b.PromotionPiece()); },
            "q" },
        { "Halted", {}, [](const B& b) { return Str(b.Halted()); }, "true" },
        { "engine thread", {}, [](const B& b) { return Str(b.EngineThread() != nullptr); },
            "true" },

        // ---- Setter rules ----
        { "ResizeMinSize 1200 > max", [](B& b) { b.SetResizeMinSize(1200); },
            [](const B& b) { return Str(b.ResizeMinSize()); }, "1000" },
        { "ResizeMinSize = max", [](B& b) { b.SetResizeMinSize(1000); },
            [](const B& b) { return Str(b.ResizeMinSize()); }, "1000" },
        { "ResizeMinSize 500", [](B& b) { b.SetResizeMinSize(500); },
            [](const B& b) { return Str(b.ResizeMinSize()); }, "500" },
        { "ResizeMaxSize 50 < min", [](B& b) { b.SetResizeMaxSize(50); },
            [](const B& b) { return Str(b.ResizeMaxSize()); }, "100" },
        { "ResizeMaxSize = min", [](B& b) { b.SetResizeMaxSize(100); },
            [](const B& b) { return Str(b.ResizeMaxSize()); }, "100" },
        { "ResizeMaxSize 2000", [](B& b) { b.SetResizeMaxSize(2000); },
            [](const B& b) { return Str(b.ResizeMaxSize()); }, "2000" },
        { "SearchDepth 0", [](B& b) { b.SetSearchDepth(0); },
            [](const B& b) { return Str(b.SearchDepth()); }, "1" },
        { "SearchDepth -3", [](B& b) { b.SetSearchDepth(-3); },
            [](const B& b) { return Str(b.SearchDepth()); }, "1" },
        { "SearchDepth 5", [](B& b) { b.SetSearchDepth(5); },
            [](const B& b) { return Str(b.SearchDepth()); }, "5" },
        { "SearchDepth 8", [](B& b) { b.SetSearchDepth(8); },
            [](const B& b) { return Str(b.SearchDepth()); }, "8" },
        { "SearchDepth 9", [](B& b) { b.SetSearchDepth(9); },
            [](const B& b) { return Str(b.SearchDepth()); }, "8" },
        { "Version read-only", [](B& b) { b.SetVersion(QStringLiteral("9.9")); },
            [](const B& b) { return b.Version().toStdString(); }, "" },
        { "Thinking read-only", [](B& b) { b.SetThinking(true); },
            [](const B& b) { return Str(b.Thinking()); }, "false" },
        { "CurrentMove read-only", [](B& b) { b.SetCurrentMove(10); },
            [](const B& b) { return Str(b.CurrentMove()); }, "1" },
        { "EnPassant E4 ignored", [](B& b) { b.SetEnPassant(Square::E4); },
            [](const B& b) { return Str(ToInt(b.EnPassant())); }, "0" },
        { "EnPassant E3", [](B& b) { b.SetEnPassant(Square::E3); },
            [](const B& b) { return Str(ToInt(b.EnPassant())); }, Str(ToInt(Square::E3)) },
        { "ThinkingPriority", [](B& b) { b.SetThinkingPriority(TThreadPriority::tpLowest); },
            [](const B& b) { return Str(static_cast<int>(b.ThinkingPriority())); }, "1" },
        { "SizeOfSquare resizes the width", [](B& b) { b.SetSizeOfSquare(36); }, Size, "336x368" },
        { "SizeOfBorder resizes the width", [](B& b) { b.SetSizeOfBorder(20); },
            [](const B& b) {
                return Size(b) + " " + Str(b.SquareOrigin(Square::A8).x()) + ","
                    + Str(b.SquareOrigin(Square::A8).y());
            },
            "360x368 20,20" },
        { "CustomPieceSet 100x100 ignored",
            [](B& b) {
                const QImage i = Picture(100, 100);
                b.SetCustomPieceSet(&i);
            },
            [](const B& b) { return Str(b.CustomPieceSet()); }, "none" },
        { "CustomPieceSet empty ignored",
            [](B& b) {
                const QImage i;
                b.SetCustomPieceSet(&i);
            },
            [](const B& b) { return Str(b.CustomPieceSet()); }, "none" },
        { "CustomPieceSet 300x200",
            [](B& b) {
                const QImage i = Picture(300, 200);
                b.SetCustomPieceSet(&i);
            },
            [](const B& b) { return Str(b.CustomPieceSet()); }, "300x200", 1 },
        { "CustomPieceSet null after a set",
            [](B& b) {
                const QImage i = Picture(300, 200);
                b.SetCustomPieceSet(&i);
                b.SetCustomPieceSet(nullptr);
            },
            [](const B& b) { return Str(b.CustomPieceSet()); }, "none", 2 },

        // ---- Repainting setters ----
        { "BoardLines", [](B& b) { b.SetBoardLines(true); },
            [](const B& b) { return Str(b.BoardLines()); }, "true", 1 },
        { "BorderBitmap", [](B& b) { b.SetBorderBitmap(Picture(16, 8)); },
            [](const B& b) { return Str(b.BorderBitmap()); }, "16x8", 1 },
        { "BorderColor", [](B& b) { b.SetBorderColor(clWhite); },
            [](const B& b) { return Hex(b.BorderColor()); }, "FFFFFF", 1 },
        { "CoordFont",
            [](B& b) {
                b.SetCoordFont(
                    TFont { QStringLiteral("Courier"), 9, clBlack, TFont::Pitch::Fixed });
            },
            [](const B& b) { return Str(b.CoordFont()); }, "Courier 9 000000 1", 1 },
        { "DisplayCoords",
            [](B& b) {
                b.SetDisplayCoords({ DisplayCoords::West, DisplayCoords::South });
            },
            [](const B& b) { return Str(b.DisplayCoords().Bits()); }, "9", 1 },
        { "LineStyle", [](B& b) { b.SetLineStyle(QPen(QColor(255, 0, 0), 2, Qt::DashLine)); },
            [](const B& b) { return Str(b.LineStyle()); }, "0000FF 2 2", 1 },
        { "SquareColorDark", [](B& b) { b.SetSquareColorDark(clBlack); },
            [](const B& b) { return Hex(b.SquareColorDark()); }, "000000", 1 },
        { "SquareColorLight", [](B& b) { b.SetSquareColorLight(clWhite); },
            [](const B& b) { return Hex(b.SquareColorLight()); }, "FFFFFF", 1 },
        { "SquareDark", [](B& b) { b.SetSquareDark(Picture(8, 8)); },
            [](const B& b) { return Str(b.SquareDark()); }, "8x8", 1 },
        { "SquareLight", [](B& b) { b.SetSquareLight(Picture(8, 9)); },
            [](const B& b) { return Str(b.SquareLight()); }, "8x9", 1 },
        { "WhiteOnTop", [](B& b) { b.SetWhiteOnTop(true); },
            [](const B& b) { return Str(b.WhiteOnTop()); }, "true", 1 },

        // ---- Plain stores ----
        { "Resizable", [](B& b) { b.SetResizable(true); },
            [](const B& b) { return Str(b.Resizable()); }, "true" },
        { "CustomEngine", [](B& b) { b.SetCustomEngine(true); },
            [](const B& b) { return Str(b.CustomEngine()); }, "true" },
        { "AnimationDelay", [](B& b) { b.SetAnimationDelay(5); },
            [](const B& b) { return Str(b.AnimationDelay()); }, "5" },
        { "Tag", [](B& b) { b.SetTag(1); }, [](const B& b) { return Str(b.Tag()); }, "1" },
        { "CastlingAllowed", [](B& b) { b.SetCastlingAllowed({ CanStillCastle::BlackKingSide }); },
            [](const B& b) { return Str(b.CastlingAllowed().Bits()); }, "4" },
    };
    return rows;
}

TEST(GameBoardProperties, InitialValuesAndSetterRules) {
    for (const Row& row : Rows()) {
        SCOPED_TRACE(row.name);
        QWidget owner;
        auto* board = new TGameBoard(&owner);
        int repaints = 0;
        board->OnPaint = [&repaints](TChessModel*) { ++repaints; };
        if (row.write) row.write(*board);
        EXPECT_EQ(row.read(*board), row.expected);
        EXPECT_EQ(repaints, row.repaints);
    }
}

// The board copies every drawing object it is given: changing the caller's object afterwards
// leaves the board's own as it was.
TEST(GameBoardProperties, DrawingObjectsAreCopied) {
    TGameBoard board(nullptr, false);
    QImage picture = Picture(30, 20);
    board.SetBorderBitmap(picture);
    board.SetSquareDark(picture);
    board.SetSquareLight(picture);
    board.SetCustomPieceSet(&picture);
    QPen pen(QColor(0, 0, 255), 3, Qt::DotLine);
    board.SetLineStyle(pen);

    picture.fill(Qt::green);
    pen.setColor(QColor(0, 255, 0));
    pen.setWidth(7);

    for (const QImage* own : { &board.BorderBitmap(), &board.SquareDark(), &board.SquareLight(),
             &board.CustomPieceSet() }) {
        EXPECT_EQ(own->pixelColor(0, 0), QColor(Qt::red));
        EXPECT_NE(own->constBits(), picture.constBits());
    }
    EXPECT_EQ(Str(board.LineStyle()), "FF0000 3 3");
}

} // namespace
