#include "ProgramIcon.h"

#include "PieceSet.h"

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

} // namespace

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
