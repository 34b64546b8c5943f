#include "Glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace artgen {

namespace {

constexpr int kGlyph = 18;

// Draws one anti-aliased glyph on a transparent canvas and gives every pixel that is at least
// half covered its full colour; the rest become the key colour. A hard edge keeps the key
// colour from mixing into the glyph's edge.
QImage DrawNormal(int scale, const std::function<void(QPainter&)>& draw) {
    const int side = kGlyph * scale;
    QImage canvas(side, side, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        draw(p);
    }
    QImage out(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const QRgb c = canvas.pixel(x, y);
            out.setPixel(x, y, qAlpha(c) >= 128 ? (c | 0xff000000u) : kGlyphKey);
        }
    return out;
}

// The classic disabled look: the glyph's dark pixels in grey over a white copy shifted one
// (1x) pixel down and right; its light pixels drop out.
QImage MakeDisabled(const QImage& normal, int scale) {
    const int side = normal.width();
    const auto dark = [&](int x, int y) {
        const QRgb c = normal.pixel(x, y);
        return c != kGlyphKey && qGray(c) < 170;
    };
    QImage out(side, side, QImage::Format_RGB32);
    out.fill(kGlyphKey);
    for (int y = 0; y + scale < side; ++y)
        for (int x = 0; x + scale < side; ++x)
            if (dark(x, y)) out.setPixel(x + scale, y + scale, qRgb(255, 255, 255));
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if (dark(x, y)) out.setPixel(x, y, qRgb(128, 128, 128));
    return out;
}

QImage Strip(const QImage& normal, int scale) {
    const int side = normal.width();
    QImage strip(2 * side, side, QImage::Format_RGB32);
    QPainter p(&strip);
    p.drawImage(0, 0, normal);
    p.drawImage(side, 0, MakeDisabled(normal, scale));
    return strip;
}

} // namespace

QImage RenderAboutGlyph(int scale) {
    return Strip(DrawNormal(scale,
                     [](QPainter& p) {
                         QLinearGradient disc(0, 1, 0, 16);
                         disc.setColorAt(0, QColor(92, 150, 230));
                         disc.setColorAt(1, QColor(22, 70, 160));
                         p.setPen(QPen(QColor(16, 48, 112), 1));
                         p.setBrush(disc);
                         p.drawEllipse(QPointF(9, 8.5), 7.5, 7.5);
                         p.setPen(Qt::NoPen);
                         p.setBrush(Qt::white);
                         p.drawEllipse(QPointF(9, 4.9), 1.45, 1.45);
                         QPainterPath stem;
                         stem.addRoundedRect(QRectF(7.9, 7.2, 2.3, 6.6), 0.6, 0.6);
                         stem.addRect(
                             QRectF(6.9, 7.2, 1.6, 1.3)); // a small serif to the left at the top
                         stem.addRect(QRectF(6.9, 12.5, 4.3, 1.3)); // and a foot
                         p.drawPath(stem.simplified());
                     }),
        scale);
}

QImage RenderOkGlyph(int scale) {
    return Strip(
        DrawNormal(scale,
            [](QPainter& p) {
                QPainterPath check;
                check.moveTo(3.2, 9.6);
                check.lineTo(7.2, 13.6);
                check.lineTo(15.0, 4.2);
                p.setBrush(Qt::NoBrush);
                p.setPen(QPen(QColor(16, 92, 24), 3.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                p.drawPath(check);
                p.setPen(
                    QPen(QColor(64, 196, 64), 1.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                p.drawPath(check);
            }),
        scale);
}

} // namespace artgen
