// The chess pieces, drawn from the chess symbols of a TrueType font, and the built-in piece set:
// six white and six black pieces in 40-pixel cells with their masks.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QString>

namespace artgen {

constexpr int kPieceCell = 40;

// Where a piece stands in its cell, in final pixels.
struct PieceLayout {
    int cell = kPieceCell; // side of the square cell
    double pieceSize = 33; // height (or width) of the largest piece
    double baseLine = 37; // the pieces' bottom edge
    double pawnScale = 0.86; // the pawn's size relative to the others
    double pixelScale = 1; // final pixels per 1x pixel: outline and rim widths grow with it

    // The same layout at `scale` times the resolution.
    PieceLayout Scaled(int scale) const {
        return { cell * scale, pieceSize * scale, baseLine * scale, pawnScale, pixelScale * scale };
    }
};

class PieceArt {
public:
    // Loads `fontFile`, whose chess symbols give the piece shapes.
    explicit PieceArt(const QString& fontFile);

    bool Loaded() const { return loaded_; }

    // One piece (0..5: pawn, knight, bishop, rook, queen, king) as an image of layout.cell square
    // pixels whose alpha is 0 or 255 only: pixels are either piece or not, never half.
    QImage Render(int piece, bool black, const PieceLayout& layout) const;

    // The piece's ink (its outline and inner lines) as placed by `layout`, in final pixels: the
    // vector form of Render's drawing.
    QPainterPath InkPath(int piece, const PieceLayout& layout) const;

private:
    QFont font_;
    bool loaded_ = false;
};

// The 240 x 160 true-colour piece-set sheet (at `scale` 2: 480 x 320, the same drawing with twice
// the detail). Rows: white pieces, their masks, black pieces, their
// masks; columns pawn, knight, bishop, rook, queen, king. A mask pixel is black where the piece
// is opaque and white where the square shows through; picture pixels outside the mask are black.
// Both colours share one shape, so the two mask rows are identical.
QImage RenderPieceSheet(const PieceArt& art, int scale = 1);

} // namespace artgen
