#pragma once
// Warnings of the opt-in --warn mode: where a script most likely does not do what
// its author meant. A normal run reports none of this and pays nothing for it.
//
// A place in the source is a 32-bit byte offset. Every text handed to the sink
// (a file, or each chunk of the interactive loop) gets its own range of offsets,
// so a place stays meaningful after later chunks have been read. Places become
// "FILE:LINE:COL" (columns counted in characters) only when a warning is written:
//
//   script.qn:3:9: warning: MESSAGE
//   let y = 10 // 3
//              ^
//
// Each place is reported once per kind of warning, at most WARNING_LIMIT times in
// all per batch; `finish_batch` then writes "N warnings".

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "lexer/token.hpp"

namespace quenra {

inline constexpr std::size_t WARNING_LIMIT = 100;

enum class WarningKind : std::uint8_t {
    // Found by the lexer.
    DroppedCharacter,  // `code`: the character
    UnclosedString,
    UnclosedComment,
    IntegerTooLarge,
    DoubleSlash,
    // Found by the parser.
    SkippedToken,      // `token`: what was skipped; `code`: a SkipContext
    ElementAssign,     // "=" after an index or member expression
    StatementLeftOut,  // `code`: a FormFailure; `token`: what was found instead
    MissingOperand,    // `token`: what stood where the operand should be
    ElseWithoutBrace,  // `token`: what follows "else"
    UnclosedBracket,   // `token`: the opening bracket; `other`: where it opened
    MissingCloser,     // `token`: what was found; `code`: the expected closer; `other`: opener
    CallOfNonName,
    LoneDot,           // `token`: what follows the "."
    DictEntryLeftOut,  // `token`: what follows the key
    BreakOutsideLoop,  // `code`: 1 for continue
    // Found while the program runs (messages built by the interpreter).
    UnknownFunction,
    EmptyVariable,
    NullOperator,
    NullComparison,
    BuiltinArgument,
    MissingElement,
    ForOverNonArray,
    NotRunBecauseMain,
    RunStopped,
};

// Where the parser was when it skipped a token.
enum class SkipContext : std::uint8_t { Statement, List, DictKey };

// Which step of a statement form failed.
enum class FormFailure : std::uint8_t {
    LetName,
    LetAssign,
    DefName,
    DefOpenParen,
    DefCloseParen,
    DefBrace,
    IfBrace,
    WhileBrace,
    ForName,
    ForIn,
    ForBrace,
    MatchBrace,
    ArmArrow,
    TryBrace,
    TryCatch,
    CatchName,
    CatchBrace,
    GlobalName,
};

class Warnings;

// A front-end warning, kept compact: hostile input can produce one per token.
struct Warning {
    std::uint32_t offset = 0;
    WarningKind kind = WarningKind::DroppedCharacter;
    TokenKind token = TokenKind::Eof;
    std::uint8_t code = 0;
    std::uint32_t other = 0;  // a second place, or a character
};

// What the lexer and the parser record for --warn: each token's offset (parallel to
// the token list) and the warnings, each list in the order found.
struct FrontEndTrace {
    std::uint32_t base = 0;  // the offset of the text's first byte
    std::vector<std::uint32_t> offsets;
    std::vector<Warning> warnings;
    const Warnings* sink = nullptr;  // for line numbers in messages, when known
};

class Warnings {
public:
    using Writer = void (*)(std::string_view text);
    explicit Warnings(Writer writer) : writer_(writer) {}
    Warnings(const Warnings&) = delete;
    Warnings& operator=(const Warnings&) = delete;

    // Keeps `text` under `name` and returns the kept copy, whose first byte is at
    // offset `base_of_last()`.
    std::string_view add_source(std::string name, std::string text);
    std::uint32_t base_of_last() const { return sources_.empty() ? 0 : sources_.back().base; }

    // Reports a front end's warnings in source order.
    void report_front_end(std::vector<Warning> warnings);
    // Reports one warning unless its place has had one of this kind before.
    void report(std::uint32_t offset, WarningKind kind, std::string_view message);
    // Whether `report` would write this one (so a caller can skip building it).
    bool is_new(std::uint32_t offset, WarningKind kind) const;

    // Writes "N warnings" when the batch had any, and starts a new batch.
    void finish_batch();
    std::size_t batch_count() const { return batch_count_; }

    // The place of `name` written just before the place `offset` (or, with `after`
    // set, just after the `skip` bytes there), across blanks; `offset` itself when
    // the text there is not that name.
    std::uint32_t name_beside(std::uint32_t offset, std::string_view name, bool after,
                              std::size_t skip) const;

    // 1-based line of a place.
    std::uint32_t line_of(std::uint32_t offset) const;

private:
    struct Source {
        std::string name;
        std::string text;
        std::uint32_t base;
        mutable std::vector<std::uint32_t> line_starts;  // built on first use
        // The last place whose column was counted: its line's start, itself, its column.
        mutable std::size_t column_line = SIZE_MAX, column_at = 0, column = 1;
    };
    const Source* source_of(std::uint32_t offset) const;
    void write(std::uint32_t offset, std::string_view message);

    Writer writer_;
    std::deque<Source> sources_;
    std::unordered_set<std::uint64_t> seen_;
    std::size_t batch_count_ = 0;
};

// The message of a front-end warning.
std::string describe(const Warning& warning, const Warnings* sink);

// `text` between double quotes, as warnings name tokens, names and operators.
std::string quoted(std::string_view text);

}  // namespace quenra
