// Writers for the classic Windows bitmap formats the program's resources use: uncompressed BMP
// files with 4, 8 or 24 bits per pixel, and a single-image ICO file. Qt's own writers choose
// header fields and palette sizes freely; these write every byte the way the resources need it.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace artgen {

// An 8-bit BMP with a full 256-entry colour table. `image` must be Format_Indexed8 with at most
// 256 colours; unused table entries are written black.
QByteArray EncodeBmp8(const QImage& image);

// A 24-bit BMP of the image's RGB values (alpha is dropped).
QByteArray EncodeBmp24(const QImage& image);

// A 32 x 32, 16-colour icon: `image` is Format_Indexed8 with at most 16 colours; `opaque` is a
// mask image of the same size where a non-zero pixel means opaque.
QByteArray EncodeIco4(const QImage& image, const QImage& opaque);

// Writes `data` to `path`; false (with a message on stderr) when the file cannot be written.
bool WriteFile(const QString& path, const QByteArray& data);

} // namespace artgen
