// Button glyphs in the classic two-state strip: 18 x 18 normal image, then the disabled one, in
// one 36 x 18 bitmap whose bottom-left pixel holds the transparent colour. At `scale` 2 the same
// drawing fills a 72 x 36 strip.
#pragma once

#include <QImage>

namespace artgen {

// The transparent colour of the glyph strips (fuchsia; no glyph pixel uses it).
constexpr QRgb kGlyphKey = 0xffff00ff;

// An information sign: a white "i" on a blue disc.
QImage RenderAboutGlyph(int scale = 1);

// A green check mark.
QImage RenderOkGlyph(int scale = 1);

} // namespace artgen
