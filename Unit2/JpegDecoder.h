#pragma once

#include <QByteArray>
#include <QImage>

// Decodes a JPEG held in memory with libjpeg into a QImage of format RGB32.
// Grey and colour (YCbCr or RGB) pictures are accepted. Any error or warning from libjpeg
// (corrupt data, a truncated stream, an unsupported colour space) gives a null QImage; the
// decoder never ends the program, whatever the bytes.
QImage DecodeJpeg(const QByteArray& data);
