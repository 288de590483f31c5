#include "resources/CStringTable.h"
#include "resources/WindowIds.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

// Every id the program loads, in ascending order: the Swedish texts callers rely on, plus our
// own from 701 on.
const std::vector<StringId> kKnownIds = {StringId::SocketsUnavailable,
                                         StringId::ColumnFrom,
                                         StringId::ColumnSubject,
                                         StringId::ColumnDate,
                                         StringId::ColumnSize,
                                         StringId::ConnectingTo,
                                         StringId::AccountBusy,
                                         StringId::AccountStillBusy,
                                         StringId::BusyGaveUp,
                                         StringId::FetchingInfo,
                                         StringId::DoneAccountHas,
                                         StringId::MessagesTotalling,
                                         StringId::FetchingMessageInfo,
                                         StringId::Disconnecting,
                                         StringId::SelectOneToView,
                                         StringId::SelectToDelete,
                                         StringId::ReallyDelete,
                                         StringId::MessagesQuestion,
                                         StringId::Deleting,
                                         StringId::SelectToForward,
                                         StringId::FetchingMessage,
                                         StringId::Sending,
                                         StringId::SelectToReply,
                                         StringId::MarkedCount,
                                         StringId::ShortCredits,
                                         StringId::LongCredits,
                                         StringId::CheckingAddress,
                                         StringId::AddressValid,
                                         StringId::CannotConnect,
                                         StringId::GreetingRefused,
                                         StringId::QuitLabel,
                                         StringId::DeleLabel,
                                         StringId::RsetLabel,
                                         StringId::StatLabel,
                                         StringId::NoopLabel,
                                         StringId::ListLabel,
                                         StringId::RetrLabel,
                                         StringId::TopLabel,
                                         StringId::Missing,
                                         StringId::HeloLabel,
                                         StringId::MailFromLabel,
                                         StringId::RcptToLabel,
                                         StringId::RecipientAccepted,
                                         StringId::WaitingForDns,
                                         StringId::ForwardCancelled,
                                         StringId::SendingMessage,
                                         StringId::Of,
                                         StringId::MessageSent,
                                         StringId::UserLabel,
                                         StringId::PassLabel,
                                         StringId::Disconnected,
                                         StringId::ConnectionLost,
                                         StringId::TimedOut,
                                         StringId::NotConnected,
                                         StringId::LineBreakInLogin,
                                         StringId::LineBreakInField,
                                         StringId::DataLabel,
                                         StringId::RetrievedUnreadable,
                                         StringId::UntrustedCertificate,
                                         StringId::NameMismatch,
                                         StringId::HandshakeFailed,
                                         StringId::CancelledByUser,
                                         StringId::CutNote,
                                         StringId::UidlLabel,
                                         StringId::CapaLabel,
                                         StringId::AuthLabel,
                                         StringId::EhloLabel,
                                         StringId::StartTlsLabel,
                                         StringId::StlsLabel,
                                         StringId::PasswordNeedsTls,
                                         StringId::ListReloaded};

} // namespace

TEST(CStringTable, SwedishLettersAreSingleLatin1Bytes) {
    EXPECT_EQ(CStringTable::load(StringId::ColumnFrom), std::string({'F', 'r', '\xE5', 'n'}));
    EXPECT_EQ(CStringTable::load(StringId::Disconnected), "Fr\xE5nkopplad.");
    EXPECT_EQ(CStringTable::load(StringId::ColumnSubject), "\xC4rende");
    EXPECT_EQ(CStringTable::load(StringId::ReallyDelete),
              "\xC4r du s\xE4ker p\xE5 att du vill radera");
    EXPECT_EQ(CStringTable::load(StringId::AccountStillBusy),
              "Kontot \xE4r fortfarande upptaget. Tryck 'Nollst\xE4ll' f\xF6r att avbryta.");
    EXPECT_EQ(CStringTable::load(StringId::BusyGaveUp),
              "Kontot har varit upptaget i mer \xE4n fem minuter. F\xF6rs\xF6ken avbrutna.");
    EXPECT_EQ(CStringTable::load(StringId::WaitingForDns), "V\xE4ntar p\xE5 svar fr\xE5n DNS...");
    EXPECT_EQ(CStringTable::load(StringId::ConnectionLost),
              "F\xF6rbindelsen med servern br\xF6ts.");
    EXPECT_EQ(CStringTable::load(StringId::ShortCredits).substr(0, 19), "\xD6verstebetatestare:");
}

TEST(CStringTable, KeyTextsAreExact) {
    EXPECT_EQ(CStringTable::load(StringId::SocketsUnavailable), "Winsock kunde inte startas.");
    EXPECT_EQ(CStringTable::load(StringId::ConnectingTo), "Ansluter till");
    EXPECT_EQ(CStringTable::load(StringId::DoneAccountHas), "Klar. Kontot har");
    EXPECT_EQ(CStringTable::load(StringId::MessagesTotalling), "brev p\xE5 totalt");
    EXPECT_EQ(CStringTable::load(StringId::CannotConnect), "Kan inte ansluta.");
    EXPECT_EQ(CStringTable::load(StringId::GreetingRefused),
              "Ett fel uppstod vid anslutning till server.");
    EXPECT_EQ(CStringTable::load(StringId::UserLabel), "USER:");
    EXPECT_EQ(CStringTable::load(StringId::TopLabel), "TOP:");
    EXPECT_EQ(CStringTable::load(StringId::Missing), "-saknas-");
    EXPECT_EQ(CStringTable::load(StringId::MailFromLabel), "MAIL FROM:");
    EXPECT_EQ(CStringTable::load(StringId::RcptToLabel), "RCPT TO:");
    EXPECT_EQ(CStringTable::load(StringId::Of), "av");
    EXPECT_EQ(CStringTable::load(StringId::ForwardCancelled), "Forwardning avbruten.");
    EXPECT_EQ(CStringTable::load(StringId::MessageSent), "Brev skickat.");
    EXPECT_EQ(CStringTable::load(StringId::TimedOut), "Servern svarade inte i tid.");
    EXPECT_EQ(CStringTable::load(StringId::NotConnected), "Inte ansluten till servern.");
}

TEST(CStringTable, UnknownIdsGiveEmptyText) {
    // Numbers between and around the named ids.
    for (int number : {0, 100, 101, 104, 117, 605, 700, 711, 9999, -1, INT_MIN, INT_MAX})
        EXPECT_EQ(CStringTable::load(static_cast<StringId>(number)), "") << "number " << number;
}

TEST(CStringTable, ExactlyTheKnownIdsHaveTextsThatFitTheBuffer) {
    std::vector<StringId> found;
    for (int number = -10; number < 2000; ++number)
        if (!CStringTable::load(static_cast<StringId>(number)).empty())
            found.push_back(static_cast<StringId>(number));
    EXPECT_EQ(found, kKnownIds);

    for (StringId known : kKnownIds) {
        const int id = idNumber(known);
        const std::string text = CStringTable::load(known);
        EXPECT_LE(text.size(), 255u) << "id " << id;
        for (char ch : text) {
            const auto byte = static_cast<unsigned char>(ch);
            EXPECT_GE(byte, 0x20) << "id " << id;
            // A lead byte of 0xC2/0xC3 would be UTF-8 left unconverted ('Ã' is not Swedish).
            EXPECT_TRUE(byte != 0xC2 && byte != 0xC3) << "id " << id;
        }
        // A '?' other than the question's own would be a character that fell out of Latin-1.
        if (known != StringId::MessagesQuestion) {
            EXPECT_EQ(text.find('?'), std::string::npos) << "id " << id;
        }
    }
}
