#include "dialogs/CUiText.h"

namespace {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF. Sets multiByte when a
// sequence of two or more bytes was seen.
bool isUtf8(const std::string& bytes, bool& multiByte) {
    multiByte = false;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned char lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        int length;
        char32_t cp;
        char32_t min;
        if ((lead & 0xE0) == 0xC0) {
            length = 2, cp = lead & 0x1F, min = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, cp = lead & 0x0F, min = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, cp = lead & 0x07, min = 0x10000;
        } else {
            return false;
        }
        if (end - p < length)
            return false;
        for (int i = 1; i < length; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        multiByte = true;
        p += length;
    }
    return true;
}

} // namespace

QString CUiText::toQString(const std::string& bytes) {
    const auto size = static_cast<qsizetype>(bytes.size());
    bool multiByte = false;
    if (isUtf8(bytes, multiByte) && multiByte)
        return QString::fromUtf8(bytes.data(), size);
    return QString::fromLatin1(bytes.data(), size);
}

std::string CUiText::toBytes(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() <= 0xFF) {
            bytes.push_back(static_cast<char>(c.unicode()));
            continue;
        }
        // A character beyond the BMP is one character, so one "?", not two.
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        bytes.push_back('?');
    }
    return bytes;
}
