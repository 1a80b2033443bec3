#pragma once
// UTF-8 helpers shared by the driver (validation), the lexer (decoding) and the
// string built-ins (character counting).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quenra::utf8 {

inline constexpr char32_t REPLACEMENT = 0xFFFD;

// True when `text` is well-formed UTF-8: no overlong forms, no surrogates, nothing
// above U+10FFFF, no truncated sequence.
bool is_valid(std::string_view text);

// Decodes the scalar value starting at `text[pos]` and advances `pos` past it. An
// ill-formed sequence yields REPLACEMENT and advances by its maximal invalid prefix
// (at least one byte), so decoding always makes progress.
char32_t decode(std::string_view text, std::size_t& pos);

// Appends the UTF-8 form of `c` (a scalar value) to `out`.
void append(std::string& out, char32_t c);

// Replaces every ill-formed sequence by U+FFFD.
std::string sanitize(std::string_view text);

// The Unicode White_Space property.
bool is_white_space(char32_t c);
// `text` without White_Space characters at either end.
std::string_view trim_white_space(std::string_view text);

}  // namespace quenra::utf8
