// Button glyphs: a strip of square images whose bottom-left pixel colour is transparent.
#include "Widgets/BitBtnGlyph.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(BitBtnGlyph, SplitsTheStatesAndMakesTheBottomLeftColourTransparent) {
    const QColor key(0, 128, 128);
    QImage strip(8, 4, QImage::Format_RGB32);
    strip.fill(key);
    strip.setPixelColor(1, 1, Qt::green); // normal state
    strip.setPixelColor(5, 1, Qt::gray); // disabled state
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("glyph.bmp"));
    ASSERT_TRUE(strip.save(path));

    const QIcon icon = LoadBitBtnGlyph(path, 2);
    ASSERT_FALSE(icon.isNull());
    const QImage normal = icon.pixmap(QSize(4, 4), QIcon::Normal).toImage();
    const QImage disabled = icon.pixmap(QSize(4, 4), QIcon::Disabled).toImage();
    ASSERT_EQ(normal.size(), QSize(4, 4));
    EXPECT_EQ(normal.pixelColor(1, 1), QColor(Qt::green));
    EXPECT_EQ(normal.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(normal.pixelColor(0, 3).alpha(), 0);
    EXPECT_EQ(disabled.pixelColor(1, 1), QColor(Qt::gray));
    EXPECT_EQ(disabled.pixelColor(3, 0).alpha(), 0);
}

// A twin "<name>@2x.<ext>" of twice the size serves screens with a pixel ratio of 2; the plain
// strip still serves ratio 1.
TEST(BitBtnGlyph, TakesTheTwiceAsFineTwinForRatioTwo) {
    const QColor key(255, 0, 255);
    QImage strip(8, 4, QImage::Format_RGB32);
    strip.fill(key);
    strip.setPixelColor(1, 1, Qt::green);
    QImage twin(16, 8, QImage::Format_RGB32);
    twin.fill(key);
    twin.setPixelColor(3, 3, Qt::blue); // only the fine normal state has it
    twin.setPixelColor(11, 3, Qt::red); // and its disabled state this one
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("glyph.bmp"));
    ASSERT_TRUE(strip.save(path));
    ASSERT_TRUE(twin.save(dir.filePath(QStringLiteral("glyph@2x.bmp"))));

    const QIcon icon = LoadBitBtnGlyph(path, 2);
    const QImage coarse = icon.pixmap(QSize(4, 4), 1.0, QIcon::Normal).toImage();
    ASSERT_EQ(coarse.size(), QSize(4, 4));
    EXPECT_EQ(coarse.pixelColor(1, 1), QColor(Qt::green));
    const QImage fine = icon.pixmap(QSize(4, 4), 2.0, QIcon::Normal).toImage();
    ASSERT_EQ(fine.size(), QSize(8, 8));
    EXPECT_EQ(fine.devicePixelRatio(), 2.0);
    EXPECT_EQ(fine.pixelColor(3, 3), QColor(Qt::blue));
    EXPECT_EQ(fine.pixelColor(0, 0).alpha(), 0);
    const QImage fineDisabled = icon.pixmap(QSize(4, 4), 2.0, QIcon::Disabled).toImage();
    EXPECT_EQ(fineDisabled.pixelColor(3, 3), QColor(Qt::red));
}

TEST(BitBtnGlyph, MissingOrMisshapenBitmapGivesANullIcon) {
    EXPECT_TRUE(LoadBitBtnGlyph(QStringLiteral(":/no/such/glyph.bmp"), 2).isNull());
    QImage odd(7, 4, QImage::Format_RGB32);
    odd.fill(Qt::white);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("odd.bmp"));
    ASSERT_TRUE(odd.save(path));
    EXPECT_TRUE(LoadBitBtnGlyph(path, 2).isNull());
}

} // namespace
