// TGameBoard: geometry and painting. Everything is drawn into the surface image; the widget
// shows it in paintEvent. A full repaint (PaintBoard) runs on the first paint, when the widget's
// size has changed and from the repainting setters; moves redraw single squares.

#include "GameBoard/GameBoard.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace {

constexpr std::string_view kPieceLetters = "PNBRQKpnbrqk";
constexpr int kPollIntervalMs = 500;

QColor ToQColor(TColor c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// The coordinate font: the size in points becomes a pixel height at 96 dots per inch, rounded
// to the nearest pixel (7 points give 9 pixels).
QFont ToQFont(const TFont& f) {
    QFont font(f.Name);
    const int px = int(std::lround(std::abs(f.Size) * 96.0 / 72.0));
    font.setPixelSize(std::max(1, px));
    if (f.FontPitch == TFont::Pitch::Fixed) font.setFixedPitch(true);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// A copy of a line pen drawn the way classic one-pixel pens are: dashes of fixed pixel
// lengths, round ends on wider pens.
QPen LinePen(const QPen& style) {
    QPen pen(style);
    if (pen.widthF() <= 1.0) {
        switch (pen.style()) {
        case Qt::DashLine:
            pen.setDashPattern({ 18, 6 });
            break;
        case Qt::DotLine:
            pen.setDashPattern({ 3, 3 });
            break;
        case Qt::DashDotLine:
            pen.setDashPattern({ 9, 6, 3, 6 });
            break;
        case Qt::DashDotDotLine:
            pen.setDashPattern({ 9, 3, 3, 3, 3, 3 });
            break;
        default:
            break;
        }
    } else {
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    }
    return pen;
}

// A horizontal or vertical line from (x1, y1) up to, not including, (x2, y2).
void DrawLineExcludingEnd(QPainter& p, int x1, int y1, int x2, int y2) {
    if (x1 == x2 && y1 == y2) return;
    const int sx = (x2 > x1) - (x2 < x1);
    const int sy = (y2 > y1) - (y2 < y1);
    p.drawLine(x1, y1, x2 - sx, y2 - sy);
}

} // namespace

// ---- Geometry ----

QPoint TGameBoard::SquareOrigin(Square q) const {
    int row = (ToInt(q) - 1) / 8;
    int col = (ToInt(q) - 1) % 8;
    if (whiteOnTop_) {
        row = 7 - row;
        col = 7 - col;
    }
    return { col * sizeOfSquare_ + boardLeft_, row * sizeOfSquare_ + boardTop_ };
}

Square TGameBoard::PixelToSquare(int x, int y) const {
    const int s = sizeOfSquare_;
    const int dx = x - boardLeft_;
    const int dy = y - boardTop_;
    if (dx < 0 || dx >= 8 * s || dy < 0 || dy >= 8 * s) return Square::None;
    int col = std::min(dx / s, 7);
    int row = std::min(dy / s, 7);
    if (whiteOnTop_) {
        col = 7 - col;
        row = 7 - row;
    }
    return ToSquare(row * 8 + col + 1);
}

bool TGameBoard::IsLightSquare(Square q) {
    const int i = ToInt(q) - 1;
    return (i % 2) == ((i / 8) % 2);
}

QRect TGameBoard::PlayingArea() const {
    const int b = sizeOfBorder_;
    return QRect(QPoint(b, b), QPoint(surface_.width() - b - 1, surface_.height() - b - 1));
}

QRect TGameBoard::PieceRect(Square q) const {
    const int off = (sizeOfSquare_ - pieceCellSize_) / 2; // truncated toward zero
    return QRect(SquareOrigin(q) + QPoint(off, off), QSize(pieceCellSize_, pieceCellSize_));
}

// ---- Piece images ----

bool TGameBoard::HasPicture(const QImage& b) {
    return b.width() >= 1 && b.height() >= 1;
}

bool TGameBoard::IsValidPieceSet(const QImage& b) {
    return HasPicture(b) && 2 * b.width() == 3 * b.height();
}

void TGameBoard::LoadBuiltInPieceSet() {
    // The resources live in a static library: register them before the first use.
    Q_INIT_RESOURCE(resources);
    builtInPieceSet_ = QImage(QStringLiteral(":/PIECESET40"));
}

// Cuts the twelve masked piece images out of the active set: white pieces in row 0 with
// their masks in row 1, black pieces in row 2 with masks in row 3. A white mask pixel makes
// the image transparent there; any other mask pixel shows the picture.
void TGameBoard::BuildPieceImages() {
    const QImage& set = IsValidPieceSet(customPieceSet_) ? customPieceSet_ : builtInPieceSet_;
    const int cell = set.height() / 4;
    pieceCellSize_ = cell;
    pieceImages_.clear();
    for (auto& row : pieceImageTable_) row.fill(-1);
    if (cell <= 0 || set.width() < 6 * cell) return;

    const QImage src = set.convertToFormat(QImage::Format_RGB32);
    for (int k = 0; k < 2; ++k) {
        for (int j = 0; j < 6; ++j) {
            const QImage picture = src.copy(j * cell, 2 * k * cell, cell, cell);
            const QImage mask = src.copy(j * cell, 2 * k * cell + cell, cell, cell);
            QImage masked(cell, cell, QImage::Format_ARGB32_Premultiplied);
            for (int y = 0; y < cell; ++y) {
                const auto* pic = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
                const auto* msk = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
                auto* out = reinterpret_cast<QRgb*>(masked.scanLine(y));
                for (int x = 0; x < cell; ++x) {
                    const bool clear = (msk[x] & 0xFFFFFF) == 0xFFFFFF;
                    out[x] = clear ? 0u : (pic[x] | 0xFF000000u);
                }
            }
            pieceImageTable_[k][j] = int(pieceImages_.size());
            pieceImages_.push_back(std::move(masked));
        }
    }
}

int TGameBoard::PieceImageIndex(char piece) const {
    const auto i = kPieceLetters.find(piece);
    if (i == std::string_view::npos) return -1;
    return pieceImageTable_[i / 6][i % 6];
}

QImage TGameBoard::PieceImage(char piece) const {
    const int i = PieceImageIndex(piece);
    if (i < 0 || i >= int(pieceImages_.size())) return {};
    return pieceImages_[std::size_t(i)];
}

// ---- Full repaint ----

void TGameBoard::PaintBoard() {
    if (OnPaint) OnPaint(this);
    if (!firstPaintDone_) BuildPieceImages();

    // The board squares itself: the square size follows the mean of width and height.
    const int b = sizeOfBorder_;
    const int s = std::max(1, ((width() + height()) / 2 - 2 * b) / 8);
    sizeOfSquare_ = s;
    const int side = 8 * s + 2 * b;
    resize(side, side);
    paintedSize_ = size();
    if (surface_.size() != QSize(side, side)) surface_ = QImage(side, side, QImage::Format_RGB32);
    {
        QPainter p(&surface_);
        DrawBorder(p);
        DrawSquares(p);
        DrawAllPieces(p);
    }
    update();

    if (!firstPaintDone_) {
        firstPaintDone_ = true;
        StartThinking();
        pollTimer_->setInterval(kPollIntervalMs);
        connect(pollTimer_, &QTimer::timeout, this, &TGameBoard::CustomEnginePoll);
        pollTimer_->start();
        // Hover moves drive the corner-resize cursor.
        setMouseTracking(true);
    }
}

// The border: texture or colour, the coordinate labels and the two frame rectangles.
void TGameBoard::DrawBorder(QPainter& p) {
    const int w = surface_.width();
    const int h = surface_.height();
    const int b = sizeOfBorder_;
    const int s = sizeOfSquare_;
    p.save();
    p.setClipRegion(QRegion(0, 0, w, h).subtracted(QRegion(PlayingArea())));
    if (HasPicture(borderBitmap_))
        TileBitmap(p, borderBitmap_);
    else
        p.fillRect(0, 0, w, h, ToQColor(borderColor_));

    const QFont font = ToQFont(coordFont_);
    const QFontMetrics metrics(font);
    p.setFont(font);
    p.setPen(ToQColor(coordFont_.Color));
    const char* letters = whiteOnTop_ ? "HGFEDCBA" : "ABCDEFGH";
    const int f = coordFont_.Size;
    const int t = (b - f) / 2 + 1;
    const int c = (s - f) / 2;
    const int q = metrics.height() / 4;
    // Each position is the top-left corner of the text.
    auto text = [&](int x, int y, const QString& str) { p.drawText(x, y + metrics.ascent(), str); };
    for (int i = 0; i < 8; ++i) {
        const QString digit = QString::number(whiteOnTop_ ? i + 1 : 8 - i);
        const QString letter = QString(QChar(letters[i]));
        const int along = i * s + b + c;
        if (displayCoords_.Contains(DisplayCoords::West)) text(t, along, digit);
        if (displayCoords_.Contains(DisplayCoords::East)) text(w - b + t, along, digit);
        if (displayCoords_.Contains(DisplayCoords::North)) text(along, t - q, letter);
        if (displayCoords_.Contains(DisplayCoords::South)) text(along, h - b + t - q, letter);
    }

    linePen_ = LinePen(lineStyle_);
    p.setPen(linePen_);
    p.setBrush(Qt::NoBrush);
    const QPoint outer[] = { { 0, 0 }, { w - 1, 0 }, { w - 1, w - 1 }, { 0, w - 1 }, { 0, 0 } };
    p.drawPolyline(outer, 5);
    const QPoint inner[] = { { b - 1, b - 1 }, { w - b, b - 1 }, { w - b, w - b }, { b - 1, w - b },
        { b - 1, b - 1 } };
    p.drawPolyline(inner, 5);
    p.restore();
}

// The squares in two passes, dark then light. Each pass clips away the cells of the other
// colour and lays its texture from the board's top-left corner, so the texture runs on from
// one square to the next.
void TGameBoard::DrawSquares(QPainter& p) {
    const int s = sizeOfSquare_;
    const QRect area = PlayingArea();
    p.save();
    p.setClipRect(area);
    for (int pass = 0; pass < 2; ++pass) {
        p.save();
        QRegion region(area);
        for (int r = 0; r < 8; ++r) {
            for (int j = 0; j < 4; ++j) {
                const int col = 2 * j + ((r % 2) ^ pass);
                region -= QRect(col * s + boardLeft_, r * s + boardTop_, s, s);
            }
        }
        p.setClipRegion(region, Qt::IntersectClip);
        const QImage& texture = pass == 0 ? squareDark_ : squareLight_;
        if (HasPicture(texture))
            TileBitmap(p, texture);
        else
            p.fillRect(area, ToQColor(pass == 0 ? squareColorDark_ : squareColorLight_));
        p.restore();
    }
    DrawBoardLinesOn(p);
    p.restore();
}

void TGameBoard::DrawAllPieces(QPainter& p) {
    for (int i = 1; i <= 64; ++i) {
        const Square q = ToSquare(i);
        if (Cell(q) != ' ') DrawPieceOn(p, q, Cell(q));
    }
}

// Lays b over the whole surface from its top-left corner; the clip decides what shows.
void TGameBoard::TileBitmap(QPainter& p, const QImage& b) const {
    const int bw = b.width();
    const int bh = b.height();
    const QRect visible = p.hasClipping() ? p.clipBoundingRect().toAlignedRect() : surface_.rect();
    for (int j = 0; j <= surface_.height() / bh; ++j) {
        for (int i = 0; i <= surface_.width() / bw; ++i) {
            const QRect tile(i * bw, j * bh, bw, bh);
            if (tile.intersects(visible)) p.drawImage(tile.topLeft(), b);
        }
    }
}

// ---- Single-square drawing, used by moves and the mouse ----

void TGameBoard::DrawSquareOn(QPainter& p, Square q) {
    const int s = sizeOfSquare_;
    p.save();
    const QRect cell(SquareOrigin(q), QSize(s, s));
    p.setClipRect(cell);
    const bool light = IsLightSquare(q);
    const QImage& texture = light ? squareLight_ : squareDark_;
    if (HasPicture(texture))
        TileBitmap(p, texture);
    else
        p.fillRect(cell, ToQColor(light ? squareColorLight_ : squareColorDark_));
    if (boardLines_) {
        linePen_.setColor(Qt::black);
        p.setPen(linePen_);
        const int w = surface_.width();
        const int h = surface_.height();
        for (int i = 1; i <= 7; ++i) {
            DrawLineExcludingEnd(
                p, i * s + boardLeft_, boardTop_, i * s + boardLeft_, h - boardTop_);
            DrawLineExcludingEnd(
                p, boardLeft_, i * s + boardTop_, w - boardLeft_, i * s + boardTop_);
        }
    }
    p.restore();
}

// The piece is centred on its square at its own size: never scaled, never clipped, so a
// piece larger than the square overlaps its neighbours.
void TGameBoard::DrawPieceOn(QPainter& p, Square q, char piece) const {
    const QImage image = PieceImage(piece);
    if (image.isNull()) return;
    p.drawImage(PieceRect(q).topLeft(), image);
}

void TGameBoard::DrawBoardLinesOn(QPainter& p) {
    if (!boardLines_) return;
    linePen_.setColor(lineStyle_.color());
    p.setPen(linePen_);
    const int s = sizeOfSquare_;
    const int w = surface_.width();
    const int h = surface_.height();
    for (int i = 1; i <= 7; ++i) {
        DrawLineExcludingEnd(p, i * s + boardLeft_, boardTop_, i * s + boardLeft_, h - boardTop_);
        DrawLineExcludingEnd(p, boardLeft_, i * s + boardTop_, w - boardLeft_, i * s + boardTop_);
    }
}

void TGameBoard::DrawSquare(Square q) {
    if (surface_.isNull() || ToInt(q) < 1 || ToInt(q) > 64) return;
    {
        QPainter p(&surface_);
        DrawSquareOn(p, q);
    }
    update(QRect(SquareOrigin(q), QSize(sizeOfSquare_, sizeOfSquare_)));
}

void TGameBoard::DrawPiece(Square q, char piece) {
    if (surface_.isNull() || ToInt(q) < 1 || ToInt(q) > 64) return;
    {
        QPainter p(&surface_);
        DrawPieceOn(p, q, piece);
    }
    update(PieceRect(q));
}

void TGameBoard::DrawBoardLines() {
    if (surface_.isNull() || !boardLines_) return;
    {
        QPainter p(&surface_);
        DrawBoardLinesOn(p);
    }
    update(PlayingArea());
}

// Shows the surface. The surface is repainted in full first when it was never painted or
// the widget's size has changed since.
void TGameBoard::paintEvent(QPaintEvent* e) {
    if (!firstPaintDone_ || size() != paintedSize_) PaintBoard();
    QPainter p(this);
    p.drawImage(e->rect(), surface_, e->rect());
}
