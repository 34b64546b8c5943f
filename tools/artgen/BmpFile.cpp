#include "BmpFile.h"

#include <QFile>
#include <cstdio>

namespace artgen {

namespace {

void PutU16(QByteArray& out, quint16 v) {
    out.append(char(v & 0xff));
    out.append(char(v >> 8));
}

void PutU32(QByteArray& out, quint32 v) {
    for (int i = 0; i < 4; ++i) out.append(char((v >> (8 * i)) & 0xff));
}

int RowBytes(int width, int bitsPerPixel) {
    return ((width * bitsPerPixel + 31) / 32) * 4;
}

// BITMAPINFOHEADER: 40 bytes, no compression, 96 dpi.
void PutInfoHeader(QByteArray& out, int width, int height, int bits, int colours, int imageBytes) {
    PutU32(out, 40);
    PutU32(out, quint32(width));
    PutU32(out, quint32(height));
    PutU16(out, 1);
    PutU16(out, quint16(bits));
    PutU32(out, 0);
    PutU32(out, quint32(imageBytes));
    PutU32(out, 3780);
    PutU32(out, 3780);
    PutU32(out, quint32(colours));
    PutU32(out, 0);
}

// BITMAPFILEHEADER: 14 bytes, pixels start right after headers and colour table.
void PutFileHeader(QByteArray& out, int pixelOffset, int fileSize) {
    out.append("BM", 2);
    PutU32(out, quint32(fileSize));
    PutU32(out, 0);
    PutU32(out, quint32(pixelOffset));
}

void PutColourTable(QByteArray& out, const QImage& image, int entries) {
    const QList<QRgb> table = image.colorTable();
    for (int i = 0; i < entries; ++i) {
        const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append(char(0));
    }
}

// Pixel rows bottom-up, each padded to a multiple of four bytes.
QByteArray PackRows(const QImage& image, int bits) {
    const int rowBytes = RowBytes(image.width(), bits);
    QByteArray pixels(rowBytes * image.height(), '\0');
    for (int y = 0; y < image.height(); ++y) {
        char* row = pixels.data() + (image.height() - 1 - y) * rowBytes;
        for (int x = 0; x < image.width(); ++x) {
            if (bits == 24) {
                const QRgb c = image.pixel(x, y);
                row[3 * x] = char(qBlue(c));
                row[3 * x + 1] = char(qGreen(c));
                row[3 * x + 2] = char(qRed(c));
            } else if (bits == 8) {
                row[x] = char(image.pixelIndex(x, y));
            } else {
                const int shift = (x % 2 == 0) ? 4 : 0;
                row[x / 2] = char(row[x / 2] | (image.pixelIndex(x, y) << shift));
            }
        }
    }
    return pixels;
}

QByteArray EncodeBmp(const QImage& image, int bits, int colours) {
    const QByteArray pixels = PackRows(image, bits);
    const int offset = 14 + 40 + 4 * colours;
    QByteArray out;
    PutFileHeader(out, offset, offset + int(pixels.size()));
    PutInfoHeader(out, image.width(), image.height(), bits, colours, int(pixels.size()));
    if (colours > 0) PutColourTable(out, image, colours);
    out.append(pixels);
    return out;
}

} // namespace

QByteArray EncodeBmp8(const QImage& image) {
    return EncodeBmp(image, 8, 256);
}

QByteArray EncodeBmp24(const QImage& image) {
    return EncodeBmp(image.convertToFormat(QImage::Format_RGB32), 24, 0);
}

QByteArray EncodeIco4(const QImage& image, const QImage& opaque) {
    const int w = image.width();
    const int h = image.height();
    const QByteArray xorBits = PackRows(image, 4);
    // The AND mask: 1 bit per pixel, set where the icon is transparent.
    const int maskRow = RowBytes(w, 1);
    QByteArray andBits(maskRow * h, '\0');
    for (int y = 0; y < h; ++y) {
        char* row = andBits.data() + (h - 1 - y) * maskRow;
        for (int x = 0; x < w; ++x)
            if (qGray(opaque.pixel(x, y)) == 0) row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
    }
    const int imageBytes = 40 + 16 * 4 + int(xorBits.size()) + int(andBits.size());
    QByteArray out;
    PutU16(out, 0); // ICONDIR: reserved, type 1 (icon), one image
    PutU16(out, 1);
    PutU16(out, 1);
    out.append(char(w)); // ICONDIRENTRY
    out.append(char(h));
    out.append(char(16));
    out.append(char(0));
    PutU16(out, 1);
    PutU16(out, 4);
    PutU32(out, quint32(imageBytes));
    PutU32(out, 6 + 16);
    // The image header counts the XOR and AND bitmaps together, hence the doubled height.
    PutInfoHeader(out, w, 2 * h, 4, 16, int(xorBits.size() + andBits.size()));
    PutColourTable(out, image, 16);
    out.append(xorBits);
    out.append(andBits);
    return out;
}

bool WriteFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace artgen
