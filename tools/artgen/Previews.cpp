#include "Previews.h"

#include "Glyphs.h"
#include "PieceSet.h"

#include <QPainter>
#include <QString>

namespace artgen {

namespace {

void TileInto(QPainter& p, const QRect& area, const QImage& texture) {
    p.save();
    p.setClipRect(area);
    for (int y = 0; y < area.bottom() + 1; y += texture.height())
        for (int x = 0; x < area.right() + 1; x += texture.width()) p.drawImage(x, y, texture);
    p.restore();
}

// Draws piece `index` (0..11, white pawn .. black king) with its top-left corner at (x, y).
void DrawPiece(QImage& target, const QImage& sheet, int index, int x, int y) {
    const int col = index % 6;
    const int row = 2 * (index / 6);
    for (int py = 0; py < kPieceCell; ++py) {
        for (int px = 0; px < kPieceCell; ++px) {
            const int tx = x + px;
            const int ty = y + py;
            if (!target.rect().contains(tx, ty)) continue;
            const QRgb m = sheet.pixel(col * kPieceCell + px, (row + 1) * kPieceCell + py);
            if (qGray(m) < 128)
                target.setPixel(tx, ty, sheet.pixel(col * kPieceCell + px, row * kPieceCell + py));
        }
    }
}

int PieceIndex(QChar letter) {
    const int i = QStringLiteral("PNBRQKpnbrqk").indexOf(letter);
    return i;
}

} // namespace

QImage ComposeBoard(const BoardArt& art, int square, int border) {
    const int side = 8 * square + 2 * border;
    QImage board(side, side, QImage::Format_RGB32);
    QPainter p(&board);
    TileInto(p, board.rect(), art.border);
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < 8; ++col) {
            const QRect cell(border + col * square, border + row * square, square, square);
            TileInto(p, cell, (row + col) % 2 == 0 ? art.light : art.dark);
        }
    p.setPen(QColor(0, 0, 0));
    p.drawRect(border - 1, border - 1, 8 * square + 1, 8 * square + 1);
    p.end();

    // A middle-game position, so every piece stands on both square colours somewhere.
    const QString position = QStringLiteral("r b k nr"
                                            "pp  qppp"
                                            "  n p b "
                                            " B p    "
                                            "  PPn   "
                                            "  N  Q P"
                                            "PP   PP "
                                            "R   KN R");
    const int offset = (square - kPieceCell) / 2;
    for (int i = 0; i < 64; ++i) {
        const int index = PieceIndex(position.at(i));
        if (index < 0) continue;
        DrawPiece(board, art.sheet, index, border + (i % 8) * square + offset,
            border + (i / 8) * square + offset);
    }
    return board;
}

QImage ComposeSheetCheck(const BoardArt& art) {
    QImage out(6 * kPieceCell, 8 * kPieceCell, QImage::Format_RGB32);
    QPainter p(&out);
    p.drawImage(0, 4 * kPieceCell, art.sheet);
    for (int band = 0; band < 4; ++band)
        TileInto(p, QRect(0, band * kPieceCell, 6 * kPieceCell, kPieceCell),
            band % 2 == 0 ? art.light : art.dark);
    p.end();
    for (int i = 0; i < 12; ++i) {
        const int y = (i / 6) * 2 * kPieceCell;
        DrawPiece(out, art.sheet, i, (i % 6) * kPieceCell, y);
        DrawPiece(out, art.sheet, i, (i % 6) * kPieceCell, y + kPieceCell);
    }
    return out;
}

QImage ComposeTextures(const BoardArt& art) {
    const QImage* textures[3] = { &art.light, &art.dark, &art.border };
    int width = 0;
    int height = 0;
    for (const QImage* t : textures) {
        width += 2 * t->width();
        height = std::max(height, 2 * t->height());
    }
    QImage out(width, height, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    int x = 0;
    for (const QImage* t : textures) {
        for (int i = 0; i < 4; ++i)
            p.drawImage(x + (i % 2) * t->width(), (i / 2) * t->height(), *t);
        x += 2 * t->width();
    }
    return out;
}

QImage ComposeGlyphs(const QImage& about, const QImage& ok) {
    QImage out(about.width(), about.height() + ok.height(), QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const QImage& src = y < about.height() ? about : ok;
            const QRgb c = src.pixel(x, y % about.height());
            // The strip's own key is its bottom-left pixel.
            const QRgb key = src.pixel(0, src.height() - 1);
            out.setPixel(x, y, c == key ? qRgb(212, 208, 200) : c);
        }
    return out;
}

QImage ComposeIcon(const QImage& icon) {
    QImage out(2 * icon.width(), icon.height(), QImage::Format_RGB32);
    QPainter p(&out);
    p.fillRect(0, 0, icon.width(), icon.height(), QColor(212, 208, 200));
    p.fillRect(icon.width(), 0, icon.width(), icon.height(), QColor(10, 36, 106));
    p.drawImage(0, 0, icon);
    p.drawImage(icon.width(), 0, icon);
    return out;
}

QImage Enlarge(const QImage& image, int factor) {
    return image.scaled(image.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

} // namespace artgen
