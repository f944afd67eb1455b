#include "provider/src/utf8_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// Length of the valid UTF-8 sequence at text[i], or 0 when there is none.
size_t SequenceLength(std::string_view text, size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) return 1;
    size_t length = 0;
    uint32_t minimum = 0;
    uint32_t value = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        minimum = 0x80;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        minimum = 0x800;
        value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        minimum = 0x10000;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) return 0;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

std::string ValidUtf8(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const size_t length = SequenceLength(text, i);
        if (length > 0) {
            result.append(text.substr(i, length));
            i += length;
        } else {
            const auto byte = static_cast<unsigned char>(text[i++]);
            result += static_cast<char>(0xC0 | (byte >> 6));
            result += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return result;
}

size_t CopyTruncated(std::string_view text, char* buf, size_t capacity) {
    if (!buf || capacity == 0) return 0;
    size_t count = std::min(text.size(), capacity - 1);
    // Step back over continuation bytes so that no character is cut in half.
    if (count < text.size())
        while (count > 0 && (static_cast<unsigned char>(text[count]) & 0xC0) == 0x80) --count;
    std::memcpy(buf, text.data(), count);
    buf[count] = '\0';
    return count;
}

int CopyWhole(std::string_view text, char* buf, size_t capacity) {
    if (!buf || capacity == 0) return 0;
    if (text.size() + 1 > capacity) {
        buf[0] = '\0';
        return 0;
    }
    std::memcpy(buf, text.data(), text.size());
    buf[text.size()] = '\0';
    return static_cast<int>(text.size());
}
