#pragma once

#include <QIcon>
#include <QString>

// Builds a button icon from a glyph bitmap that holds `numGlyphs` square images side by side:
// the first for the normal state, the second (if any) for the disabled state. The colour of
// the bitmap's bottom-left pixel is transparent. Returns a null icon when the bitmap cannot be
// loaded or is not numGlyphs images wide.
QIcon LoadBitBtnGlyph(const QString& path, int numGlyphs);
