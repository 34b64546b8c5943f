// The program's icon: a white chess knight, 32 x 32 in the standard 16 colours.
#pragma once

#include <QImage>

namespace artgen {

class PieceArt;

struct ProgramIcon {
    QImage indexed; // Format_Indexed8 with the 16-colour table; transparent pixels are index 0
    QImage opaque; // Format_Grayscale8: 255 where the icon is opaque, 0 where transparent
    QImage rgba; // the same picture with an alpha channel, for the PNG
};

ProgramIcon RenderProgramIcon(const PieceArt& pieces);

} // namespace artgen
