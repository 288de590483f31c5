#include "send/CMessageComposer.h"

std::string CMessageComposer::composeHeader(std::string_view fromHeader, std::string_view toHeader,
                                            std::string_view subject, int quotedPrintable) {
    std::string header = "X-Mailer: Velmo 1.0\r\n";
    if (!fromHeader.empty())
        header.append("From: ").append(fromHeader).append("\r\n");
    if (!toHeader.empty())
        header.append("To: ").append(toHeader).append("\r\n");
    if (!subject.empty())
        header.append("Subject: ").append(subject).append("\r\n");
    if (quotedPrintable == 1)
        header += "MIME-Version: 1.0\r\n"
                  "Content-Type: text/plain; charset=iso-8859-1\r\n"
                  "Content-Transfer-Encoding: quoted-printable\r\n";
    return header;
}

std::string CMessageComposer::encodeHighBytes(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x80) {
            out += ch;
            continue;
        }
        out += '=';
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
    }
    return out;
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

void CDataEnding::feed(std::string_view bytes) {
    if (bytes.size() >= 5) {
        tail_.assign(bytes.substr(bytes.size() - 5));
        return;
    }
    tail_.append(bytes);
    if (tail_.size() > 5)
        tail_.erase(0, tail_.size() - 5);
}

std::string_view CDataEnding::terminator() const {
    if (tail_ == "\r\n.\r\n")
        return {};
    if (tail_.ends_with("\r\n"))
        return ".\r\n";
    return "\r\n.\r\n";
}
