// Unicode <-> Windows-1254 conversion of the text that travels on the game link.
#include "Net/TextCodec.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace {

struct CodePageCase {
    const char* name;
    QString text;
    QByteArray bytes;
};

void PrintTo(const CodePageCase& c, std::ostream* os) {
    *os << c.name;
}

class TurkishText : public testing::TestWithParam<CodePageCase> { };

TEST_P(TurkishText, EncodesToTheWindowsBytesAndBack) {
    const TTextCodec codec;
    EXPECT_EQ(codec.Encode(GetParam().text), GetParam().bytes);
    EXPECT_EQ(codec.Decode(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cp1254, TurkishText,
    testing::Values(CodePageCase { "PlayerName", QStringLiteral("Oyuncu Adı"), "Oyuncu Ad\xFD" },
        CodePageCase { "LowerCaseLetters", QStringLiteral("ğüşıöç"), "\xF0\xFC\xFE\xFD\xF6\xE7" },
        CodePageCase { "UpperCaseLetters", QStringLiteral("ĞÜŞİÖÇ"), "\xD0\xDC\xDE\xDD\xD6\xC7" },
        CodePageCase { "MarkupAndEuro", QStringLiteral("<Başla> 5 €"), "<Ba\xFEla> 5 \x80" },
        CodePageCase { "Empty", QString(), QByteArray() }),
    [](const testing::TestParamInfo<CodePageCase>& row) { return std::string(row.param.name); });

TEST(TextCodec, UnmappableCharacterBecomesOneQuestionMark) {
    const TTextCodec codec;
    EXPECT_EQ(codec.Encode(QStringLiteral("a→b")), "a?b");
    EXPECT_EQ(codec.Encode(QStringLiteral("中文")), "??");
    EXPECT_EQ(codec.Encode(QStringLiteral("x😀y")), "x?y"); // one character outside the BMP
    EXPECT_EQ(codec.Encode(QString(QChar(0xD800)) + "z"), "?z"); // lone surrogate
}

TEST(TextCodec, DecomposedLettersEncodeAsTheirSingleByte) {
    const TTextCodec codec;
    EXPECT_EQ(codec.Encode(QStringLiteral("g\u0306") + QStringLiteral("I\u0307")), "\xF0\xDD");
}

TEST(TextCodec, EveryByteDecodesAndUndefinedOnesBecomeReplacementCharacters) {
    const TTextCodec codec;
    QByteArray all;
    for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
    const QString text = codec.Decode(all);
    ASSERT_EQ(text.size(), 256);
    const QByteArray undefined = QByteArray::fromHex("818D8E8F909D9E");
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        const bool isUndefined = undefined.contains(static_cast<char>(b));
        EXPECT_EQ(text.at(b) == QChar::ReplacementCharacter, isUndefined);
        if (!isUndefined) {
            EXPECT_EQ(codec.Encode(text.mid(b, 1)), all.mid(b, 1));
        }
    }
}

TEST(TextCodec, UnknownCodePageIsRefused) {
    EXPECT_THROW(TTextCodec("NO-SUCH-CODEPAGE"), std::runtime_error);
}

TEST(TextCodec, LineBreaksAreRemovedAndControlsMadeVisible) {
    EXPECT_EQ(WithoutLineBreaks(QStringLiteral("a\r\nb\rc\n")), QStringLiteral("abc"));
    EXPECT_EQ(
        VisibleControlChars(QString::fromUtf16(u"a\0b\nc\td\x7F", 8)), QStringLiteral("a␀b␊c\td␡"));
}

} // namespace
