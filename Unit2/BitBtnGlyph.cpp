#include "Unit2/BitBtnGlyph.h"

#include <QImage>
#include <QPixmap>

QIcon LoadBitBtnGlyph(const QString& path, int numGlyphs) {
    QImage bitmap(path);
    if (bitmap.isNull() || numGlyphs < 1 || bitmap.width() % numGlyphs != 0) return {};
    bitmap = bitmap.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = bitmap.pixel(0, bitmap.height() - 1);
    for (int y = 0; y < bitmap.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
        for (int x = 0; x < bitmap.width(); ++x)
            if (line[x] == transparent) line[x] = qRgba(0, 0, 0, 0);
    }
    const int side = bitmap.width() / numGlyphs;
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(bitmap.copy(0, 0, side, bitmap.height())), QIcon::Normal);
    if (numGlyphs > 1)
        icon.addPixmap(
            QPixmap::fromImage(bitmap.copy(side, 0, side, bitmap.height())), QIcon::Disabled);
    return icon;
}
