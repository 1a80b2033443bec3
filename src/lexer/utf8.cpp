#include "lexer/utf8.hpp"

namespace quenra::utf8 {

namespace {

// Length of the well-formed sequence at `pos`, or the length of its maximal invalid
// prefix negated (at least -1) when it is ill-formed.
int sequence_length(std::string_view text, std::size_t pos, char32_t& out) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char b0 = byte(pos);
    if (b0 < 0x80) {
        out = b0;
        return 1;
    }
    int length;
    char32_t value;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        value = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        value = b0 & 0x0F;
        if (b0 == 0xE0) low = 0xA0;   // overlong
        if (b0 == 0xED) high = 0x9F;  // surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        value = b0 & 0x07;
        if (b0 == 0xF0) low = 0x90;   // overlong
        if (b0 == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
        return -1;
    }
    for (int i = 1; i < length; ++i) {
        if (pos + i >= text.size()) return -i;
        unsigned char b = byte(pos + i);
        unsigned char lo = i == 1 ? low : 0x80, hi = i == 1 ? high : 0xBF;
        if (b < lo || b > hi) return -i;
        value = (value << 6) | (b & 0x3F);
    }
    out = value;
    return length;
}

}  // namespace

bool is_valid(std::string_view text) {
    std::size_t pos = 0, size = text.size();
    while (pos < size) {
        // Skip ASCII quickly, eight bytes at a time.
        while (pos + 8 <= size) {
            std::uint64_t word = 0;
            for (int i = 0; i < 8; ++i) {
                word |= static_cast<std::uint64_t>(static_cast<unsigned char>(text[pos + i]))
                        << (8 * i);
            }
            if (word & 0x8080808080808080ULL) break;
            pos += 8;
        }
        if (pos >= size) break;
        char32_t ignored;
        int length = sequence_length(text, pos, ignored);
        if (length < 0) return false;
        pos += static_cast<std::size_t>(length);
    }
    return true;
}

char32_t decode(std::string_view text, std::size_t& pos) {
    char32_t value = REPLACEMENT;
    int length = sequence_length(text, pos, value);
    if (length < 0) {
        pos += static_cast<std::size_t>(-length);
        return REPLACEMENT;
    }
    pos += static_cast<std::size_t>(length);
    return value;
}

void append(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string sanitize(std::string_view text) {
    if (is_valid(text)) return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) append(out, decode(text, pos));
    return out;
}

bool is_white_space(char32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

std::string_view trim_white_space(std::string_view text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end) {
        std::size_t next = begin;
        if (!is_white_space(decode(text, next))) break;
        begin = next;
    }
    while (end > begin) {
        // Step back to the start of the last character.
        std::size_t start = end - 1;
        while (start > begin && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
        std::size_t next = start;
        char32_t c = decode(text, next);
        if (next != end || !is_white_space(c)) break;
        end = start;
    }
    return text.substr(begin, end - begin);
}

}  // namespace quenra::utf8
