// The artwork compiled into the program: the built-in piece set keeps the layout and the mask
// convention that the board's piece images rely on, and the pictures have their sizes.
#include <QImage>
#include <QString>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

static void InitResources() {
    Q_INIT_RESOURCE(resources);
}

namespace {

constexpr int kCell = 40;

class PieceSetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InitResources(); }

    void SetUp() override {
        raw_ = QImage(QStringLiteral(":/PIECESET40"));
        ASSERT_FALSE(raw_.isNull());
        set_ = raw_.convertToFormat(QImage::Format_RGB32);
    }

    // Pixel (x, y) of cell (column, row).
    QRgb At(int column, int row, int x, int y) const {
        return set_.pixel(column * kCell + x, row * kCell + y) & 0xffffffu;
    }

    QImage raw_;
    QImage set_;
};

TEST_F(PieceSetTest, IsA240By160IndexedBitmap) {
    EXPECT_EQ(raw_.size(), QSize(240, 160));
    EXPECT_EQ(raw_.format(), QImage::Format_Indexed8);
    EXPECT_LE(raw_.colorCount(), 256);
}

TEST_F(PieceSetTest, MasksArePureBlackAndWhiteAndBothMaskRowsAgree) {
    for (int column = 0; column < 6; ++column)
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x) {
                const QRgb white = At(column, 1, x, y);
                ASSERT_TRUE(white == 0 || white == 0xffffffu) << column << " " << x << "," << y;
                ASSERT_EQ(white, At(column, 3, x, y)) << column << " " << x << "," << y;
            }
}

// Black mask pixels are where the piece shows. Every piece covers a fair part of its cell but
// keeps clear of the cell's edges, and its picture is black wherever the mask hides it, so a
// classic mask-then-image blit leaves the square untouched there.
TEST_F(PieceSetTest, PiecesLieInsideTheirMasks) {
    for (int row : { 0, 2 })
        for (int column = 0; column < 6; ++column) {
            SCOPED_TRACE(testing::Message() << "row " << row << " column " << column);
            int opaque = 0;
            bool edgeTouched = false;
            for (int y = 0; y < kCell; ++y)
                for (int x = 0; x < kCell; ++x) {
                    const bool shows = At(column, row + 1, x, y) == 0;
                    if (!shows) {
                        ASSERT_EQ(At(column, row, x, y), 0u) << x << "," << y;
                        continue;
                    }
                    ++opaque;
                    edgeTouched |= x == 0 || y == 0 || x == kCell - 1 || y == kCell - 1;
                }
            EXPECT_GT(opaque, kCell * kCell / 8);
            EXPECT_FALSE(edgeTouched);
        }
}

// White pieces are light and black pieces dark, not the other way round. Only the inside of each
// piece counts (two pixels in from the mask's edge): black pieces have a light rim.
TEST_F(PieceSetTest, WhitePiecesAreLighterThanBlackPieces) {
    const auto inside = [this](int column, int x, int y) {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                if (At(column, 1, x + dx, y + dy) != 0) return false;
        return true;
    };
    for (int column = 0; column < 6; ++column) {
        long white = 0;
        long black = 0;
        int count = 0;
        for (int y = 2; y < kCell - 2; ++y)
            for (int x = 2; x < kCell - 2; ++x) {
                if (!inside(column, x, y)) continue;
                white += qGray(At(column, 0, x, y));
                black += qGray(At(column, 2, x, y));
                ++count;
            }
        ASSERT_GT(count, 0) << "column " << column;
        EXPECT_GT(white / count, black / count + 50) << "column " << column;
    }
}

struct PictureCase {
    const char* path;
    QSize size;
};

TEST(ResourcesTest, PicturesHaveTheirSizes) {
    InitResources();
    const PictureCase cases[] = {
        { ":/BorderTexture.bmp", { 128, 128 } },
        { ":/SquareDark.bmp", { 104, 102 } },
        { ":/SquareLight.bmp", { 98, 95 } },
        { ":/AboutGlyph.bmp", { 36, 18 } },
        { ":/OkGlyph.bmp", { 36, 18 } },
        { ":/Pellium.png", { 32, 32 } },
    };
    for (const PictureCase& c : cases) {
        const QImage image(QString::fromLatin1(c.path));
        EXPECT_EQ(image.size(), c.size) << c.path;
    }
}

// Each picture of the board and the buttons has a "@2x" twin: the same drawing with twice the
// pixels each way. Scaled down to the 1x size, the twin looks like the 1x picture (small mean
// difference per channel), yet it is not a mere enlargement of it.
struct TwinCase {
    const char* name;
    const char* coarse; // resource path of the 1x picture
    const char* fine; // and of its 2x twin
    int meanLimit; // largest allowed mean channel difference after scaling the twin down
};

class TwinTest : public ::testing::TestWithParam<TwinCase> { };

TEST_P(TwinTest, IsTheSameDrawingAtTwiceTheResolution) {
    InitResources();
    const QImage coarse
        = QImage(QString::fromLatin1(GetParam().coarse)).convertToFormat(QImage::Format_RGB32);
    const QImage fine
        = QImage(QString::fromLatin1(GetParam().fine)).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(coarse.isNull());
    ASSERT_FALSE(fine.isNull());
    ASSERT_EQ(fine.size(), 2 * coarse.size());

    const QImage reduced
        = fine.scaled(coarse.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage enlarged = coarse.scaled(fine.size());
    long difference = 0;
    for (int y = 0; y < coarse.height(); ++y)
        for (int x = 0; x < coarse.width(); ++x) {
            const QRgb a = coarse.pixel(x, y);
            const QRgb b = reduced.pixel(x, y);
            difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b))
                + std::abs(qBlue(a) - qBlue(b));
        }
    EXPECT_LE(difference / (3L * coarse.width() * coarse.height()), GetParam().meanLimit);
    EXPECT_NE(fine, enlarged) << "the twin is a pixel-doubled copy";
}

INSTANTIATE_TEST_SUITE_P(Resources, TwinTest,
    ::testing::Values(
        TwinCase { "BorderTexture", ":/BorderTexture.bmp", ":/BorderTexture@2x.bmp", 6 },
        TwinCase { "SquareDark", ":/SquareDark.bmp", ":/SquareDark@2x.bmp", 6 },
        TwinCase { "SquareLight", ":/SquareLight.bmp", ":/SquareLight@2x.bmp", 6 },
        TwinCase { "AboutGlyph", ":/AboutGlyph.bmp", ":/AboutGlyph@2x.bmp", 40 },
        TwinCase { "OkGlyph", ":/OkGlyph.bmp", ":/OkGlyph@2x.bmp", 40 },
        TwinCase { "PieceSet", ":/PIECESET40", ":/PIECESET40@2x", 30 }),
    [](const ::testing::TestParamInfo<TwinCase>& param) { return std::string(param.param.name); });

// The 2x piece set keeps the layout and the mask convention at 80-pixel cells: pure black and
// white masks, the two mask rows equal, black picture pixels wherever the mask is white.
TEST(ResourcesTest, FinePieceSetKeepsTheLayoutAndMasks) {
    InitResources();
    const QImage raw(QStringLiteral(":/PIECESET40@2x"));
    ASSERT_EQ(raw.size(), QSize(480, 320));
    const QImage set = raw.convertToFormat(QImage::Format_RGB32);
    constexpr int cell = 2 * kCell;
    for (int y = 0; y < cell; ++y)
        for (int x = 0; x < 6 * cell; ++x) {
            const QRgb m1 = set.pixel(x, cell + y) & 0xffffffu;
            const QRgb m3 = set.pixel(x, 3 * cell + y) & 0xffffffu;
            ASSERT_TRUE(m1 == 0 || m1 == 0xffffffu) << x << "," << y;
            ASSERT_EQ(m1, m3) << x << "," << y;
            if (m1 == 0xffffffu) {
                ASSERT_EQ(set.pixel(x, y) & 0xffffffu, 0u);
                ASSERT_EQ(set.pixel(x, 2 * cell + y) & 0xffffffu, 0u);
            }
        }
}

// The desktop icon set: square PNGs of 16 to 256 pixels with a transparent background and an
// opaque knight in the middle.
class IconSetTest : public ::testing::TestWithParam<int> { };

TEST_P(IconSetTest, IsASquareKnightOnTransparency) {
    InitResources();
    const int size = GetParam();
    const QImage icon = QImage(QStringLiteral(":/icons/pellium-%1.png").arg(size))
                            .convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(icon.size(), QSize(size, size));
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(size - 1, 0)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255);
    int opaque = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) opaque += qAlpha(icon.pixel(x, y)) == 255;
    EXPECT_GT(opaque, size * size / 5);
    EXPECT_LT(opaque, size * size * 4 / 5);
}

INSTANTIATE_TEST_SUITE_P(Resources, IconSetTest, ::testing::Values(16, 24, 32, 48, 64, 128, 256),
    [](const ::testing::TestParamInfo<int>& param) {
        return "Size" + std::to_string(param.param);
    });

} // namespace
