#include "pop3/CHtmlText.h"

#include "pop3/CCharset.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>

namespace {

// The HTML 4 names of U+00A0 to U+00FF, in order.
constexpr std::array<std::string_view, 96> kLatin1Names = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

struct Named {
    std::string_view name;
    char32_t code;
};
constexpr Named kOtherNames[] = {
    {"amp", '&'},       {"lt", '<'},       {"gt", '>'},        {"quot", '"'},
    {"apos", '\''},     {"euro", 0x20AC},  {"ndash", 0x2013},  {"mdash", 0x2014},
    {"lsquo", 0x2018},  {"rsquo", 0x2019}, {"sbquo", 0x201A},  {"ldquo", 0x201C},
    {"rdquo", 0x201D},  {"bdquo", 0x201E}, {"hellip", 0x2026}, {"bull", 0x2022},
    {"trade", 0x2122},  {"OElig", 0x0152}, {"oelig", 0x0153},  {"Scaron", 0x0160},
    {"scaron", 0x0161}, {"zwnj", 0x200C},  {"zwj", 0x200D},    {"thinsp", 0x2009},
    {"ensp", 0x2002},   {"emsp", 0x2003},  {"dagger", 0x2020}, {"permil", 0x2030}};

// A reference and its ";" take at most this many characters after the "&" ("#x10FFFF;",
// "thinsp;"); anything longer is text.
constexpr std::size_t kReferenceMax = 10;

// Elements whose content is not text a person reads.
constexpr std::string_view kHidden[] = {"script", "style", "title"};
// Blocks set apart by an empty line, and blocks that only start a line of their own.
constexpr std::string_view kParagraphs[] = {"p",  "h1", "h2", "h3",    "h4", "h5",  "h6",
                                            "ul", "ol", "dl", "table", "hr", "pre", "blockquote"};
constexpr std::string_view kLines[] = {"div",  "tr",     "li",      "dt",      "dd",
                                       "form", "header", "footer",  "section", "article",
                                       "nav",  "aside",  "address", "center",  "body"};

template <std::size_t N> bool isOneOf(std::string_view name, const std::string_view (&set)[N]) {
    return std::find(std::begin(set), std::end(set), name) != std::end(set);
}

// White space as HTML has it: a blank, a tab, CR, LF or FF.
bool isHtmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// The character a reference names ("amp", "#229", "#xE5"); false when it names none.
bool referenceValue(std::string_view ref, char32_t& cp) {
    if (ref.size() >= 2 && ref[0] == '#') {
        const bool hex = CCharset::lowerAscii(ref[1]) == 'x';
        const std::string_view digits = ref.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 8)
            return false;
        std::uint32_t value = 0;
        for (char c : digits) {
            const char l = CCharset::lowerAscii(c);
            int d = l >= '0' && l <= '9'          ? l - '0'
                    : hex && l >= 'a' && l <= 'f' ? l - 'a' + 10
                                                  : -1;
            if (d < 0)
                return false;
            value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
        }
        cp = value;
        return true;
    }
    for (std::size_t i = 0; i < kLatin1Names.size(); ++i)
        if (kLatin1Names[i] == ref) {
            cp = static_cast<char32_t>(0xA0 + i);
            return true;
        }
    for (const Named& named : kOtherNames)
        if (named.name == ref) {
            cp = named.code;
            return true;
        }
    return false;
}

class Writer {
public:
    // Text of the document; blanks run together unless kept.
    void text(char c, bool keepBlanks) {
        if (isHtmlSpace(c) && !keepBlanks) {
            space_ = true;
            return;
        }
        if (keepBlanks && (c == '\n' || c == '\r')) {
            if (c == '\n')
                ++breaks_;
            return;
        }
        begin();
        out_ += c;
    }
    void character(char32_t cp) {
        begin();
        CCharset::appendUtf8(out_, cp == 0 ? char32_t{0xFFFD} : cp);
    }
    void lineBreak() { ++breaks_; }
    void block(int lines) { breaks_ = std::max(breaks_, lines); }
    std::string take() { return std::move(out_); }

private:
    // What is pending before the next character: line breaks (none at the start), or a blank
    // (none at the start of a line).
    void begin() {
        if (breaks_ > 0 && !out_.empty()) {
            for (int i = 0; i < std::min(breaks_, 3); ++i)
                out_ += "\r\n";
        } else if (space_ && !out_.empty() && out_.back() != '\n') {
            out_ += ' ';
        }
        breaks_ = 0;
        space_ = false;
    }

    std::string out_;
    int breaks_ = 0;
    bool space_ = false;
};

// The end of the tag that starts at i (the index after its ">"), quoted values passed over.
std::size_t tagEnd(std::string_view html, std::size_t i) {
    char quote = 0;
    for (++i; i < html.size(); ++i) {
        const char c = html[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return html.size();
}

// Where the content of a hidden element ends: after its closing tag, or at the end.
std::size_t hiddenEnd(std::string_view html, std::size_t from, std::string_view name) {
    for (std::size_t at = html.find("</", from); at != std::string_view::npos;
         at = html.find("</", at + 2)) {
        std::size_t k = 0;
        while (k < name.size() && at + 2 + k < html.size() &&
               CCharset::lowerAscii(html[at + 2 + k]) == name[k])
            ++k;
        if (k == name.size())
            return tagEnd(html, at);
    }
    return html.size();
}

} // namespace

std::string CHtmlText::toPlainText(std::string_view html) {
    Writer out;
    int preformatted = 0;
    for (std::size_t i = 0; i < html.size();) {
        const char c = html[i];
        if (c == '&') {
            // No reference is longer than kReferenceMax, so the search for its ";" stops there:
            // a text of nothing but "&" is read once, not once per "&".
            const std::size_t semicolon = html.substr(i + 1, kReferenceMax).find(';');
            char32_t cp = 0;
            if (semicolon != std::string_view::npos &&
                referenceValue(html.substr(i + 1, semicolon), cp)) {
                out.character(cp);
                i += semicolon + 2;
            } else {
                out.text(c, true);
                ++i;
            }
            continue;
        }
        if (c != '<') {
            out.text(c, preformatted > 0);
            ++i;
            continue;
        }
        if (html.substr(i, 4) == "<!--") {
            const std::size_t end = html.find("-->", i + 4);
            i = end == std::string_view::npos ? html.size() : end + 3;
            continue;
        }
        const bool closing = i + 1 < html.size() && html[i + 1] == '/';
        std::size_t nameEnd = i + (closing ? 2 : 1);
        std::string name;
        while (nameEnd < html.size() && std::isalnum(static_cast<unsigned char>(html[nameEnd])))
            name += CCharset::lowerAscii(html[nameEnd++]);
        const bool declaration =
            nameEnd < html.size() && (html[nameEnd] == '!' || html[nameEnd] == '?');
        if (name.empty() && !closing && !declaration) {
            out.text(c, true); // a "<" that opens no tag is text
            ++i;
            continue;
        }
        i = tagEnd(html, i);
        if (!closing && isOneOf(name, kHidden)) {
            i = hiddenEnd(html, i, name);
        } else if (name == "br") {
            out.lineBreak();
        } else if (name == "pre") {
            preformatted = std::max(0, preformatted + (closing ? -1 : 1));
            out.block(2);
        } else if (isOneOf(name, kParagraphs)) {
            out.block(2);
        } else if (isOneOf(name, kLines)) {
            out.block(1);
            if (name == "li" && !closing) {
                out.text('-', true);
                out.text(' ', true);
            }
        } else if (name == "td" || name == "th") {
            out.text(' ', false);
        }
    }
    return out.take();
}
