// The faces the program names come out as the free faces chosen to stand in for them, not as
// whatever the system would fall back to.
#include "Widgets/Fonts.h"

#include <QFont>
#include <QFontInfo>
#include <gtest/gtest.h>

namespace {

TEST(FontsTest, EveryRequestedFaceIsServedByItsStandIn) {
    EXPECT_TRUE(InstallFontSubstitutes().isEmpty()) << "tools/setup.sh installs the fonts";
    for (const TFontSubstitute& s : FontSubstitutes()) {
        SCOPED_TRACE(s.Requested);
        QFont font(QString::fromLatin1(s.Requested), 8);
        EXPECT_EQ(QFontInfo(font).family(), QString::fromLatin1(s.Substitute));
        font.setBold(true);
        font.setItalic(true);
        EXPECT_EQ(QFontInfo(font).family(), QString::fromLatin1(s.Substitute));
    }
}

} // namespace
