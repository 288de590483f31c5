#include "send/CDnsPacket.h"

namespace {

unsigned char byteAt(std::string_view bytes, std::size_t offset) {
    return static_cast<unsigned char>(bytes[offset]);
}

} // namespace

std::string CDnsPacket::buildQuery(const std::string& domain) {
    if (domain.size() > kMaxNameLength)
        return {};
    // Identifier 1, flags 0x0100, one question, no other records.
    std::string query("\x00\x01\x01\x00\x00\x01\x00\x00\x00\x00\x00\x00", kHeaderLength);
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = domain.find('.', start);
        const std::size_t end = dot == std::string::npos ? domain.size() : dot;
        const std::size_t length = end - start;
        // A zero length would end the name early; above 63 the byte reads as a pointer.
        if (length == 0 || length > kMaxLabelLength)
            return {};
        query += static_cast<char>(length);
        query.append(domain, start, length);
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    // End of name, type 15 (MX), class 1 (IN).
    query.append("\x00\x00\x0f\x00\x01", 5);
    return query;
}

std::optional<CDnsPacket::Name> CDnsPacket::readName(std::string_view answer, std::size_t offset) {
    Name name;
    // Where the text read since the last jump begins: the name reached through a pointer drops
    // its own final "." only, so a pointer to an empty name leaves the "." before it in place.
    std::size_t segmentStart = 0;
    int jumps = 0;
    for (;;) {
        if (offset >= answer.size())
            return std::nullopt;
        const unsigned char b = byteAt(answer, offset);
        if (b == 0) {
            if (name.text.size() > segmentStart)
                name.text.pop_back();
            if (name.text.size() > kMaxNameLength)
                return std::nullopt;
            if (!name.endedInPointer)
                name.offset = offset;
            return name;
        }
        if (b == kPointer) {
            if (offset + 1 >= answer.size() || ++jumps > kMaxJumps)
                return std::nullopt;
            if (!name.endedInPointer) {
                name.offset = offset + 2;
                name.endedInPointer = true;
            }
            offset = byteAt(answer, offset + 1);
            segmentStart = name.text.size();
            continue;
        }
        if (b > answer.size() - offset - 1)
            return std::nullopt;
        name.text.append(answer.substr(offset + 1, b));
        name.text += '.';
        // Even without its final "." the name is already too long.
        if (name.text.size() > kMaxNameLength + 1)
            return std::nullopt;
        offset += 1 + b;
    }
}

std::string CDnsPacket::firstExchanger(std::string_view answer) {
    // The first answer record alone decides. Deliberately unchecked: the identifier, the flags
    // and response code, the record counts, the class, the data length, the high byte of the
    // type and the preference. No answer records leaves zeros or nothing where the record would
    // be, which reads as another type or as truncated.
    const auto question = readName(answer, kHeaderLength);
    if (!question)
        return {};
    // Past the question's zero byte, type and class.
    const auto owner = readName(answer, question->offset + 5);
    if (!owner)
        return {};
    const std::size_t type = owner->endedInPointer ? owner->offset : owner->offset + 1;
    if (type + 1 >= answer.size() || byteAt(answer, type + 1) != kTypeMx)
        return {};
    // Past type, class, time to live, data length and preference.
    const auto exchanger = readName(answer, type + 12);
    return exchanger ? exchanger->text : std::string();
}
