#include "ProgramIcon.h"

#include "PieceSet.h"

#include <QString>
#include <vector>

namespace artgen {

namespace {

// The standard 16-colour table of icons and classic bitmaps.
const QRgb kVgaColours[16] = { 0xff000000, 0xff800000, 0xff008000, 0xff808000, 0xff000080,
    0xff800080, 0xff008080, 0xffc0c0c0, 0xff808080, 0xffff0000, 0xff00ff00, 0xffffff00, 0xff0000ff,
    0xffff00ff, 0xff00ffff, 0xffffffff };

// The knight is drawn in the four neutral entries only. The thresholds keep the ivory body white
// to its shaded edge, so only lines and their soft edges take grey and silver.
int NeutralIndex(QRgb c) {
    const int grey = qGray(c);
    if (grey >= 190) return 15; // white
    if (grey >= 140) return 7; // silver
    if (grey >= 70) return 8; // grey
    return 0; // black
}

// The knight's place in an icon of `size` pixels: as in the 32-pixel icon, scaled.
PieceLayout IconLayout(int size) {
    PieceLayout layout;
    layout.cell = size;
    layout.pieceSize = 30.0 * size / 32;
    layout.baseLine = 31.0 * size / 32;
    layout.pixelScale = size / 32.0;
    return layout;
}

QString Number(double v) {
    return QString::number(v, 'f', 2);
}

// SVG path data of a painter path: moves, lines and cubic curves.
QString SvgPathData(const QPainterPath& path) {
    QString d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const QString xy = Number(e.x) + QLatin1Char(' ') + Number(e.y);
        if (e.isMoveTo()) {
            d += QStringLiteral("M") + xy;
        } else if (e.isLineTo()) {
            d += QStringLiteral("L") + xy;
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            d += QStringLiteral("C") + xy + QLatin1Char(' ') + Number(c2.x) + QLatin1Char(' ')
                + Number(c2.y) + QLatin1Char(' ') + Number(end.x) + QLatin1Char(' ')
                + Number(end.y);
            i += 2;
        }
    }
    return d;
}

// The outermost contour of a glyph: the closed subpath with the largest box. Filled, it is the
// whole piece, its inner lines included.
QPainterPath OuterContour(const QPainterPath& glyph) {
    std::vector<QPainterPath> contours;
    for (int i = 0; i < glyph.elementCount(); ++i) {
        const QPainterPath::Element e = glyph.elementAt(i);
        if (e.isMoveTo()) {
            contours.emplace_back();
            contours.back().moveTo(e.x, e.y);
        } else if (contours.empty()) {
            continue;
        } else if (e.isLineTo()) {
            contours.back().lineTo(e.x, e.y);
        } else if (e.isCurveTo() && i + 2 < glyph.elementCount()) {
            const QPainterPath::Element c2 = glyph.elementAt(i + 1);
            const QPainterPath::Element end = glyph.elementAt(i + 2);
            contours.back().cubicTo(e.x, e.y, c2.x, c2.y, end.x, end.y);
            i += 2;
        }
    }
    QPainterPath outer;
    double largest = -1;
    for (const QPainterPath& c : contours) {
        const QRectF box = c.boundingRect();
        if (box.width() * box.height() > largest) {
            largest = box.width() * box.height();
            outer = c;
        }
    }
    return outer;
}

QString FillRule(const QPainterPath& path) {
    return path.fillRule() == Qt::WindingFill ? QStringLiteral("nonzero")
                                              : QStringLiteral("evenodd");
}

} // namespace

QImage RenderDesktopIcon(const PieceArt& pieces, int size) {
    return pieces.Render(1, false, IconLayout(size));
}

QByteArray RenderDesktopIconSvg(const PieceArt& pieces) {
    constexpr int size = 256;
    const PieceLayout layout = IconLayout(size);
    const QPainterPath ink = pieces.InkPath(1, layout);
    const QPainterPath body = OuterContour(ink);
    if (body.isEmpty() || ink.isEmpty()) return {};
    const QRectF box = ink.boundingRect();
    // Light from the upper left, as on the pieces: ivory to tan across the glyph box.
    const QString svg
        = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                         "viewBox=\"0 0 256 256\">\n"
                         "  <title>Pellium</title>\n"
                         "  <defs>\n"
                         "    <linearGradient id=\"shade\" gradientUnits=\"userSpaceOnUse\" "
                         "x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\">\n"
                         "      <stop offset=\"0\" stop-color=\"#fffdf6\"/>\n"
                         "      <stop offset=\"1\" stop-color=\"#cec6b4\"/>\n"
                         "    </linearGradient>\n"
                         "  </defs>\n"
                         "  <path fill=\"url(#shade)\" stroke=\"#141210\" stroke-width=\"%5\" "
                         "stroke-linejoin=\"round\" fill-rule=\"%6\" d=\"%7\"/>\n"
                         "  <path fill=\"#141210\" fill-rule=\"%8\" d=\"%9\"/>\n"
                         "</svg>\n")
              .arg(Number(box.left()), Number(box.top()), Number(box.left() + 0.35 * box.width()),
                  Number(box.top() + 0.65 * box.height()), Number(1.5 * layout.pixelScale),
                  FillRule(body), SvgPathData(body), FillRule(ink), SvgPathData(ink));
    return svg.toUtf8();
}

ProgramIcon RenderProgramIcon(const PieceArt& pieces) {
    constexpr int size = 32;
    PieceLayout layout;
    layout.cell = size;
    layout.pieceSize = 30;
    layout.baseLine = 31;
    const QImage knight = pieces.Render(1, false, layout);

    ProgramIcon icon;
    icon.indexed = QImage(size, size, QImage::Format_Indexed8);
    icon.indexed.setColorTable(QList<QRgb>(std::begin(kVgaColours), std::end(kVgaColours)));
    icon.opaque = QImage(size, size, QImage::Format_Grayscale8);
    icon.rgba = QImage(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QRgb c = knight.pixel(x, y);
            const bool opaque = qAlpha(c) == 255;
            const int index = opaque ? NeutralIndex(c) : 0;
            icon.indexed.setPixel(x, y, uint(index));
            icon.opaque.setPixel(x, y, opaque ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
            icon.rgba.setPixel(x, y, opaque ? kVgaColours[index] : qRgba(0, 0, 0, 0));
        }
    }
    return icon;
}

} // namespace artgen
