// The program's icon: a white chess knight, 32 x 32 in the standard 16 colours.
#pragma once

#include <QByteArray>
#include <QImage>

namespace artgen {

class PieceArt;

struct ProgramIcon {
    QImage indexed; // Format_Indexed8 with the 16-colour table; transparent pixels are index 0
    QImage opaque; // Format_Grayscale8: 255 where the icon is opaque, 0 where transparent
    QImage rgba; // the same picture with an alpha channel, for the PNG
};

ProgramIcon RenderProgramIcon(const PieceArt& pieces);

// The sizes of the desktop icon set, in pixels.
inline constexpr int kIconSizes[] = { 16, 24, 32, 48, 64, 128, 256 };

// The desktop icon: the white knight of the piece set in full colour, standing in a square of
// `size` pixels the way it stands in the 32-pixel program icon.
QImage RenderDesktopIcon(const PieceArt& pieces, int size);

// The same knight as a scalable SVG drawing (a 256-unit square) made from the same glyph
// outline: the piece's area filled with the pieces' ivory shading, the ink in the outline colour.
QByteArray RenderDesktopIconSvg(const PieceArt& pieces);

} // namespace artgen
