// Preview pictures for checking the artwork by eye; written next to the build, never committed.
#pragma once

#include <QImage>

namespace artgen {

struct BoardArt {
    QImage sheet; // the piece-set sheet, pictures and masks
    QImage light;
    QImage dark;
    QImage border;
};

// The board as the program paints it: textures tiled from the control's corner, pieces drawn
// through their masks at their own size, centred on squares of `square` pixels.
QImage ComposeBoard(const BoardArt& art, int square, int border);

// The sheet composited through its masks on a light and on a dark texture, above the raw sheet.
QImage ComposeSheetCheck(const BoardArt& art);

// The three textures, each tiled 2 x 2, side by side, so seams would show.
QImage ComposeTextures(const BoardArt& art);

// The glyph strips one above the other, key colour shown as a button face.
QImage ComposeGlyphs(const QImage& about, const QImage& ok);

// The icon on a light and on a dark background.
QImage ComposeIcon(const QImage& icon);

// Nearest-neighbour enlargement, so single pixels can be judged.
QImage Enlarge(const QImage& image, int factor);

} // namespace artgen
