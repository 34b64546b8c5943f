#include "Unit2/JpegDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace {

// Largest side accepted; anything beyond is not a picture this program shows. The header is
// checked before decoding starts: a progressive picture keeps all its coefficients in memory,
// so a forged header declaring a huge picture would otherwise allocate gigabytes.
constexpr JDIMENSION kMaxSide = 4096;
// What libjpeg may allocate for one picture; beyond it decoding fails with an error.
constexpr long kMaxDecoderMemory = 96L * 1024 * 1024;

// libjpeg's error manager extended with a jump target. libjpeg's default error_exit ends
// the process; this one jumps back to DecodeInto instead.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void JumpOnError(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(manager->jump, 1);
}

// Counts warnings (libjpeg does that in emit_message) without printing them.
void CountWarning(j_common_ptr cinfo, int level) {
    if (level < 0) ++cinfo->err->num_warnings;
}

// The decoding proper. Between setjmp and a possible longjmp this frame holds only C objects
// and pointers, so jumping out of libjpeg skips no destructor. The image is allocated by an
// assignment whose temporary dies before libjpeg is called again.
bool DecodeInto(const unsigned char* bytes, unsigned long size, QImage* out) {
    jpeg_decompress_struct cinfo;
    ErrorManager errors;
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = JumpOnError;
    errors.pub.emit_message = CountWarning;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes, size);
    cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.image_width > kMaxSide || cinfo.image_height > kMaxSide) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3 || cinfo.output_width > kMaxSide
        || cinfo.output_height > kMaxSide) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    *out = QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
        QImage::Format_RGB888);
    if (out->isNull()) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out->scanLine(static_cast<int>(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    const bool clean = errors.pub.num_warnings == 0;
    jpeg_destroy_decompress(&cinfo);
    return clean;
}

} // namespace

QImage DecodeJpeg(const QByteArray& data) {
    if (data.isEmpty()) return {};
    QImage image;
    if (!DecodeInto(reinterpret_cast<const unsigned char*>(data.constData()),
            static_cast<unsigned long>(data.size()), &image))
        return {};
    return image.convertToFormat(QImage::Format_RGB32);
}
