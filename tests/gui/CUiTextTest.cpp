#include "dialogs/CUiText.h"

#include <gtest/gtest.h>

TEST(CUiText, ReadsUtf8Exactly) {
    EXPECT_EQ(CUiText::toQString("Hej Anna"), QStringLiteral("Hej Anna"));
    EXPECT_EQ(CUiText::toQString("Grå"), QString::fromUtf8("Grå"));
    EXPECT_EQ(CUiText::toQString("a\U0001F600b"), QString::fromUtf8("a\U0001F600b"));
    // No guessing: a byte that is not UTF-8 is no character of its own.
    EXPECT_EQ(CUiText::toQString("Gr\xE5"), QString::fromUtf8("Gr\uFFFD"));
    // Embedded NUL bytes survive.
    EXPECT_EQ(CUiText::toQString(std::string("a\0b", 3)).size(), 3);
}

TEST(CUiText, WritesEveryCharacterAsUtf8) {
    EXPECT_EQ(CUiText::toBytes(QString::fromUtf8("Grå")), "Grå");
    EXPECT_EQ(CUiText::toBytes(QString::fromUtf8("5 €")), "5 €");
    EXPECT_EQ(CUiText::toBytes(QString::fromUtf8("a\U0001F600b")), "a\U0001F600b");
    const std::string swedish = "Ångström är här";
    EXPECT_EQ(CUiText::toBytes(CUiText::toQString(swedish)), swedish);
}
