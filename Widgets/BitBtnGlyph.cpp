#include "Widgets/BitBtnGlyph.h"

#include <QFileInfo>
#include <QImage>
#include <QPixmap>

namespace {

// The glyph strip at path with its bottom-left colour made transparent; null when it cannot be
// read or does not split into numGlyphs square-sided cells.
QImage LoadStrip(const QString& path, int numGlyphs) {
    QImage bitmap(path);
    if (bitmap.isNull() || numGlyphs < 1 || bitmap.width() % numGlyphs != 0) return {};
    bitmap = bitmap.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = bitmap.pixel(0, bitmap.height() - 1);
    for (int y = 0; y < bitmap.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
        for (int x = 0; x < bitmap.width(); ++x)
            if (line[x] == transparent) line[x] = qRgba(0, 0, 0, 0);
    }
    return bitmap;
}

// Adds the normal and (with two cells) the disabled state of a strip, drawn at ratio.
void AddStates(QIcon& icon, const QImage& strip, int numGlyphs, qreal ratio) {
    const int side = strip.width() / numGlyphs;
    const auto cell = [&](int i) {
        QPixmap pixmap = QPixmap::fromImage(strip.copy(i * side, 0, side, strip.height()));
        pixmap.setDevicePixelRatio(ratio);
        return pixmap;
    };
    icon.addPixmap(cell(0), QIcon::Normal);
    if (numGlyphs > 1) icon.addPixmap(cell(1), QIcon::Disabled);
}

// "dir/name@2x.ext" for "dir/name.ext".
QString TwinPath(const QString& path) {
    const QFileInfo info(path);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    return path.left(path.size() - suffix.size()) + QStringLiteral("@2x") + suffix;
}

} // namespace

QIcon LoadBitBtnGlyph(const QString& path, int numGlyphs) {
    const QImage strip = LoadStrip(path, numGlyphs);
    if (strip.isNull()) return {};
    QIcon icon;
    AddStates(icon, strip, numGlyphs, 1);
    // The same glyphs drawn at twice the resolution, for screens with a pixel ratio above 1.
    const QImage fine = LoadStrip(TwinPath(path), numGlyphs);
    if (fine.size() == 2 * strip.size()) AddStates(icon, fine, numGlyphs, 2);
    return icon;
}
