#include "send/CRetrievedHeader.h"

#include "platform/CFile.h"
#include "pop3/CCharset.h"

namespace {

// The line that starts at start, without its line end, and where the next one starts.
std::string_view lineAt(std::string_view text, std::size_t start, std::size_t& next) {
    const std::size_t end = text.find('\n', start);
    next = end == std::string_view::npos ? text.size() : end + 1;
    std::string_view line = text.substr(start, next - start);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

bool endsHeaderBlock(std::string_view bytes) {
    return bytes.starts_with("\r\n") || bytes.starts_with("\n") ||
           bytes.find("\n\r\n") != std::string_view::npos ||
           bytes.find("\n\n") != std::string_view::npos;
}

} // namespace

bool CRetrievedHeader::field(std::string_view message, std::string_view name, std::string& value) {
    std::size_t next = 0;
    for (std::size_t start = 0; start < message.size(); start = next) {
        const std::string_view line = lineAt(message, start, next);
        if (line.empty())
            return false; // the end of the header block
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos ||
            !CCharset::equalsIgnoringCase(trimmed(line.substr(0, colon)), name))
            continue;
        value.assign(line.substr(colon + 1));
        // A line that begins with a blank or a tab goes on with the field.
        while (next < message.size() && (message[next] == ' ' || message[next] == '\t'))
            value.append(lineAt(message, next, next));
        value = std::string(trimmed(value));
        return true;
    }
    return false;
}

std::string CRetrievedHeader::senderAddress(std::string_view message) {
    std::string from;
    if (!field(message, "From", from))
        return {};
    const std::size_t open = from.rfind('<');
    const std::size_t close = open == std::string::npos ? open : from.find('>', open);
    if (close != std::string::npos)
        return std::string(trimmed(std::string_view(from).substr(open + 1, close - open - 1)));
    // The older form: the address, then perhaps the name as a comment.
    return from.substr(0, from.find_first_of(" \t(,"));
}

std::string CRetrievedHeader::senderAddressOfFile(const std::string& path) {
    CFile file;
    if (!file.openForRead(path))
        return {};
    std::string head;
    char piece[4096];
    while (head.size() < kHeaderMax && !endsHeaderBlock(head)) {
        const long long got = file.read(piece, sizeof piece);
        if (got <= 0)
            break;
        head.append(piece, static_cast<std::size_t>(got));
    }
    return senderAddress(head);
}
