#include "resources/CStringTable.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

struct Entry {
    StringId id;
    std::u8string_view text;
};

// Sorted by id: load() searches it by halving.
constexpr std::array kEntries{
    Entry{StringId::SocketsUnavailable, u8"Winsock kunde inte startas."},
    // List column titles.
    Entry{StringId::ColumnFrom, u8"Från"},
    Entry{StringId::ColumnSubject, u8"Ärende"},
    Entry{StringId::ColumnDate, u8"Datum"},
    Entry{StringId::ColumnSize, u8"Storlek"},
    // Connect, load and disconnect.
    Entry{StringId::ConnectingTo, u8"Ansluter till"},
    Entry{StringId::AccountBusy, u8"Kontot är upptaget. Försöker igen..."},
    Entry{StringId::AccountStillBusy,
          u8"Kontot är fortfarande upptaget. Tryck 'Nollställ' för att avbryta."},
    Entry{StringId::BusyGaveUp,
          u8"Kontot har varit upptaget i mer än fem minuter. Försöken avbrutna."},
    Entry{StringId::FetchingInfo, u8"Hämtar meddelandeinformation..."},
    Entry{StringId::DoneAccountHas, u8"Klar. Kontot har"},
    Entry{StringId::MessagesTotalling, u8"brev på totalt"},
    Entry{StringId::FetchingMessageInfo, u8"Hämtar information om brev"},
    Entry{StringId::Disconnecting, u8"Kopplar från..."},
    // Hints and the delete question.
    Entry{StringId::SelectOneToView, u8"Du måste markera ett brev innan du trycker Granska."},
    Entry{StringId::SelectToDelete, u8"Du måste markera minst ett brev innan du trycker Radera."},
    Entry{StringId::ReallyDelete, u8"Är du säker på att du vill radera"},
    Entry{StringId::MessagesQuestion, u8"brev?"},
    Entry{StringId::Deleting, u8"Raderar brev"},
    Entry{StringId::SelectToForward, u8"Du måste markera minst ett brev innan du trycker Forward."},
    Entry{StringId::FetchingMessage, u8"Hämtar brev"},
    Entry{StringId::Sending, u8"Skickar brev..."},
    Entry{StringId::SelectToReply, u8"Du måste markera ett brev innan du trycker Svara."},
    Entry{StringId::MarkedCount, u8"brev markerade."},
    // About box credits: 136 the short line, 137 the long one.
    Entry{StringId::ShortCredits, u8"Överstebetatestare: Maroket-utvecklarna"},
    Entry{StringId::LongCredits,
          u8"Grafik: Maroket-utvecklarna. Betatestare: Maroket-utvecklarna och "
          u8"programmets första användare."},
    Entry{StringId::CheckingAddress, u8"Kollar om adressen är giltig som mottagare..."},
    Entry{StringId::AddressValid, u8"Adressen är giltig."},
    // POP3 login and the labels that prefix a refused command's reply.
    Entry{StringId::CannotConnect, u8"Kan inte ansluta."},
    Entry{StringId::GreetingRefused, u8"Ett fel uppstod vid anslutning till server."},
    Entry{StringId::QuitLabel, u8"QUIT:"},
    Entry{StringId::DeleLabel, u8"DELE:"},
    Entry{StringId::RsetLabel, u8"RSET:"},
    Entry{StringId::StatLabel, u8"STAT:"},
    Entry{StringId::NoopLabel, u8"NOOP:"},
    Entry{StringId::ListLabel, u8"LIST:"},
    Entry{StringId::RetrLabel, u8"RETR:"},
    Entry{StringId::TopLabel, u8"TOP:"},
    Entry{StringId::Missing, u8"-saknas-"},
    // SMTP labels and results.
    Entry{StringId::HeloLabel, u8"HELO:"},
    Entry{StringId::MailFromLabel, u8"MAIL FROM:"},
    Entry{StringId::RcptToLabel, u8"RCPT TO:"},
    Entry{StringId::RecipientAccepted, u8"Adressen är giltig."},
    Entry{StringId::WaitingForDns, u8"Väntar på svar från DNS..."},
    Entry{StringId::ForwardCancelled, u8"Forwardning avbruten."},
    Entry{StringId::SendingMessage, u8"Skickar brev"},
    Entry{StringId::Of, u8"av"},
    Entry{StringId::MessageSent, u8"Brev skickat."},
    Entry{StringId::UserLabel, u8"USER:"},
    Entry{StringId::PassLabel, u8"PASS:"},
    Entry{StringId::Disconnected, u8"Frånkopplad."},

    // Our own texts, above the range of the others: a lost or silent connection, and typed
    // input that cannot go into a command line.
    Entry{StringId::ConnectionLost, u8"Förbindelsen med servern bröts."},
    Entry{StringId::TimedOut, u8"Servern svarade inte i tid."},
    Entry{StringId::NotConnected, u8"Inte ansluten till servern."},
    Entry{StringId::LineBreakInLogin, u8"Kontonamn och lösenord får inte innehålla radbrytningar."},
    // SMTP: typed text that cannot go into a command or header line, the label of the data
    // step, and a retrieved message that cannot be read for forwarding.
    Entry{StringId::LineBreakInField,
          u8"Adresser, Helo-namn och ärende får inte innehålla radbrytningar."},
    Entry{StringId::DataLabel, u8"DATA:"},
    Entry{StringId::RetrievedUnreadable, u8"Det hämtade brevet kunde inte läsas:"},
    // Why a TLS connection was refused; each follows "Kan inte ansluta.".
    Entry{StringId::UntrustedCertificate, u8"Servern har inget betrott certifikat."},
    Entry{StringId::NameMismatch, u8"Certifikatet gäller ett annat namn."},
    Entry{StringId::HandshakeFailed, u8"TLS-handskakningen misslyckades."},
    // The user stopped a wait on the server; a reply too long to show whole.
    Entry{StringId::CancelledByUser, u8"Avbrutet av användaren."},
    Entry{StringId::CutNote,
          u8"[Brevet är för stort för att visas helt: bara de första 4 MB visas.]"},
    // The label of the unique-id listing.
    Entry{StringId::UidlLabel, u8"UIDL:"},
    Entry{StringId::CapaLabel, u8"CAPA:"},
    // Submission.
    Entry{StringId::AuthLabel, u8"AUTH:"},
    Entry{StringId::EhloLabel, u8"EHLO:"},
    Entry{StringId::StartTlsLabel, u8"STARTTLS:"},
    Entry{StringId::StlsLabel, u8"STLS:"},
    Entry{StringId::PasswordNeedsTls,
          u8"Servern erbjuder ingen kryptering (STARTTLS), så lösenordet skickas inte."},
    // After the user stopped a download or a delete run, the list was loaded anew.
    Entry{StringId::ListReloaded, u8"Listan har hämtats på nytt."},
    Entry{StringId::OutOfStep,
          u8"Serverns svar följde inte kommandona. Förbindelsen stängdes, och inget ändrades på "
          u8"servern."},
    // Mail without a sender is not sent.
    Entry{StringId::NoSenderAddress,
          u8"Brevet skickades inte: det saknar avsändare. Skriv din e-postadress i fältet Från "
          u8"eller som E-postadress under Inställningar."},
    // CContentText::kLinesMax.
    Entry{StringId::ContentCutNote,
          u8"[Texten är för lång för att visas helt: bara de första 20 000 raderna visas.]"},
    // A server that offered TLS before and does not now; each follows "Kan inte ansluta.".
    Entry{StringId::StlsWithdrawn,
          u8"Servern erbjöd tidigare kryptering (STLS) men gör det inte nu, så varken kontonamn "
          u8"eller lösenord skickas. Någon på vägen kan ha tagit bort erbjudandet."},
    Entry{StringId::StartTlsWithdrawn,
          u8"Servern erbjöd tidigare kryptering (STARTTLS) men gör det inte nu, så varken "
          u8"inloggning eller brev skickas. Någon på vägen kan ha tagit bort erbjudandet."},
    // CPop3Session::kMessagesMax; "STAT: 2000000000 brev enligt servern, ...".
    Entry{StringId::TooManyMessages,
          u8"brev enligt servern, fler än programmet kan visa (högst 1 000 000)."},
    // "LIST: Servern listade 3 brev, men STAT angav 5."
    Entry{StringId::ServerListed, u8"Servern listade"},
    Entry{StringId::MessagesButStatSaid, u8"brev, men STAT angav"},
    Entry{StringId::OutOfMemory, u8"Minnet räckte inte till, så kommandot avbröts."},
    // "Listan visar bara de första 5000 av 20000 brev."
    Entry{StringId::ListShowsFirst, u8"Listan visar bara de första"},
    Entry{StringId::MessagesEnd, u8"brev."},
    Entry{StringId::ServerRefused, u8"Servern nekade anslutningen (port %1)."},
    Entry{StringId::UnknownHostName, u8"Namnet %1 finns inte."},
    Entry{StringId::NoAnswerWithin, u8"Ingen svarade inom %1 s."},
    Entry{StringId::ServerUnreachable,
          u8"Servern kan inte nås härifrån (inget nät eller ingen väg dit)."},
    Entry{StringId::EnterMailServer, u8"Ange en mailserver."},
    Entry{StringId::NoSmtpServer, u8"Ingen SMTP-server är inställd (Redigera > Inställningar)."},
    Entry{StringId::DiscardMessage, u8"Kasta brevet?"},
    Entry{StringId::NoDisplay,
          u8"Maroket behöver en grafisk skärm (DISPLAY eller WAYLAND_DISPLAY saknas)."},
    Entry{StringId::UnknownOption, u8"okänd flagga: %1"},
    Entry{StringId::OptionNeedsValue, u8"%1 behöver ett värde"},
    // Signing in without a password.
    Entry{StringId::OAuthNoClientId,
          u8"Inloggning utan lösenord behöver programmets klient-id hos leverantören: skriv det "
          u8"som OAuth.%1.ClientId i inställningsfilen."},
    Entry{StringId::OAuthUnsafeUrl,
          u8"Inloggningen används inte: adressen %1 måste börja med https:// (http:// bara till "
          u8"den egna datorn)."},
    Entry{StringId::OAuthSigningIn, u8"Logga in hos %1 i webbläsaren..."},
    Entry{StringId::OAuthWaitText,
          u8"Logga in hos %1 i webbläsaren som öppnades. Maroket fortsätter när inloggningen är "
          u8"klar."},
    Entry{StringId::OAuthCancelled, u8"Inloggningen avbröts."},
    Entry{StringId::OAuthNoAnswer, u8"Inloggningen gav inget svar inom %1 s."},
    Entry{StringId::OAuthForeignAnswer,
          u8"Inloggningen avbröts: svaret till programmet hörde inte till den här inloggningen."},
    Entry{StringId::OAuthRefused, u8"Inloggningen nekades: %1"},
    Entry{StringId::OAuthBrowserFailed, u8"Webbläsaren kunde inte öppnas för inloggningen."},
    Entry{StringId::OAuthCannotListen,
          u8"Inloggningen kunde inte starta: ingen port på 127.0.0.1 tog emot svaret."},
    Entry{StringId::OAuthServerFailed, u8"Inloggningsservern svarade inte som väntat: %1"},
    Entry{StringId::OAuthNotKept,
          u8"Inget nyckelskåp (Secret Service) svarade, så inloggningen sparas inte: du loggar in "
          u8"i webbläsaren vid varje start."},
    Entry{StringId::OAuthRenewing, u8"Förnyar inloggningen hos %1..."},
    Entry{StringId::OAuthAnswerPage,
          u8"Maroket har fått svaret från inloggningen. Du kan stänga den här sidan."},
};

static_assert(std::adjacent_find(kEntries.begin(), kEntries.end(),
                                 [](const Entry& a, const Entry& b) { return a.id >= b.id; }) ==
                  kEntries.end(),
              "string table ids must be strictly ascending");

} // namespace

std::string CStringTable::load(StringId id) {
    const auto it = std::lower_bound(kEntries.begin(), kEntries.end(), id,
                                     [](const Entry& e, StringId key) { return e.id < key; });
    if (it == kEntries.end() || it->id != id)
        return {};
    return std::string(it->text.begin(), it->text.end());
}

std::string CStringTable::load(StringId id, const std::string& argument) {
    std::string text = load(id);
    const std::size_t at = text.find("%1");
    if (at != std::string::npos)
        text.replace(at, 2, argument);
    return text;
}
