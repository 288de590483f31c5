#include "resources/CStringTable.h"

#include "resources/TranslatableText.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// The texts are plain literals, which lupdate reads (it skips u8 ones); the compiler writes them
// as UTF-8, the one encoding of text inside the program.
static_assert(sizeof("å") == 3 && "å"[0] == '\xC3', "string literals must be UTF-8");

struct Entry {
    StringId id;
    const char* text;
};

// Sorted by id: load() searches it by halving.
constexpr std::array kEntries{
    Entry{StringId::SocketsUnavailable,
          QT_TRANSLATE_NOOP("CStringTable", "Winsock kunde inte startas.")},
    // List column titles.
    Entry{StringId::ColumnFrom, QT_TRANSLATE_NOOP("CStringTable", "Från")},
    Entry{StringId::ColumnSubject, QT_TRANSLATE_NOOP("CStringTable", "Ärende")},
    Entry{StringId::ColumnDate, QT_TRANSLATE_NOOP("CStringTable", "Datum")},
    Entry{StringId::ColumnSize, QT_TRANSLATE_NOOP("CStringTable", "Storlek")},
    // Connect, load and disconnect.
    Entry{StringId::ConnectingTo, QT_TRANSLATE_NOOP("CStringTable", "Ansluter till")},
    Entry{StringId::AccountBusy,
          QT_TRANSLATE_NOOP("CStringTable", "Kontot är upptaget. Försöker igen...")},
    Entry{StringId::AccountStillBusy,
          QT_TRANSLATE_NOOP("CStringTable",
                            "Kontot är fortfarande upptaget. Tryck 'Nollställ' för att avbryta.")},
    Entry{StringId::BusyGaveUp,
          QT_TRANSLATE_NOOP("CStringTable",
                            "Kontot har varit upptaget i mer än fem minuter. Försöken avbrutna.")},
    Entry{StringId::FetchingInfo,
          QT_TRANSLATE_NOOP("CStringTable", "Hämtar meddelandeinformation...")},
    Entry{StringId::DoneAccountHas, QT_TRANSLATE_NOOP("CStringTable", "Klar. Kontot har")},
    Entry{StringId::MessagesTotalling, QT_TRANSLATE_N_NOOP("CStringTable", "brev på totalt")},
    Entry{StringId::FetchingMessageInfo,
          QT_TRANSLATE_NOOP("CStringTable", "Hämtar information om brev")},
    Entry{StringId::Disconnecting, QT_TRANSLATE_NOOP("CStringTable", "Kopplar från...")},
    // Hints and the delete question.
    Entry{StringId::SelectOneToView,
          QT_TRANSLATE_NOOP("CStringTable", "Du måste markera ett brev innan du trycker Granska.")},
    Entry{StringId::SelectToDelete,
          QT_TRANSLATE_NOOP("CStringTable",
                            "Du måste markera minst ett brev innan du trycker Radera.")},
    Entry{StringId::ReallyDelete,
          QT_TRANSLATE_NOOP("CStringTable", "Är du säker på att du vill radera")},
    Entry{StringId::MessagesQuestion, QT_TRANSLATE_N_NOOP("CStringTable", "brev?")},
    Entry{StringId::Deleting, QT_TRANSLATE_NOOP("CStringTable", "Raderar brev")},
    Entry{StringId::SelectToForward,
          QT_TRANSLATE_NOOP("CStringTable",
                            "Du måste markera minst ett brev innan du trycker Forward.")},
    Entry{StringId::FetchingMessage, QT_TRANSLATE_NOOP("CStringTable", "Hämtar brev")},
    Entry{StringId::Sending, QT_TRANSLATE_NOOP("CStringTable", "Skickar brev...")},
    Entry{StringId::SelectToReply,
          QT_TRANSLATE_NOOP("CStringTable", "Du måste markera ett brev innan du trycker Svara.")},
    Entry{StringId::MarkedCount, QT_TRANSLATE_N_NOOP("CStringTable", "brev markerade.")},
    // About box credits: 136 the short line, 137 the long one.
    Entry{StringId::ShortCredits,
          QT_TRANSLATE_NOOP("CStringTable", "Överstebetatestare: Maroket-utvecklarna")},
    Entry{StringId::LongCredits,
          QT_TRANSLATE_NOOP("CStringTable",
                            "Grafik: Maroket-utvecklarna. Betatestare: Maroket-utvecklarna och "
                            "programmets första användare.")},
    Entry{StringId::CheckingAddress,
          QT_TRANSLATE_NOOP("CStringTable", "Kollar om adressen är giltig som mottagare...")},
    Entry{StringId::AddressValid, QT_TRANSLATE_NOOP("CStringTable", "Adressen är giltig.")},
    // POP3 login and the labels that prefix a refused command's reply.
    Entry{StringId::CannotConnect, QT_TRANSLATE_NOOP("CStringTable", "Kan inte ansluta.")},
    Entry{StringId::GreetingRefused,
          QT_TRANSLATE_NOOP("CStringTable", "Ett fel uppstod vid anslutning till server.")},
    Entry{StringId::QuitLabel, QT_TRANSLATE_NOOP("CStringTable", "QUIT:")},
    Entry{StringId::DeleLabel, QT_TRANSLATE_NOOP("CStringTable", "DELE:")},
    Entry{StringId::RsetLabel, QT_TRANSLATE_NOOP("CStringTable", "RSET:")},
    Entry{StringId::StatLabel, QT_TRANSLATE_NOOP("CStringTable", "STAT:")},
    Entry{StringId::NoopLabel, QT_TRANSLATE_NOOP("CStringTable", "NOOP:")},
    Entry{StringId::ListLabel, QT_TRANSLATE_NOOP("CStringTable", "LIST:")},
    Entry{StringId::RetrLabel, QT_TRANSLATE_NOOP("CStringTable", "RETR:")},
    Entry{StringId::TopLabel, QT_TRANSLATE_NOOP("CStringTable", "TOP:")},
    Entry{StringId::Missing, QT_TRANSLATE_NOOP("CStringTable", "-saknas-")},
    // SMTP labels and results.
    Entry{StringId::HeloLabel, QT_TRANSLATE_NOOP("CStringTable", "HELO:")},
    Entry{StringId::MailFromLabel, QT_TRANSLATE_NOOP("CStringTable", "MAIL FROM:")},
    Entry{StringId::RcptToLabel, QT_TRANSLATE_NOOP("CStringTable", "RCPT TO:")},
    Entry{StringId::RecipientAccepted, QT_TRANSLATE_NOOP("CStringTable", "Adressen är giltig.")},
    Entry{StringId::WaitingForDns, QT_TRANSLATE_NOOP("CStringTable", "Väntar på svar från DNS...")},
    Entry{StringId::ForwardCancelled, QT_TRANSLATE_NOOP("CStringTable", "Forwardning avbruten.")},
    Entry{StringId::SendingMessage, QT_TRANSLATE_NOOP("CStringTable", "Skickar brev")},
    Entry{StringId::Of, QT_TRANSLATE_NOOP("CStringTable", "av")},
    Entry{StringId::MessageSent, QT_TRANSLATE_NOOP("CStringTable", "Brev skickat.")},
    Entry{StringId::UserLabel, QT_TRANSLATE_NOOP("CStringTable", "USER:")},
    Entry{StringId::PassLabel, QT_TRANSLATE_NOOP("CStringTable", "PASS:")},
    Entry{StringId::Disconnected, QT_TRANSLATE_NOOP("CStringTable", "Frånkopplad.")},

    // Our own texts, above the range of the others: a lost or silent connection, and typed
    // input that cannot go into a command line.
    Entry{StringId::ConnectionLost,
          QT_TRANSLATE_NOOP("CStringTable", "Förbindelsen med servern bröts.")},
    Entry{StringId::TimedOut, QT_TRANSLATE_NOOP("CStringTable", "Servern svarade inte i tid.")},
    Entry{StringId::NotConnected, QT_TRANSLATE_NOOP("CStringTable", "Inte ansluten till servern.")},
    Entry{StringId::LineBreakInLogin,
          QT_TRANSLATE_NOOP("CStringTable",
                            "Kontonamn och lösenord får inte innehålla radbrytningar.")},
    // SMTP: typed text that cannot go into a command or header line, the label of the data
    // step, and a retrieved message that cannot be read for forwarding.
    Entry{StringId::LineBreakInField,
          QT_TRANSLATE_NOOP("CStringTable",
                            "Adresser, Helo-namn och ärende får inte innehålla radbrytningar.")},
    Entry{StringId::DataLabel, QT_TRANSLATE_NOOP("CStringTable", "DATA:")},
    Entry{StringId::RetrievedUnreadable,
          QT_TRANSLATE_NOOP("CStringTable", "Det hämtade brevet kunde inte läsas:")},
    // Why a TLS connection was refused; each follows "Kan inte ansluta.".
    Entry{StringId::UntrustedCertificate,
          QT_TRANSLATE_NOOP("CStringTable", "Servern har inget betrott certifikat.")},
    Entry{StringId::NameMismatch,
          QT_TRANSLATE_NOOP("CStringTable", "Certifikatet gäller ett annat namn.")},
    Entry{StringId::HandshakeFailed,
          QT_TRANSLATE_NOOP("CStringTable", "TLS-handskakningen misslyckades.")},
    // The user stopped a wait on the server; a reply too long to show whole.
    Entry{StringId::CancelledByUser, QT_TRANSLATE_NOOP("CStringTable", "Avbrutet av användaren.")},
    Entry{
        StringId::CutNote,
        QT_TRANSLATE_NOOP("CStringTable",
                          "[Brevet är för stort för att visas helt: bara de första 4 MB visas.]")},
    // The label of the unique-id listing.
    Entry{StringId::UidlLabel, QT_TRANSLATE_NOOP("CStringTable", "UIDL:")},
    Entry{StringId::CapaLabel, QT_TRANSLATE_NOOP("CStringTable", "CAPA:")},
    // Submission.
    Entry{StringId::AuthLabel, QT_TRANSLATE_NOOP("CStringTable", "AUTH:")},
    Entry{StringId::EhloLabel, QT_TRANSLATE_NOOP("CStringTable", "EHLO:")},
    Entry{StringId::StartTlsLabel, QT_TRANSLATE_NOOP("CStringTable", "STARTTLS:")},
    Entry{StringId::StlsLabel, QT_TRANSLATE_NOOP("CStringTable", "STLS:")},
    Entry{StringId::PasswordNeedsTls,
          QT_TRANSLATE_NOOP(
              "CStringTable",
              "Servern erbjuder ingen kryptering (STARTTLS), så lösenordet skickas inte.")},
    // After the user stopped a download or a delete run, the list was loaded anew.
    Entry{StringId::ListReloaded, QT_TRANSLATE_NOOP("CStringTable", "Listan har hämtats på nytt.")},
    Entry{StringId::OutOfStep,
          QT_TRANSLATE_NOOP(
              "CStringTable",
              "Serverns svar följde inte kommandona. Förbindelsen stängdes, och inget ändrades på "
              "servern.")},
    // Mail without a sender is not sent.
    Entry{StringId::NoSenderAddress,
          QT_TRANSLATE_NOOP(
              "CStringTable",
              "Brevet skickades inte: det saknar avsändare. Skriv din e-postadress i fältet Från "
              "eller som E-postadress under Inställningar.")},
    // CContentText::kLinesMax.
    Entry{StringId::ContentCutNote,
          QT_TRANSLATE_NOOP(
              "CStringTable",
              "[Texten är för lång för att visas helt: bara de första 20 000 raderna visas.]")},
    // A server that offered TLS before and does not now; each follows "Kan inte ansluta.".
    Entry{StringId::StlsWithdrawn,
          QT_TRANSLATE_NOOP("CStringTable",
                            "Servern erbjöd tidigare kryptering (STLS) men gör det inte nu, så "
                            "varken kontonamn eller lösenord skickas. Någon på vägen kan ha tagit "
                            "bort erbjudandet.")},
    Entry{StringId::StartTlsWithdrawn,
          QT_TRANSLATE_NOOP("CStringTable",
                            "Servern erbjöd tidigare kryptering (STARTTLS) men gör det inte nu, så "
                            "varken inloggning eller brev skickas. Någon på vägen kan ha tagit "
                            "bort erbjudandet.")},
    // CPop3Session::kMessagesMax; "STAT: 2000000000 brev enligt servern, ...".
    Entry{StringId::TooManyMessages,
          QT_TRANSLATE_NOOP("CStringTable",
                            "brev enligt servern, fler än programmet kan visa (högst 1 000 000).")},
    // "LIST: Servern listade 3 brev, men STAT angav 5."
    Entry{StringId::ServerListed, QT_TRANSLATE_NOOP("CStringTable", "Servern listade")},
    Entry{StringId::MessagesButStatSaid, QT_TRANSLATE_NOOP("CStringTable", "brev, men STAT angav")},
    Entry{StringId::OutOfMemory,
          QT_TRANSLATE_NOOP("CStringTable", "Minnet räckte inte till, så kommandot avbröts.")},
    // "Listan visar bara de första 5000 av 20000 brev."
    Entry{StringId::ListShowsFirst,
          QT_TRANSLATE_NOOP("CStringTable", "Listan visar bara de första")},
    Entry{StringId::MessagesEnd, QT_TRANSLATE_NOOP("CStringTable", "brev.")},
    Entry{StringId::ServerRefused,
          QT_TRANSLATE_NOOP("CStringTable", "Servern nekade anslutningen (port %1).")},
    Entry{StringId::UnknownHostName, QT_TRANSLATE_NOOP("CStringTable", "Namnet %1 finns inte.")},
    Entry{StringId::NoAnswerWithin, QT_TRANSLATE_NOOP("CStringTable", "Ingen svarade inom %1 s.")},
    Entry{StringId::ServerUnreachable,
          QT_TRANSLATE_NOOP("CStringTable",
                            "Servern kan inte nås härifrån (inget nät eller ingen väg dit).")},
    Entry{StringId::EnterMailServer, QT_TRANSLATE_NOOP("CStringTable", "Ange en mailserver.")},
    Entry{StringId::NoSmtpServer,
          QT_TRANSLATE_NOOP("CStringTable",
                            "Ingen SMTP-server är inställd (Redigera > Inställningar).")},
    Entry{StringId::DiscardMessage, QT_TRANSLATE_NOOP("CStringTable", "Kasta brevet?")},
    Entry{StringId::NoDisplay,
          QT_TRANSLATE_NOOP(
              "CStringTable",
              "Maroket behöver en grafisk skärm (DISPLAY eller WAYLAND_DISPLAY saknas).")},
    Entry{StringId::UnknownOption, QT_TRANSLATE_NOOP("CStringTable", "okänd flagga: %1")},
    Entry{StringId::OptionNeedsValue, QT_TRANSLATE_NOOP("CStringTable", "%1 behöver ett värde")},
    Entry{StringId::UnknownLanguage,
          QT_TRANSLATE_NOOP("CStringTable", "okänt språk: %1 (sv eller en)")},
    // Signing in without a password.
    Entry{StringId::OAuthNoClientId,
          QT_TRANSLATE_NOOP(
              "CStringTable",
              "Inloggning utan lösenord behöver programmets klient-id hos leverantören: skriv det "
              "som OAuth.%1.ClientId i inställningsfilen.")},
    Entry{StringId::OAuthUnsafeUrl,
          QT_TRANSLATE_NOOP(
              "CStringTable",
              "Inloggningen används inte: adressen %1 måste börja med https:// (http:// bara till "
              "den egna datorn).")},
    Entry{StringId::OAuthSigningIn,
          QT_TRANSLATE_NOOP("CStringTable", "Logga in hos %1 i webbläsaren...")},
    Entry{StringId::OAuthWaitText,
          QT_TRANSLATE_NOOP(
              "CStringTable",
              "Logga in hos %1 i webbläsaren som öppnades. Maroket fortsätter när inloggningen är "
              "klar.")},
    Entry{StringId::OAuthCancelled, QT_TRANSLATE_NOOP("CStringTable", "Inloggningen avbröts.")},
    Entry{StringId::OAuthNoAnswer,
          QT_TRANSLATE_NOOP("CStringTable", "Inloggningen gav inget svar inom %1 s.")},
    Entry{
        StringId::OAuthForeignAnswer,
        QT_TRANSLATE_NOOP(
            "CStringTable",
            "Inloggningen avbröts: svaret till programmet hörde inte till den här inloggningen.")},
    Entry{StringId::OAuthRefused, QT_TRANSLATE_NOOP("CStringTable", "Inloggningen nekades: %1")},
    Entry{StringId::OAuthBrowserFailed,
          QT_TRANSLATE_NOOP("CStringTable", "Webbläsaren kunde inte öppnas för inloggningen.")},
    Entry{StringId::OAuthCannotListen,
          QT_TRANSLATE_NOOP(
              "CStringTable",
              "Inloggningen kunde inte starta: ingen port på 127.0.0.1 tog emot svaret.")},
    Entry{StringId::OAuthServerFailed,
          QT_TRANSLATE_NOOP("CStringTable", "Inloggningsservern svarade inte som väntat: %1")},
    Entry{
        StringId::OAuthNotKept,
        QT_TRANSLATE_NOOP(
            "CStringTable",
            "Inget nyckelskåp (Secret Service) svarade, så inloggningen sparas inte: du loggar in "
            "i webbläsaren vid varje start.")},
    Entry{StringId::OAuthRenewing,
          QT_TRANSLATE_NOOP("CStringTable", "Förnyar inloggningen hos %1...")},
    Entry{StringId::OAuthAnswerPage,
          QT_TRANSLATE_NOOP(
              "CStringTable",
              "Maroket har fått svaret från inloggningen. Du kan stänga den här sidan.")},
    Entry{StringId::TokenNeedsTls,
          QT_TRANSLATE_NOOP(
              "CStringTable",
              "Servern erbjuder ingen kryptering, så inloggningen med OAuth skickas inte.")},
};

static_assert(std::adjacent_find(kEntries.begin(), kEntries.end(),
                                 [](const Entry& a, const Entry& b) { return a.id >= b.id; }) ==
                  kEntries.end(),
              "string table ids must be strictly ascending");

CStringTable::Translator translator = nullptr;

std::string loadText(StringId id, int count) {
    const auto it = std::lower_bound(kEntries.begin(), kEntries.end(), id,
                                     [](const Entry& e, StringId key) { return e.id < key; });
    if (it == kEntries.end() || it->id != id)
        return {};
    return translator ? translator(it->text, count) : std::string(it->text);
}

} // namespace

void CStringTable::setTranslator(Translator translate) {
    translator = translate;
}

std::string CStringTable::load(StringId id) {
    return loadText(id, -1);
}

std::string CStringTable::loadCounted(StringId id, int count) {
    return loadText(id, count);
}

std::string CStringTable::load(StringId id, const std::string& argument) {
    std::string text = load(id);
    const std::size_t at = text.find("%1");
    if (at != std::string::npos)
        text.replace(at, 2, argument);
    return text;
}
