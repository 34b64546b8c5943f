#include "PieceSet.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <cstdio>
#include <vector>

namespace artgen {

namespace {

// Pieces are drawn 8x larger and reduced, so every final pixel knows its exact coverage.
constexpr int kScale = 8;

// The outline glyphs of the chess symbols, pawn to king (U+2659 pawn ... U+2654 king).
constexpr char16_t kOutlineGlyph[6] = { 0x2659, 0x2658, 0x2657, 0x2656, 0x2655, 0x2654 };

struct PieceColours {
    QColor fillLight; // fill at the lit (upper left) side
    QColor fillDark; // fill at the shaded (lower right) side
    QColor outline; // the outer outline
    QColor detail; // the inner detail lines
    QColor rim; // the outermost pixel's worth of the outline
};

// Both colours share one mask, so they differ only in colour. White pieces: ivory with a dark
// outline, which the light squares set off and the dark squares swallow without harm. Black
// pieces: charcoal with light inner lines and a light rim around a dark outline, so that they
// stand out from the near-black squares too; on the light squares the rim melts into the marble.
const PieceColours kWhiteColours { QColor(255, 253, 246), QColor(206, 198, 180), QColor(20, 18, 16),
    QColor(20, 18, 16), QColor(20, 18, 16) };
const PieceColours kBlackColours { QColor(74, 72, 70), QColor(14, 13, 12), QColor(6, 6, 6),
    QColor(206, 202, 194), QColor(204, 202, 198) };

constexpr double kLineBoost = 0.15; // extra outline width in pixels, so the edge survives the mask
constexpr double kOutlineDepth = 1.9; // ink this close to the outside is the outer outline
constexpr double kHaloWidth = 0.45; // the outline reaches this far beyond the glyph's ink
constexpr double kRimDepth = 1.2; // the outermost part of the outline that takes the rim colour

// A square grid of 0/1 values at 8x scale.
struct Bits {
    int side = 0;
    std::vector<unsigned char> at;

    explicit Bits(int n)
        : side(n)
        , at(std::size_t(n) * std::size_t(n), 0) { }
    std::size_t size() const { return at.size(); }
    unsigned char& operator[](std::size_t i) { return at[i]; }
    unsigned char operator[](std::size_t i) const { return at[i]; }
};

// Piece regions at 8x scale, 0/1 per high-resolution pixel.
struct HiShape {
    int side = 0; // of the high-resolution grid
    Bits ink { 0 }; // the glyph's own lines: outline and details
    Bits body { 0 }; // the glyph's ink and everything inside it, widened by kHaloWidth
    Bits outline { 0 }; // the body's pixels near the outside, not counting the details
    Bits rim { 0 }; // the outermost part of the outline
    QRectF bounds; // the glyph's box in high-resolution pixels
};

Bits Rasterise(const QPainterPath& path, int kHi) {
    QImage canvas(kHi, kHi, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillPath(path, Qt::black);
    }
    Bits bits(kHi);
    for (int y = 0; y < kHi; ++y)
        for (int x = 0; x < kHi; ++x) bits[y * kHi + x] = qAlpha(canvas.pixel(x, y)) > 127;
    return bits;
}

// Everything not reachable from the cell border without crossing ink is inside the piece.
Bits FillInside(const Bits& ink) {
    const int kHi = ink.side;
    Bits outside(kHi);
    std::vector<int> stack;
    for (int i = 0; i < kHi; ++i) {
        for (int edge : { i, (kHi - 1) * kHi + i, i * kHi, i * kHi + kHi - 1 })
            if (!ink[edge] && !outside[edge]) {
                outside[edge] = 1;
                stack.push_back(edge);
            }
    }
    while (!stack.empty()) {
        const int at = stack.back();
        stack.pop_back();
        const int x = at % kHi;
        const int y = at / kHi;
        const int next[4] = { x > 0 ? at - 1 : -1, x < kHi - 1 ? at + 1 : -1, y > 0 ? at - kHi : -1,
            y < kHi - 1 ? at + kHi : -1 };
        for (int n : next)
            if (n >= 0 && !ink[n] && !outside[n]) {
                outside[n] = 1;
                stack.push_back(n);
            }
    }
    Bits inside(kHi);
    for (std::size_t i = 0; i < ink.size(); ++i) inside[i] = !outside[i];
    return inside;
}

// Chamfer (3-4) distance of every pixel to the nearest pixel where `seed` is set, in
// high-resolution pixels.
std::vector<double> DistanceTo(const Bits& seed) {
    constexpr int kFar = 1 << 28;
    const int kHi = seed.side;
    std::vector<int> d(seed.size());
    for (std::size_t i = 0; i < seed.size(); ++i) d[i] = seed[i] ? 0 : kFar;
    const auto relax = [&](int x, int y, int dx, int dy, int cost) {
        const int nx = x + dx;
        const int ny = y + dy;
        if (nx < 0 || ny < 0 || nx >= kHi || ny >= kHi) return;
        d[y * kHi + x] = std::min(d[y * kHi + x], d[ny * kHi + nx] + cost);
    };
    for (int y = 0; y < kHi; ++y)
        for (int x = 0; x < kHi; ++x) {
            relax(x, y, -1, 0, 3);
            relax(x, y, -1, -1, 4);
            relax(x, y, 0, -1, 3);
            relax(x, y, 1, -1, 4);
        }
    for (int y = kHi - 1; y >= 0; --y)
        for (int x = kHi - 1; x >= 0; --x) {
            relax(x, y, 1, 0, 3);
            relax(x, y, 1, 1, 4);
            relax(x, y, 0, 1, 3);
            relax(x, y, -1, 1, 4);
        }
    std::vector<double> out(seed.size());
    for (std::size_t i = 0; i < seed.size(); ++i) out[i] = d[i] / 3.0;
    return out;
}

// `inkPath` is the glyph as designed, `boldPath` the same with its lines widened.
HiShape MakeShape(
    const QPainterPath& inkPath, const QPainterPath& boldPath, int side, double pixelScale) {
    const double unit = kScale * pixelScale; // high-resolution pixels per 1x pixel
    HiShape shape;
    shape.side = side;
    shape.ink = Rasterise(inkPath, side);
    shape.bounds = inkPath.boundingRect();
    const Bits bold = Rasterise(boldPath, side);
    const Bits inside = FillInside(bold);
    const std::vector<double> fromInside = DistanceTo(inside);
    shape.body = Bits(side);
    for (std::size_t i = 0; i < inside.size(); ++i)
        shape.body[i] = inside[i] || fromInside[i] <= kHaloWidth * unit;
    Bits outside(side);
    for (std::size_t i = 0; i < outside.size(); ++i) outside[i] = !shape.body[i];
    const std::vector<double> fromOutside = DistanceTo(outside);
    shape.outline = Bits(side);
    shape.rim = Bits(side);
    for (std::size_t i = 0; i < shape.body.size(); ++i) {
        const bool edgeInk = !inside[i] || bold[i];
        shape.outline[i] = shape.body[i] && edgeInk && fromOutside[i] <= kOutlineDepth * unit;
        shape.rim[i] = shape.body[i] && fromOutside[i] <= kRimDepth * unit;
    }
    return shape;
}

QPainterPath GlyphPath(const QFont& font, char16_t code) {
    QPainterPath path;
    path.addText(0, 0, font, QString(QChar(code)));
    return path;
}

// The ink of each piece before placement, in font units. The outline glyphs serve, except the
// pawn: its outline glyph has an odd ring on top, so the pawn is the outline of the solid
// pawn glyph (U+265F) instead, drawn with the font's own line width.
std::vector<QPainterPath> PieceInk(const QFont& font) {
    std::vector<QPainterPath> paths;
    for (char16_t code : kOutlineGlyph) paths.push_back(GlyphPath(font, code));
    const QPainterPath solidPawn = GlyphPath(font, 0x265F);
    QPainterPathStroker stroker;
    stroker.setWidth(font.pixelSize() * 0.045);
    stroker.setJoinStyle(Qt::RoundJoin);
    paths[0] = stroker.createStroke(solidPawn);
    return paths;
}

// Scales and places the pieces alike: one scale for all (the pawn a little smaller), standing on
// one base line, each centred horizontally in its cell. The result is in high-resolution pixels.
QTransform Placement(const std::vector<QPainterPath>& paths, int piece, const PieceLayout& layout) {
    double tallest = 0;
    double widest = 0;
    for (const QPainterPath& path : paths) {
        tallest = std::max(tallest, path.boundingRect().height());
        widest = std::max(widest, path.boundingRect().width());
    }
    const double size = layout.pieceSize * kScale;
    double scale = std::min(size / tallest, size / widest);
    // The pawn, as tall as the rook in the font, is made a little smaller than the rest.
    if (piece == 0) scale *= layout.pawnScale;
    const QRectF box = paths[std::size_t(piece)].boundingRect();
    const int side = layout.cell * kScale;
    QTransform t;
    t.translate(
        side / 2.0 - box.center().x() * scale, layout.baseLine * kScale - box.bottom() * scale);
    t.scale(scale, scale);
    return t;
}

HiShape BuildShape(const QFont& font, int piece, const PieceLayout& layout) {
    const std::vector<QPainterPath> paths = PieceInk(font);
    const QPainterPath placed = Placement(paths, piece, layout).map(paths[std::size_t(piece)]);
    QPainterPathStroker stroker;
    stroker.setWidth(kLineBoost * kScale * layout.pixelScale);
    stroker.setJoinStyle(Qt::RoundJoin);
    return MakeShape(placed, placed.united(stroker.createStroke(placed)), layout.cell * kScale,
        layout.pixelScale);
}

QColor Mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
        float(a.greenF() + (b.greenF() - a.greenF()) * t),
        float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// The colour of one high-resolution pixel of a piece, or an invalid colour outside it.
QColor HiPixel(const HiShape& shape, const PieceColours& colours, int hx, int hy) {
    const int at = hy * shape.side + hx;
    if (!shape.body[at]) return QColor();
    if (shape.rim[at]) return colours.rim;
    if (shape.outline[at]) return colours.outline;
    if (shape.ink[at]) return colours.detail;
    // Light from the upper left: shade along the diagonal of the glyph box.
    const QRectF& b = shape.bounds;
    const double u = (hx - b.left()) / b.width();
    const double v = (hy - b.top()) / b.height();
    const double t = std::clamp(0.35 * u + 0.65 * v, 0.0, 1.0);
    return Mix(colours.fillLight, colours.fillDark, t * t);
}

// Reduces one shape to its final size. A pixel is opaque when at least half of it is covered;
// its colour is the mean of the covered part, so edges take the rim colour and inner lines stay
// smooth. Transparent pixels are transparent black.
QImage Reduce(const HiShape& shape, const PieceColours& colours) {
    const int cell = shape.side / kScale;
    QImage out(cell, cell, QImage::Format_ARGB32);
    for (int py = 0; py < cell; ++py) {
        for (int px = 0; px < cell; ++px) {
            double r = 0, g = 0, b = 0;
            int covered = 0;
            for (int sy = 0; sy < kScale; ++sy) {
                for (int sx = 0; sx < kScale; ++sx) {
                    const QColor c = HiPixel(shape, colours, px * kScale + sx, py * kScale + sy);
                    if (!c.isValid()) continue;
                    r += c.redF();
                    g += c.greenF();
                    b += c.blueF();
                    ++covered;
                }
            }
            QRgb pixel = qRgba(0, 0, 0, 0);
            if (covered * 2 >= kScale * kScale)
                pixel = qRgb(int(r / covered * 255 + 0.5), int(g / covered * 255 + 0.5),
                    int(b / covered * 255 + 0.5));
            out.setPixel(px, py, pixel);
        }
    }
    return out;
}

} // namespace

PieceArt::PieceArt(const QString& fontFile) {
    const int id = QFontDatabase::addApplicationFont(fontFile);
    if (id < 0) {
        std::fprintf(stderr, "cannot load font %s\n", qPrintable(fontFile));
        return;
    }
    font_ = QFont(QFontDatabase::applicationFontFamilies(id).value(0));
    font_.setPixelSize(200);
    font_.setHintingPreference(QFont::PreferNoHinting);
    loaded_ = true;
}

QImage PieceArt::Render(int piece, bool black, const PieceLayout& layout) const {
    if (!loaded_) return {};
    return Reduce(BuildShape(font_, piece, layout), black ? kBlackColours : kWhiteColours);
}

QPainterPath PieceArt::InkPath(int piece, const PieceLayout& layout) const {
    if (!loaded_) return {};
    const std::vector<QPainterPath> paths = PieceInk(font_);
    QTransform toFinal = Placement(paths, piece, layout);
    toFinal *= QTransform::fromScale(1.0 / kScale, 1.0 / kScale);
    return toFinal.map(paths[std::size_t(piece)]);
}

QImage RenderPieceSheet(const PieceArt& art, int scale) {
    if (!art.Loaded()) return {};
    const PieceLayout layout = PieceLayout().Scaled(scale);
    const int n = layout.cell;
    QImage sheet(6 * n, 4 * n, QImage::Format_RGB32);
    sheet.fill(Qt::black);
    for (int colour = 0; colour < 2; ++colour) {
        for (int piece = 0; piece < 6; ++piece) {
            const QImage cell = art.Render(piece, colour == 1, layout);
            const int left = piece * n;
            const int top = 2 * colour * n;
            for (int y = 0; y < n; ++y)
                for (int x = 0; x < n; ++x) {
                    const QRgb c = cell.pixel(x, y);
                    const bool opaque = qAlpha(c) == 255;
                    sheet.setPixel(left + x, top + y, opaque ? c : qRgb(0, 0, 0));
                    sheet.setPixel(
                        left + x, top + n + y, opaque ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
                }
        }
    }
    return sheet;
}

} // namespace artgen
