// Button glyphs: a strip of square images whose bottom-left pixel colour is transparent.
#include "Unit2/BitBtnGlyph.h"

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
