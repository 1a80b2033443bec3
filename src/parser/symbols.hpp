#pragma once
// The symbol table: every name and every string literal of a program is interned
// once by the parser, so that everything after the parser compares small integer
// ids instead of texts. Ids are dense (0, 1, 2, ...) and stable for the table's
// lifetime, which lets the interpreter index per-name records by id.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace quenra {

using SymbolId = std::uint32_t;

class SymbolTable {
public:
    SymbolTable() = default;
    SymbolTable(const SymbolTable&) = delete;
    SymbolTable& operator=(const SymbolTable&) = delete;

    // The id of `text`, adding it when it is new.
    SymbolId intern(std::string_view text);
    const std::string& text(SymbolId id) const { return texts_[id]; }
    std::size_t size() const { return texts_.size(); }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const noexcept {
            return std::hash<std::string_view>{}(text);
        }
    };
    std::deque<std::string> texts_;  // a deque never moves its elements
    std::unordered_map<std::string_view, SymbolId, Hash, std::equal_to<>> ids_;
};

}  // namespace quenra
