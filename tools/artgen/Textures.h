// The board textures. Each is periodic with its own size, so it tiles without seams. `scale` 2
// samples the same drawing into twice as many pixels each way (the 2x twin).
#pragma once

#include <QImage>

namespace artgen {

// 98 x 95 pale grey marble for the light squares.
QImage RenderLightSquares(int scale = 1);

// 104 x 102 near-black stone for the dark squares.
QImage RenderDarkSquares(int scale = 1);

// 128 x 128 dark-blue quilted pattern for the border.
QImage RenderBorder(int scale = 1);

} // namespace artgen
