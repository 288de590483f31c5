#include "app/CSizeText.h"

#include <gtest/gtest.h>

#include <clocale>

TEST(CSizeText, FormsAndStrictBounds) {
    EXPECT_EQ(CSizeText::formatSize(0), "   0 bytes");
    EXPECT_EQ(CSizeText::formatSize(1024), "1024 bytes");
    EXPECT_EQ(CSizeText::formatSize(1025), "1.00 kB");
    EXPECT_EQ(CSizeText::formatSize(2365), "2.31 kB");
    EXPECT_EQ(CSizeText::formatSize(1048576), "1024.00 kB");
    EXPECT_EQ(CSizeText::formatSize(1300000), " 1.24 MB");
    EXPECT_EQ(CSizeText::formatSize(25.0 * 1048576), "25.00 MB");
    EXPECT_EQ(CSizeText::formatSize(12345), "12.06 kB");
    EXPECT_EQ(CSizeText::formatSize(5e12), "4768371.58 MB");
}

TEST(CSizeText, TheDesktopsLocaleDoesNotChangeTheDecimalSign) {
    const char* swedish = std::setlocale(LC_NUMERIC, "sv_SE.UTF-8");
    EXPECT_EQ(CSizeText::formatSize(1300000), " 1.24 MB");
    std::setlocale(LC_NUMERIC, "C");
    if (!swedish)
        GTEST_SKIP() << "no Swedish locale installed to compare with";
}
