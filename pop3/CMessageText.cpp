#include "pop3/CMessageText.h"

#include "pop3/CCharset.h"
#include "pop3/CHeaderDecoder.h"
#include "pop3/CHtmlText.h"
#include "pop3/CMimeBounds.h"
#include "pop3/CMimeLibrary.h"

#include <gmime/gmime.h>

#include <memory>

namespace {

struct Unref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <class T> using Owned = std::unique_ptr<T, Unref>;

bool isAttachment(GMimeObject* object) {
    const char* disposition = g_mime_object_get_disposition(object);
    return disposition && CCharset::equalsIgnoringCase(disposition, "attachment");
}

// The first plain and the first HTML text part in reading order.
void findText(GMimeObject* object, GMimePart*& plain, GMimePart*& html) {
    if (!object || plain)
        return;
    if (GMIME_IS_MULTIPART(object)) {
        GMimeMultipart* multipart = GMIME_MULTIPART(object);
        const int count = g_mime_multipart_get_count(multipart);
        for (int i = 0; i < count && !plain; ++i)
            findText(g_mime_multipart_get_part(multipart, i), plain, html);
    } else if (GMIME_IS_MESSAGE_PART(object)) {
        GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
        if (inner)
            findText(g_mime_message_get_mime_part(inner), plain, html);
    } else if (GMIME_IS_PART(object) && !isAttachment(object)) {
        GMimeContentType* type = g_mime_object_get_content_type(object);
        if (g_mime_content_type_is_type(type, "text", "plain"))
            plain = GMIME_PART(object);
        else if (!html && g_mime_content_type_is_type(type, "text", "html"))
            html = GMIME_PART(object);
    }
}

// The part's content with its transfer encoding undone.
std::string decodedContent(GMimePart* part) {
    GMimeDataWrapper* wrapper = g_mime_part_get_content(part);
    if (!wrapper)
        return {};
    Owned<GMimeStream> out(g_mime_stream_mem_new());
    g_mime_data_wrapper_write_to_stream(wrapper, out.get());
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
    return std::string(reinterpret_cast<const char*>(bytes->data), bytes->len);
}

// CR LF line ends, without zero bytes and without line ends at the end.
std::string tidied(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c != '\0') {
            out += c;
        }
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

bool needsDecoding(std::string_view field) {
    return CCharset::hasHighBytes(field) || field.find("=?") != std::string_view::npos;
}

} // namespace

std::string CMessageText::unstuffed(std::string_view data) {
    const std::size_t end = data.starts_with(".\r\n") ? 0 : data.find("\r\n.\r\n");
    const std::string_view message = data.substr(0, end);
    std::string out;
    out.reserve(message.size());
    bool lineStart = true;
    for (std::size_t i = 0; i < message.size(); ++i) {
        if (lineStart && message[i] == '.' && i + 1 < message.size() && message[i + 1] == '.')
            ++i;
        out += message[i];
        lineStart = message[i] == '\n';
    }
    return out;
}

std::string CMessageText::decodedHeader(std::string_view header) {
    std::string out;
    out.reserve(header.size());
    for (std::size_t at = 0; at < header.size();) {
        // A field: its first line and every line that starts with a blank or a tab.
        std::size_t end = at;
        do {
            const std::size_t lineEnd = header.find('\n', end);
            end = lineEnd == std::string_view::npos ? header.size() : lineEnd + 1;
        } while (end < header.size() && (header[end] == ' ' || header[end] == '\t'));
        const std::string_view field = header.substr(at, end - at);
        at = end;
        const std::size_t colon = field.find(':');
        if (!needsDecoding(field) || colon == std::string_view::npos) {
            out += CCharset::fromUnknown(field);
            continue;
        }
        std::string value(field.substr(colon + 1));
        const bool ended = value.ends_with('\n');
        std::erase_if(value, [](char c) { return c == '\r' || c == '\n'; });
        out += CCharset::fromUnknown(field.substr(0, colon + 1));
        out += CHeaderDecoder::decodeText(value);
        if (ended)
            out += "\r\n";
    }
    return out;
}

namespace {

// The parser's reading of a message: where its header block ends (npos when it found no end)
// and the text a person reads.
struct Reading {
    std::size_t headerEnd = std::string_view::npos;
    std::string text;
};

Reading read(std::string_view message) {
    Reading reading;
    const std::string_view parsed = CMimeBounds::parsed(message);
    CMimeLibrary::ready();
    Owned<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(parsed.data(), parsed.size()));
    Owned<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    Owned<GMimeMessage> mail(
        g_mime_parser_construct_message(parser.get(), CMimeLibrary::parserOptions()));
    if (!mail)
        return reading;
    // A header block that the bounds cut has no end the parser could see.
    const gint64 headerEnd = g_mime_parser_get_headers_end(parser.get());
    if (headerEnd >= 0 &&
        (parsed.size() == message.size() || static_cast<std::size_t>(headerEnd) < parsed.size()))
        reading.headerEnd = static_cast<std::size_t>(headerEnd);
    GMimePart* plain = nullptr;
    GMimePart* html = nullptr;
    findText(g_mime_message_get_mime_part(mail.get()), plain, html);
    GMimePart* chosen = plain ? plain : html;
    if (!chosen)
        return reading;
    const std::string bytes = decodedContent(chosen);
    const char* charset = g_mime_object_get_content_type_parameter(GMIME_OBJECT(chosen), "charset");
    std::string text =
        charset ? CCharset::toUtf8(bytes, charset, true) : CCharset::fromUnknown(bytes);
    if (chosen == html)
        text = CHtmlText::toPlainText(text);
    reading.text = tidied(text);
    return reading;
}

} // namespace

std::string CMessageText::readableText(std::string_view message) {
    return read(message).text;
}

std::string CMessageText::preview(std::string_view reply) {
    const std::string message = unstuffed(reply);
    const Reading reading = read(message);
    // Header lines alone: a message without body, or a reply cut inside its header. Where the
    // header block ends is the parser's decision, so that no line shows as header and as text.
    if (reading.headerEnd == std::string_view::npos || reading.headerEnd > message.size())
        return decodedHeader(message);
    return decodedHeader(std::string_view(message).substr(0, reading.headerEnd)) + "\r\n" +
           reading.text;
}
