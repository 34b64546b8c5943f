// Decodes arbitrary bytes as the about box's picture. The decoder must return (an image or a
// null image) without crashing, ending the program or allocating without bound.
#include "FuzzChecks.h"
#include "Unit2/JpegDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QImage image
        = DecodeJpeg(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!image.isNull()) FUZZ_CHECK(image.width() > 0 && image.height() > 0);
    return 0;
}
