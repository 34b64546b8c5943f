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

// Qt centres an aliased line on its coordinates. On a surface with more than one device pixel
// per logical pixel that puts a one-pixel line half a pixel early; drawn through the centre of
// its logical pixels it covers exactly their device pixels, as at ratio 1. Undone by the
// returned offset's negation.
QPointF AlignLinesToPixels(QPainter& p, qreal ratio) {
    const QPointF offset = ratio > 1 ? QPointF(0.5, 0.5) : QPointF(0, 0);
    if (ratio > 1) p.translate(offset);
    return offset;
}

// The built-in artwork that has a twice-as-fine twin beside it: "<name>.bmp" and
// "<name>@2x.bmp" show the same drawing.
constexpr const char* kArtWithTwin[] = { "SquareDark", "SquareLight", "BorderTexture" };

// At a fractional ratio the fine artwork is scaled down when drawn; smoothly, so its detail
// is averaged instead of dropped pixel by pixel. Whole ratios draw it one to one.
bool IsFractional(qreal ratio) {
    return ratio != std::floor(ratio);
}

} // namespace

// ---- Geometry ----

TBoardGeometry TGameBoard::Geometry() const {
    return TBoardGeometry(sizeOfSquare_, sizeOfBorder_, whiteOnTop_, pieceCellSize_);
}

QPoint TGameBoard::SquareOrigin(Square q) const {
    return Geometry().SquareOrigin(q);
}

Square TGameBoard::PixelToSquare(int x, int y) const {
    return Geometry().PixelToSquare(QPoint(x, y));
}

bool TGameBoard::IsLightSquare(Square q) {
    return SquareColumn(q) % 2 == SquareRow(q) % 2;
}

QSize TGameBoard::SurfaceSize() const {
    return surface_.deviceIndependentSize().toSize();
}

QRect TGameBoard::PlayingArea() const {
    const int b = sizeOfBorder_;
    const QSize size = SurfaceSize();
    return QRect(QPoint(b, b), QPoint(size.width() - b - 1, size.height() - b - 1));
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
    builtInPieceSet2x_ = QImage(QStringLiteral(":/PIECESET40@2x"));
}

namespace {

// Cuts the twelve masked piece images of cell x cell pixels out of a set: white pieces in row 0
// with their masks in row 1, black pieces in row 2 with masks in row 3. A white mask pixel makes
// the image transparent there; any other mask pixel shows the picture.
std::vector<QImage> CutPieceImages(const QImage& set, int cell) {
    std::vector<QImage> images;
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
            images.push_back(std::move(masked));
        }
    }
    return images;
}

} // namespace

// The piece images of the active set, in the order white pawn to king, then black. The built-in
// set also gets its twice-as-fine images, cut from its 2x twin, for high-density screens.
void TGameBoard::BuildPieceImages() {
    const bool custom = IsValidPieceSet(customPieceSet_);
    const QImage& set = custom ? customPieceSet_ : builtInPieceSet_;
    const int cell = set.height() / 4;
    pieceCellSize_ = cell;
    pieceImages_.clear();
    finePieceImages_.clear();
    for (auto& row : pieceImageTable_) row.fill(-1);
    if (cell <= 0 || set.width() < 6 * cell) return;

    pieceImages_ = CutPieceImages(set, cell);
    for (int i = 0; i < 12; ++i) pieceImageTable_[i / 6][i % 6] = i;
    if (!custom && builtInPieceSet2x_.size() == 2 * set.size()) {
        finePieceImages_ = CutPieceImages(builtInPieceSet2x_, 2 * cell);
        for (QImage& image : finePieceImages_) image.setDevicePixelRatio(2);
    }
}

int TGameBoard::PieceImageIndex(char piece) const {
    const auto i = kPieceLetters.find(piece);
    if (i == std::string_view::npos) return -1;
    return pieceImageTable_[i / 6][i % 6];
}

QImage TGameBoard::PieceImage(char piece) const {
    return PieceImageAt(piece, devicePixelRatioF());
}

// The piece's image for a surface of the given device pixel ratio: above 1 the fine one when
// there is one, so the piece is drawn at the screen's resolution.
QImage TGameBoard::PieceImageAt(char piece, qreal ratio) const {
    const int i = PieceImageIndex(piece);
    if (i < 0 || i >= int(pieceImages_.size())) return {};
    if (ratio > 1 && std::size_t(i) < finePieceImages_.size())
        return finePieceImages_[std::size_t(i)];
    return pieceImages_[std::size_t(i)];
}

// The picture to draw for b on the surface: at a device pixel ratio above 1 the 2x twin of a
// built-in texture, otherwise b itself. Looked up once per picture, by the picture's key.
QImage TGameBoard::ArtFor(const QImage& b) const {
    if (surface_.devicePixelRatio() <= 1) return b;
    for (const auto& [key, fine] : fineArt_)
        if (key == b.cacheKey()) return fine.isNull() ? b : fine;
    QImage twin;
    for (const char* name : kArtWithTwin) {
        const QString base = QStringLiteral(":/") + QLatin1String(name);
        if (QImage(base + QStringLiteral(".bmp")) != b) continue;
        twin = QImage(base + QStringLiteral("@2x.bmp"));
        if (twin.size() != 2 * b.size()) twin = QImage();
        twin.setDevicePixelRatio(2);
        break;
    }
    if (fineArt_.size() >= kMaxFineArt) fineArt_.clear();
    fineArt_.emplace_back(b.cacheKey(), twin);
    return twin.isNull() ? b : fineArt_.back().second;
}

QImage TGameBoard::RenderedAt(qreal ratio) {
    if (!firstPaintDone_) PaintBoard();
    const QSize size = SurfaceSize();
    QImage picture(size * ratio, QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    std::swap(picture, surface_);
    PaintSurface();
    std::swap(picture, surface_);
    return picture;
}

// ---- Full repaint ----

void TGameBoard::PaintBoard() {
    if (OnPaint) OnPaint(this);
    if (!firstPaintDone_) BuildPieceImages();

    // The board squares itself: the square size follows the mean of width and height.
    sizeOfSquare_ = TBoardGeometry::FittingSquareSize(size(), sizeOfBorder_);
    const int side = Geometry().Side();
    resize(side, side);
    paintedSize_ = size();
    // The surface has the screen's resolution: at a device pixel ratio above 1 everything is
    // drawn with that many device pixels per logical one, in the same logical layout.
    const qreal ratio = devicePixelRatioF();
    if (SurfaceSize() != QSize(side, side) || surface_.devicePixelRatio() != ratio) {
        surface_ = QImage(QSize(side, side) * ratio, QImage::Format_RGB32);
        surface_.setDevicePixelRatio(ratio);
    }
    PaintSurface();
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

void TGameBoard::PaintSurface() {
    QPainter p(&surface_);
    if (IsFractional(surface_.devicePixelRatio())) p.setRenderHint(QPainter::SmoothPixmapTransform);
    DrawBorder(p);
    DrawSquares(p);
    DrawAllPieces(p);
}

// The border: texture or colour, the coordinate labels and the two frame rectangles.
void TGameBoard::DrawBorder(QPainter& p) {
    const int w = SurfaceSize().width();
    const int h = SurfaceSize().height();
    const TBoardGeometry geometry = Geometry();
    const int b = geometry.Border();
    const int s = geometry.SquareSize();
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
    if (AlignLinesToPixels(p, surface_.devicePixelRatio()) != QPointF(0, 0)
        && linePen_.widthF() <= 1) {
        // A thin frame's corners are square at every resolution: with the default bevel a
        // corner would lose its outermost device pixel above ratio 1.
        QPen frame = linePen_;
        frame.setJoinStyle(Qt::MiterJoin);
        p.setPen(frame);
    }
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
    const TBoardGeometry geometry = Geometry();
    const QRect area = PlayingArea();
    p.save();
    p.setClipRect(area);
    for (int pass = 0; pass < 2; ++pass) {
        p.save();
        QRegion region(area);
        for (int r = 0; r < 8; ++r) {
            for (int j = 0; j < 4; ++j) {
                const int col = 2 * j + ((r % 2) ^ pass);
                region -= geometry.CellRect(col, r);
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
    for (const Square q : BoardSquares)
        if (Cell(q) != ' ') DrawPieceOn(p, q, Cell(q));
}

// Lays b over the whole surface from its top-left corner; the clip decides what shows. The
// tiles keep b's size in logical pixels; a finer twin of b fills them at the surface's resolution.
void TGameBoard::TileBitmap(QPainter& p, const QImage& b) const {
    const int bw = b.width();
    const int bh = b.height();
    const QImage art = ArtFor(b);
    const QSize size = SurfaceSize();
    const QRect visible
        = p.hasClipping() ? p.clipBoundingRect().toAlignedRect() : QRect(QPoint(0, 0), size);
    for (int j = 0; j <= size.height() / bh; ++j) {
        for (int i = 0; i <= size.width() / bw; ++i) {
            const QRect tile(i * bw, j * bh, bw, bh);
            if (tile.intersects(visible)) p.drawImage(tile.topLeft(), art);
        }
    }
}

// ---- Single-square drawing, used by moves and the mouse ----

void TGameBoard::DrawSquareOn(QPainter& p, Square q) {
    p.save();
    const QRect cell = Geometry().SquareRect(q);
    p.setClipRect(cell);
    const bool light = IsLightSquare(q);
    const QImage& texture = light ? squareLight_ : squareDark_;
    if (HasPicture(texture))
        TileBitmap(p, texture);
    else
        p.fillRect(cell, ToQColor(light ? squareColorLight_ : squareColorDark_));
    if (boardLines_) DrawGridLines(p, Qt::black);
    p.restore();
}

// The piece is centred on its square at its own size: never scaled, never clipped, so a
// piece larger than the square overlaps its neighbours.
void TGameBoard::DrawPieceOn(QPainter& p, Square q, char piece) const {
    const QImage image = PieceImageAt(piece, surface_.devicePixelRatio());
    if (image.isNull()) return;
    p.drawImage(Geometry().PieceRect(q).topLeft(), image);
}

void TGameBoard::DrawBoardLinesOn(QPainter& p) {
    if (!boardLines_) return;
    DrawGridLines(p, lineStyle_.color());
}

// The seven inner vertical and seven horizontal lines of the playing area, in the given colour
// with the width and style last taken from LineStyle.
void TGameBoard::DrawGridLines(QPainter& p, const QColor& colour) {
    linePen_.setColor(colour);
    p.setPen(linePen_);
    const TBoardGeometry geometry = Geometry();
    const int b = geometry.Border();
    const int w = SurfaceSize().width();
    const int h = SurfaceSize().height();
    const QPointF offset = AlignLinesToPixels(p, surface_.devicePixelRatio());
    for (int i = 1; i <= 7; ++i) {
        const int line = geometry.LineAt(i);
        DrawLineExcludingEnd(p, line, b, line, h - b);
        DrawLineExcludingEnd(p, b, line, w - b, line);
    }
    if (!offset.isNull()) p.translate(-offset);
}

void TGameBoard::DrawSquare(Square q) {
    if (surface_.isNull() || !IsBoardSquare(q)) return;
    {
        QPainter p(&surface_);
        DrawSquareOn(p, q);
    }
    update(Geometry().SquareRect(q));
}

void TGameBoard::DrawPiece(Square q, char piece) {
    if (surface_.isNull() || !IsBoardSquare(q)) return;
    {
        QPainter p(&surface_);
        DrawPieceOn(p, q, piece);
    }
    update(Geometry().PieceRect(q));
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
// the widget's size or the screen's pixel density has changed since.
void TGameBoard::paintEvent(QPaintEvent* e) {
    if (!firstPaintDone_ || size() != paintedSize_
        || surface_.devicePixelRatio() != devicePixelRatioF())
        PaintBoard();
    const qreal ratio = surface_.devicePixelRatio();
    const QRectF target(e->rect());
    const QRectF source(target.topLeft() * ratio, target.size() * ratio);
    QPainter p(this);
    p.drawImage(target, surface_, source);
}
