// Reduction of a true-colour picture to an indexed one with at most 256 colours (median cut),
// for the 8-bit piece-set bitmap.
#pragma once

#include <QImage>

namespace artgen {

// Returns `image` as Format_Indexed8. Pure black and pure white, when present, are kept exactly
// (the masks rely on them); other colours go through a median-cut palette of the remaining entries.
QImage ToIndexed256(const QImage& image);

} // namespace artgen
