#include "resources/CStringTable.h"
#include "pop3/CCharset.h"
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
                                         StringId::ListReloaded,
                                         StringId::OutOfStep,
                                         StringId::NoSenderAddress,
                                         StringId::ContentCutNote,
                                         StringId::StlsWithdrawn,
                                         StringId::StartTlsWithdrawn,
                                         StringId::TooManyMessages,
                                         StringId::ServerListed,
                                         StringId::MessagesButStatSaid,
                                         StringId::OutOfMemory,
                                         StringId::ListShowsFirst,
                                         StringId::MessagesEnd,
                                         StringId::ServerRefused,
                                         StringId::UnknownHostName,
                                         StringId::NoAnswerWithin,
                                         StringId::ServerUnreachable,
                                         StringId::EnterMailServer,
                                         StringId::NoSmtpServer,
                                         StringId::DiscardMessage,
                                         StringId::NoDisplay,
                                         StringId::UnknownOption,
                                         StringId::OptionNeedsValue,
                                         StringId::UnknownLanguage,
                                         StringId::OAuthNoClientId,
                                         StringId::OAuthUnsafeUrl,
                                         StringId::OAuthSigningIn,
                                         StringId::OAuthWaitText,
                                         StringId::OAuthCancelled,
                                         StringId::OAuthNoAnswer,
                                         StringId::OAuthForeignAnswer,
                                         StringId::OAuthRefused,
                                         StringId::OAuthBrowserFailed,
                                         StringId::OAuthCannotListen,
                                         StringId::OAuthServerFailed,
                                         StringId::OAuthNotKept,
                                         StringId::OAuthRenewing,
                                         StringId::OAuthAnswerPage,
                                         StringId::TokenNeedsTls};

} // namespace

TEST(CStringTable, SwedishLettersAreUtf8) {
    EXPECT_EQ(CStringTable::load(StringId::ColumnFrom),
              std::string({'F', 'r', '\xC3', '\xA5', 'n'}));
    EXPECT_EQ(CStringTable::load(StringId::Disconnected), "Frånkopplad.");
    EXPECT_EQ(CStringTable::load(StringId::ColumnSubject), "Ärende");
    EXPECT_EQ(CStringTable::load(StringId::ReallyDelete), "Är du säker på att du vill radera");
    EXPECT_EQ(CStringTable::load(StringId::AccountStillBusy),
              "Kontot är fortfarande upptaget. Tryck 'Nollställ' för att avbryta.");
    EXPECT_EQ(CStringTable::load(StringId::BusyGaveUp),
              "Kontot har varit upptaget i mer än fem minuter. Försöken avbrutna.");
    EXPECT_EQ(CStringTable::load(StringId::WaitingForDns), "Väntar på svar från DNS...");
    EXPECT_EQ(CStringTable::load(StringId::ConnectionLost), "Förbindelsen med servern bröts.");
    EXPECT_EQ(CStringTable::load(StringId::ShortCredits).substr(0, 20), "Överstebetatestare:");
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
        EXPECT_TRUE(CCharset::isUtf8(text)) << "id " << id;
        for (char ch : text)
            EXPECT_GE(static_cast<unsigned char>(ch), 0x20) << "id " << id;
        // A '?' other than a question's own would be a character that fell out on the way.
        if (known != StringId::MessagesQuestion && known != StringId::DiscardMessage) {
            EXPECT_EQ(text.find('?'), std::string::npos) << "id " << id;
        }
    }
}
