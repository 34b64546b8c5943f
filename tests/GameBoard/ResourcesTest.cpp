// The artwork compiled into the program: the built-in piece set keeps the layout and the mask
// convention that the board's piece images rely on, and the pictures have their sizes.
#include <QImage>
#include <QString>
#include <gtest/gtest.h>

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

} // namespace
