#include "resources/CStringTable.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

struct Entry {
    int id;
    std::u8string_view text;
};

// Sorted by id: load() searches it by halving.
constexpr std::array kEntries{
    Entry{103, u8"Winsock kunde inte startas."},
    // List column titles.
    Entry{105, u8"Från"},
    Entry{106, u8"Ärende"},
    Entry{107, u8"Datum"},
    Entry{108, u8"Storlek"},
    // Connect, load and disconnect.
    Entry{109, u8"Ansluter till"},
    Entry{110, u8"Kontot är upptaget. Försöker igen..."},
    Entry{111, u8"Kontot är fortfarande upptaget. Tryck 'Nollställ' för att avbryta."},
    Entry{112, u8"Kontot har varit upptaget i mer än fem minuter. Försöken avbrutna."},
    Entry{113, u8"Hämtar meddelandeinformation..."},
    Entry{114, u8"Klar. Kontot har"},
    Entry{115, u8"brev på totalt"},
    Entry{116, u8"Hämtar information om brev"},
    Entry{118, u8"Kopplar från..."},
    // Hints and the delete question.
    Entry{119, u8"Du måste markera ett brev innan du trycker Granska."},
    Entry{120, u8"Du måste markera minst ett brev innan du trycker Radera."},
    Entry{121, u8"Är du säker på att du vill radera"},
    Entry{122, u8"brev?"},
    Entry{123, u8"Raderar brev"},
    Entry{125, u8"Du måste markera minst ett brev innan du trycker Forward."},
    Entry{126, u8"Hämtar brev"},
    Entry{132, u8"Skickar brev..."},
    Entry{134, u8"Du måste markera ett brev innan du trycker Svara."},
    Entry{135, u8"brev markerade."},
    // About box credits: 136 the short line, 137 the long one.
    Entry{136, u8"Överstebetatestare: Maroket-utvecklarna"},
    Entry{137, u8"Grafik: Maroket-utvecklarna. Betatestare: Maroket-utvecklarna och "
               u8"programmets första användare."},
    Entry{139, u8"Kollar om adressen är giltig som mottagare..."},
    Entry{141, u8"Adressen är giltig."},
    // POP3 login and the labels that prefix a refused command's reply.
    Entry{143, u8"Kan inte ansluta."},
    Entry{144, u8"Ett fel uppstod vid anslutning till server."},
    Entry{147, u8"QUIT:"},
    Entry{148, u8"DELE:"},
    Entry{149, u8"RSET:"},
    Entry{150, u8"STAT:"},
    Entry{151, u8"NOOP:"},
    Entry{152, u8"LIST:"},
    Entry{153, u8"RETR:"},
    Entry{154, u8"TOP:"},
    Entry{155, u8"-saknas-"},
    // SMTP labels and results.
    Entry{156, u8"HELO:"},
    Entry{157, u8"MAIL FROM:"},
    Entry{158, u8"RCPT TO:"},
    Entry{159, u8"Adressen är giltig."},
    Entry{160, u8"Väntar på svar från DNS..."},
    Entry{528, u8"Forwardning avbruten."},
    Entry{529, u8"Skickar brev"},
    Entry{531, u8"av"},
    Entry{533, u8"Brev skickat."},
    Entry{545, u8"USER:"},
    Entry{546, u8"PASS:"},
    Entry{604, u8"Frånkopplad."},

    // Our own texts, above the range of the others: a lost or silent connection, and typed
    // input that cannot go into a command line.
    Entry{701, u8"Förbindelsen med servern bröts."},
    Entry{702, u8"Servern svarade inte i tid."},
    Entry{703, u8"Inte ansluten till servern."},
    Entry{704, u8"Kontonamn och lösenord får inte innehålla radbrytningar."},
    // SMTP: typed text that cannot go into a command or header line, the label of the data
    // step, and a retrieved message that cannot be read for forwarding.
    Entry{705, u8"Adresser, Helo-namn och ärende får inte innehålla radbrytningar."},
    Entry{706, u8"DATA:"},
    Entry{707, u8"Det hämtade brevet kunde inte läsas:"},
    // Why a TLS connection was refused; each follows "Kan inte ansluta.".
    Entry{708, u8"Servern har inget betrott certifikat."},
    Entry{709, u8"Certifikatet gäller ett annat namn."},
    Entry{710, u8"TLS-handskakningen misslyckades."},
    // The user stopped a wait on the server; a reply too long to show whole.
    Entry{715, u8"Avbrutet av användaren."},
    Entry{716, u8"[Brevet är för stort för att visas helt: bara de första 4 MB visas.]"},
    // The label of the unique-id listing.
    Entry{720, u8"UIDL:"},
    Entry{721, u8"CAPA:"},
};

constexpr bool isContinuation(char8_t c) {
    return (c & 0xC0) == 0x80;
}

// True when the UTF-8 text holds only code points up to U+00FF, i.e. maps one to one onto
// ISO-8859-1. Those need at most two bytes, with a lead byte of 0xC2 or 0xC3.
constexpr bool isLatin1Utf8(std::u8string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char8_t c = text[i];
        if (c < 0x80)
            continue;
        if ((c != 0xC2 && c != 0xC3) || i + 1 >= text.size() || !isContinuation(text[i + 1]))
            return false;
        ++i;
    }
    return true;
}

static_assert(std::adjacent_find(kEntries.begin(), kEntries.end(),
                                 [](const Entry& a, const Entry& b) { return a.id >= b.id; }) ==
                  kEntries.end(),
              "string table ids must be strictly ascending");
static_assert(std::all_of(kEntries.begin(), kEntries.end(),
                          [](const Entry& e) { return isLatin1Utf8(e.text); }),
              "every text must be representable in ISO-8859-1");

std::string toLatin1(std::u8string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char8_t c = text[i];
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else {
            // Two-byte sequence, checked at compile time above.
            const auto code = static_cast<unsigned>(((c & 0x1F) << 6) | (text[i + 1] & 0x3F));
            out.push_back(static_cast<char>(static_cast<unsigned char>(code)));
            ++i;
        }
    }
    return out;
}

} // namespace

std::string CStringTable::load(int id) {
    const auto it = std::lower_bound(kEntries.begin(), kEntries.end(), id,
                                     [](const Entry& e, int key) { return e.id < key; });
    if (it == kEntries.end() || it->id != id)
        return {};
    return toLatin1(it->text);
}
