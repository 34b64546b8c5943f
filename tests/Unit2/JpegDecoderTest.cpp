// The about box's picture and the libjpeg decoder: the stored picture, and bytes that are not
// a sound JPEG, which must give an empty image and must not end the program.
#include "Unit2/JpegDecoder.h"

#include "Unit2/Unit2.h"
#include "support/ProcessMemory.h"

#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <jpeglib.h>

namespace {

QByteArray AboutPicture() {
    TForm2 form; // registers the about box's resources
    QFile file(QStringLiteral(":/About.jpg"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// The frame header's fields: SOF marker, number of components, width and height.
struct FrameHeader {
    int marker = 0;
    int components = 0;
    int width = 0;
    int height = 0;
};

FrameHeader ReadFrameHeader(const QByteArray& jpeg) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(jpeg.at(i)); };
    qsizetype i = 2; // after SOI
    while (i + 9 < jpeg.size() && byte(i) == 0xFF) {
        const int marker = byte(i + 1);
        const int length = byte(i + 2) << 8 | byte(i + 3);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return { marker, byte(i + 9), byte(i + 7) << 8 | byte(i + 8),
                byte(i + 5) << 8 | byte(i + 6) };
        i += 2 + length;
    }
    return {};
}

// The picture written again as a baseline (sequential, one scan) JPEG, with libjpeg's
// defaults: all of its scan data is read while the rows are decoded.
QByteArray BaselineJpeg(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
    cinfo.image_height = static_cast<JDIMENSION>(rgb.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uchar*>(rgb.constScanLine(static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray jpeg(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    return jpeg;
}

TEST(AboutPicture, IsAProgressiveThreeComponentJpegOf150By87) {
    const FrameHeader header = ReadFrameHeader(AboutPicture());
    EXPECT_EQ(header.marker, 0xC2); // SOF2: progressive, Huffman coded
    EXPECT_EQ(header.components, 3);
    EXPECT_EQ(header.width, 150);
    EXPECT_EQ(header.height, 87);
}

TEST(AboutPicture, DecodesToTheFlagInTheSky) {
    const QImage image = DecodeJpeg(AboutPicture());
    ASSERT_EQ(image.size(), QSize(150, 87));
    struct Probe {
        const char* what;
        QPoint at;
        QColor expected;
    };
    const Probe probes[] = {
        { "red field of the flag", { 130, 20 }, QColor(155, 8, 16) },
        { "white crescent", { 71, 42 }, QColor(244, 227, 233) },
        { "sky, top right", { 140, 4 }, QColor(69, 121, 205) },
        { "sky, bottom left", { 5, 80 }, QColor(169, 202, 235) },
        { "portrait silhouette", { 23, 36 }, QColor(48, 37, 31) },
    };
    for (const Probe& probe : probes) {
        SCOPED_TRACE(probe.what);
        const QColor actual = image.pixelColor(probe.at);
        // Allows for rounding differences between libjpeg builds.
        EXPECT_NEAR(actual.red(), probe.expected.red(), 12);
        EXPECT_NEAR(actual.green(), probe.expected.green(), 12);
        EXPECT_NEAR(actual.blue(), probe.expected.blue(), 12);
    }
}

TEST(JpegDecoder, TruncatedPictureGivesAnEmptyImage) {
    const QByteArray jpeg = AboutPicture();
    ASSERT_GT(jpeg.size(), 1000);
    for (qsizetype length : { qsizetype(0), qsizetype(1), qsizetype(2), qsizetype(20),
             qsizetype(300), jpeg.size() / 2, jpeg.size() - 2 }) {
        SCOPED_TRACE(length);
        EXPECT_TRUE(DecodeJpeg(jpeg.left(length)).isNull());
    }
}

TEST(JpegDecoder, CorruptPictureGivesAnEmptyImage) {
    const QByteArray jpeg = AboutPicture();
    const FrameHeader header = ReadFrameHeader(jpeg);
    ASSERT_EQ(header.marker, 0xC2);
    const qsizetype sof = jpeg.indexOf(QByteArray("\xFF\xC2", 2));

    struct Case {
        const char* what;
        QByteArray bytes;
    };
    QByteArray zeroWidth = jpeg;
    zeroWidth[sof + 7] = 0;
    zeroWidth[sof + 8] = 0;
    QByteArray badMarker = jpeg;
    badMarker[sof + 1] = char(0x01); // TEM: not a frame marker at all
    QByteArray noSoi = jpeg;
    noSoi[1] = char(0x00);
    QByteArray scanCut = jpeg;
    scanCut.insert(jpeg.size() / 2, QByteArray("\xFF\xD9", 2)); // EOI in the middle of the data
    const Case cases[] = {
        { "zero width", zeroWidth },
        { "unknown marker instead of the frame header", badMarker },
        { "no start-of-image marker", noSoi },
        { "end of image in the middle of the scans", scanCut },
        { "text, not a picture", QByteArray("Hayatta En Hakiki Mürşit İlimdir.") },
        { "a PNG signature", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(DecodeJpeg(c.bytes).isNull());
    }
}

// In a baseline picture the scan data is read while the rows are decoded, after the image was
// made: an error libjpeg raises there (a start-of-image marker late in the scan data, read
// once the scan is over) leaves no picture, not the rows decoded so far.
TEST(JpegDecoder, ErrorAfterDecodingHasBegunLeavesNoPicture) {
    const QByteArray baseline = BaselineJpeg(DecodeJpeg(AboutPicture()));
    ASSERT_EQ(ReadFrameHeader(baseline).marker, 0xC0); // SOF0: baseline
    ASSERT_EQ(DecodeJpeg(baseline).size(), QSize(150, 87));
    for (const qsizetype fromEnd : { 40, 200, 600 }) {
        SCOPED_TRACE(fromEnd);
        QByteArray damaged = baseline;
        damaged[damaged.size() - fromEnd] = char(0xFF);
        damaged[damaged.size() - fromEnd + 1] = char(0xD8);
        EXPECT_TRUE(DecodeJpeg(damaged).isNull());
    }
}

TEST(JpegDecoder, ScrambledScanDataNeverEndsTheProgram) {
    // Whatever libjpeg makes of damaged entropy-coded data, it either reports it (empty image)
    // or decodes a picture of the declared size; it must return either way.
    const QByteArray jpeg = AboutPicture();
    for (int seed = 1; seed <= 40; ++seed) {
        QByteArray damaged = jpeg;
        for (qsizetype i = 400 + seed * 7; i < damaged.size() - 2; i += 23 + seed)
            damaged[i] = static_cast<char>(damaged[i] ^ (seed * 37 + i));
        const QImage image = DecodeJpeg(damaged);
        EXPECT_TRUE(image.isNull() || image.size() == QSize(150, 87));
    }
}

} // namespace

TEST(JpegDecoder, HugeDeclaredSizeIsRefusedBeforeDecoding) {
    // The picture's frame header rewritten to declare 60000 x 60000 pixels: decoding it would
    // need gigabytes for the coefficients of a progressive picture.
    QByteArray forged = AboutPicture();
    const qsizetype sof = forged.indexOf(QByteArray("\xFF\xC2", 2));
    ASSERT_GE(sof, 0);
    for (const qsizetype at : { sof + 5, sof + 7 }) {
        forged[at] = static_cast<char>(60000 >> 8);
        forged[at + 1] = static_cast<char>(60000 & 0xFF);
    }
    EXPECT_TRUE(DecodeJpeg(forged).isNull());
}

// One side forged to the largest value libjpeg accepts, the other as it is: refused
// before libjpeg or the image allocate memory for it. Decoding such a picture would touch tens
// of megabytes (coefficients and rows) before the missing data showed.
TEST(JpegDecoder, OneForgedSideIsRefusedBeforeAnyLargeAllocation) {
    using namespace process_memory;
    const QByteArray jpeg = AboutPicture();
    const qsizetype sof = jpeg.indexOf(QByteArray("\xFF\xC2", 2));
    ASSERT_GE(sof, 0);
    ASSERT_FALSE(DecodeJpeg(jpeg).isNull()); // libjpeg's and the image's first-use costs
    struct Case {
        const char* what;
        qsizetype at;
    };
    for (const Case& c : { Case { "height", sof + 5 }, Case { "width", sof + 7 } }) {
        SCOPED_TRACE(c.what);
        QByteArray forged = jpeg;
        forged[c.at] = char(65500 >> 8);
        forged[c.at + 1] = char(65500 & 0xFF);
        const qint64 before = ResidentBytes();
        ResetPeakResident();
        EXPECT_TRUE(DecodeJpeg(forged).isNull());
        const qint64 peak = PeakResidentBytes();
        std::printf("[ memory   ] forged %s: peak +%lld KiB\n", c.what,
            static_cast<long long>((peak - before) / 1024));
        if (ResidentSizeIsTheProgramsOwn) {
            EXPECT_LT(peak - before, 4 * MiB);
        }
    }
}
