#include "send/CMessageComposer.h"

#include "send/CHeaderWordEncoder.h"

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// One byte of quoted-printable text: itself when it may stand for itself at this place, else
// its code. A blank or TAB at the end of a line would be lost by the mail systems on the way; a
// "." at the start of one is left alone by every SMTP transparency rule.
std::string_view quotedByte(unsigned char b, std::size_t column, bool endsLine, char (&code)[3]) {
    const bool printable = b >= 33 && b <= 126 && b != '=' && !(b == '.' && column == 0);
    const bool blank = (b == ' ' || b == '\t') && !endsLine;
    if (printable || blank) {
        code[0] = static_cast<char>(b);
        return {code, 1};
    }
    code[0] = '=';
    code[1] = kHex[b >> 4];
    code[2] = kHex[b & 0x0F];
    return {code, 3};
}

// One line of text, without its line break, with soft line breaks where it is too long.
void appendQuotedLine(std::string& out, std::string_view line) {
    std::size_t column = 0;
    char code[3];
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto b = static_cast<unsigned char>(line[i]);
        const bool endsLine = i + 1 == line.size();
        std::string_view piece = quotedByte(b, column, endsLine, code);
        // Unless this piece ends the line, the last column is kept for the "=" of a soft break.
        const std::size_t limit =
            endsLine ? CMessageComposer::kQuotedLineMax : CMessageComposer::kQuotedLineMax - 1;
        if (column + piece.size() > limit) {
            out += "=\r\n";
            column = 0;
            piece = quotedByte(b, column, endsLine, code);
        }
        out += piece;
        column += piece.size();
    }
}

} // namespace

std::string CMessageComposer::composeMessage(const HeaderFields& fields, std::string_view body,
                                             int quotedPrintable) {
    std::string bytes;
    const std::string_view charset = CCharset::forSending(body, bytes);
    // Decided by what is sent: 8-bit text never goes out raw.
    const bool encoded = choosesQuotedPrintable(bytes, quotedPrintable);
    return composeHeader(fields, encoded, charset) + "\r\n" + composeText(bytes, encoded);
}

bool CMessageComposer::choosesQuotedPrintable(std::string_view body, int quotedPrintable) {
    return quotedPrintable == 1 || CCharset::hasHighBytes(body);
}

std::string CMessageComposer::composeHeader(const HeaderFields& fields, bool quotedPrintableBody,
                                            std::string_view bodyCharset) {
    std::string header = "X-Mailer: Velmo 1.0\r\n";
    auto line = [&header](std::string_view name, std::string_view value) {
        if (!value.empty())
            header.append(name).append(": ").append(value).append("\r\n");
    };
    line("Date", fields.date);
    line("From", CHeaderWordEncoder::encodeDisplayName(fields.from));
    line("To", CHeaderWordEncoder::encodeDisplayName(fields.to));
    line("Subject", CHeaderWordEncoder::encodeText(fields.subject));
    line("Message-ID", fields.messageId);
    if (quotedPrintableBody)
        header.append("MIME-Version: 1.0\r\nContent-Type: text/plain; charset=")
            .append(bodyCharset)
            .append("\r\nContent-Transfer-Encoding: quoted-printable\r\n");
    return header;
}

std::string CMessageComposer::encodeQuotedPrintable(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4 + 2);
    for (std::size_t start = 0;;) {
        const std::size_t lineEnd = text.find_first_of("\r\n", start);
        appendQuotedLine(out, text.substr(start, lineEnd - start));
        if (lineEnd == std::string_view::npos)
            return out;
        out += "\r\n";
        start = lineEnd + 1;
        if (text[lineEnd] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
}

std::string CMessageComposer::composeText(std::string_view body, bool quotedPrintable) {
    return makeTransparent(quotedPrintable ? encodeQuotedPrintable(body) : body);
}

std::string CMessageComposer::makeTransparent(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32 + 2);
    bool lineStart = true; // the text follows the empty line that ends the header block
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == '\r' || ch == '\n') {
            out += "\r\n";
            if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            lineStart = true;
            continue;
        }
        if (lineStart && ch == '.')
            out += '.';
        out += ch;
        lineStart = false;
    }
    return out;
}
