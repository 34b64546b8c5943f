// The board textures. Each is periodic with its own size, so it tiles without seams.
#pragma once

#include <QImage>

namespace artgen {

// 98 x 95 pale grey marble for the light squares.
QImage RenderLightSquares();

// 104 x 102 near-black stone for the dark squares.
QImage RenderDarkSquares();

// 128 x 128 dark-blue quilted pattern for the border.
QImage RenderBorder();

} // namespace artgen
