#include "dialogs/CUiText.h"

#include <gtest/gtest.h>

TEST(CUiText, ReadsUtf8OnlyWhenValidWithAMultiByteSequence) {
    EXPECT_EQ(CUiText::toQString("Hej Anna"), QStringLiteral("Hej Anna"));
    // "Grå" as UTF-8 and as Latin-1.
    EXPECT_EQ(CUiText::toQString("Gr\xC3\xA5"), QString::fromUtf8("Grå"));
    EXPECT_EQ(CUiText::toQString("Gr\xE5"), QString::fromUtf8("Grå"));
    // A valid sequence next to a stray byte is not UTF-8: every byte is read as Latin-1.
    EXPECT_EQ(CUiText::toQString("\xC3\xA5 \xE5"), QString::fromUtf8("Ã¥ å"));
    // Overlong form of "/" and an encoded surrogate are refused as UTF-8.
    EXPECT_EQ(CUiText::toQString("\xC0\xAF"), QString::fromUtf8("À¯"));
    EXPECT_EQ(CUiText::toQString("\xED\xA0\x80").size(), 3);
    // A sequence cut short at the end.
    EXPECT_EQ(CUiText::toQString("ab\xE2\x82"), QString::fromUtf8("abâ\u0082"));
    // Embedded NUL bytes survive.
    EXPECT_EQ(CUiText::toQString(std::string("a\0b", 3)).size(), 3);
}

TEST(CUiText, WritesLatin1WithAQuestionMarkPerForeignCharacter) {
    EXPECT_EQ(CUiText::toBytes(QString::fromUtf8("Grå")), "Gr\xE5");
    EXPECT_EQ(CUiText::toBytes(QString::fromUtf8("5 €")), "5 ?");
    // One "?" for a character outside the BMP, though it takes two UTF-16 units.
    EXPECT_EQ(CUiText::toBytes(QString::fromUtf8("a\U0001F600b")), "a?b");
    // Latin-1 round trip through both directions.
    const std::string latin1 = "\xC5ngstr\xF6m \xE4r h\xE4r";
    EXPECT_EQ(CUiText::toBytes(CUiText::toQString(latin1)), latin1);
}
