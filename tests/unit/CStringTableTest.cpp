#include "resources/CStringTable.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

// Every id the program loads: the Swedish texts callers rely on, plus our own 701 to 710.
const std::vector<int> kKnownIds = {103, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116,
                                    118, 119, 120, 121, 122, 123, 125, 126, 132, 134, 135, 136, 137,
                                    139, 141, 143, 144, 147, 148, 149, 150, 151, 152, 153, 154, 155,
                                    156, 157, 158, 159, 160, 528, 529, 531, 533, 545, 546, 604, 701,
                                    702, 703, 704, 705, 706, 707, 708, 709, 710, 715, 716, 720, 721};

} // namespace

TEST(CStringTable, SwedishLettersAreSingleLatin1Bytes) {
    EXPECT_EQ(CStringTable::load(105), std::string({'F', 'r', '\xE5', 'n'}));
    EXPECT_EQ(CStringTable::load(604), "Fr\xE5nkopplad.");
    EXPECT_EQ(CStringTable::load(106), "\xC4rende");
    EXPECT_EQ(CStringTable::load(121), "\xC4r du s\xE4ker p\xE5 att du vill radera");
    EXPECT_EQ(CStringTable::load(111),
              "Kontot \xE4r fortfarande upptaget. Tryck 'Nollst\xE4ll' f\xF6r att avbryta.");
    EXPECT_EQ(CStringTable::load(112),
              "Kontot har varit upptaget i mer \xE4n fem minuter. F\xF6rs\xF6ken avbrutna.");
    EXPECT_EQ(CStringTable::load(160), "V\xE4ntar p\xE5 svar fr\xE5n DNS...");
    EXPECT_EQ(CStringTable::load(701), "F\xF6rbindelsen med servern br\xF6ts.");
    EXPECT_EQ(CStringTable::load(136).substr(0, 19), "\xD6verstebetatestare:");
}

TEST(CStringTable, KeyTextsAreExact) {
    EXPECT_EQ(CStringTable::load(103), "Winsock kunde inte startas.");
    EXPECT_EQ(CStringTable::load(109), "Ansluter till");
    EXPECT_EQ(CStringTable::load(114), "Klar. Kontot har");
    EXPECT_EQ(CStringTable::load(115), "brev p\xE5 totalt");
    EXPECT_EQ(CStringTable::load(143), "Kan inte ansluta.");
    EXPECT_EQ(CStringTable::load(144), "Ett fel uppstod vid anslutning till server.");
    EXPECT_EQ(CStringTable::load(545), "USER:");
    EXPECT_EQ(CStringTable::load(154), "TOP:");
    EXPECT_EQ(CStringTable::load(155), "-saknas-");
    EXPECT_EQ(CStringTable::load(157), "MAIL FROM:");
    EXPECT_EQ(CStringTable::load(158), "RCPT TO:");
    EXPECT_EQ(CStringTable::load(531), "av");
    EXPECT_EQ(CStringTable::load(528), "Forwardning avbruten.");
    EXPECT_EQ(CStringTable::load(533), "Brev skickat.");
    EXPECT_EQ(CStringTable::load(702), "Servern svarade inte i tid.");
    EXPECT_EQ(CStringTable::load(703), "Inte ansluten till servern.");
}

TEST(CStringTable, UnknownIdsGiveEmptyText) {
    for (int id : {0, 100, 101, 104, 117, 605, 700, 711, 9999, -1, INT_MIN, INT_MAX})
        EXPECT_EQ(CStringTable::load(id), "") << "id " << id;
}

TEST(CStringTable, ExactlyTheKnownIdsHaveTextsThatFitTheBuffer) {
    std::vector<int> found;
    for (int id = -10; id < 2000; ++id)
        if (!CStringTable::load(id).empty())
            found.push_back(id);
    EXPECT_EQ(found, kKnownIds);

    for (int id : kKnownIds) {
        const std::string text = CStringTable::load(id);
        EXPECT_LE(text.size(), 255u) << "id " << id;
        for (char ch : text) {
            const auto byte = static_cast<unsigned char>(ch);
            EXPECT_GE(byte, 0x20) << "id " << id;
            // A lead byte of 0xC2/0xC3 would be UTF-8 left unconverted ('Ã' is not Swedish).
            EXPECT_TRUE(byte != 0xC2 && byte != 0xC3) << "id " << id;
        }
        // A '?' other than the question's own would be a character that fell out of Latin-1.
        if (id != 122) {
            EXPECT_EQ(text.find('?'), std::string::npos) << "id " << id;
        }
    }
}
