#include "parser/symbols.hpp"

namespace quenra {

SymbolId SymbolTable::intern(std::string_view text) {
    auto found = ids_.find(text);
    if (found != ids_.end()) return found->second;
    auto id = static_cast<SymbolId>(texts_.size());
    const std::string& stored = texts_.emplace_back(text);
    ids_.emplace(std::string_view(stored), id);
    return id;
}

}  // namespace quenra
