#pragma once

// Part of the compiler's speed layer: the names of the three tables in the
// form the single-pass compiler looks them up, kept from compile to compile
// while the tables stay as they are.

#include "parser/Parser10.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kurvaro::compiler {

class Lexicon
{
public:
    enum class Kind : std::uint8_t
    {
        None,
        Variable,
        Function1,
        Function2,
    };
    struct Entry
    {
        Kind kind = Kind::None;
        double* cell = nullptr;
        OpRoutine routine = nullptr;
    };

    /// Brings the lexicon up to date with the tables; cheap when their stamps
    /// have not changed since the last call.
    void update(const TVariableTable& variables, const TFunctionTable& oneArg,
                const TFunctionTable& twoArg);

    /// Every name consists of ASCII letters, holds neither DIV nor MOD nor
    /// starts with "IV" (so that the operator words in a run of letters are
    /// found alike however it is read), is not "PI" and is in one table only.
    /// Then a name never reads as a number and a run of letters splits into
    /// names and operator words in one way only; the speed layer relies on it.
    bool plain() const { return plain_; }

    /// The entry of an upper-case name; Kind::None when there is none.
    const Entry& find(std::string_view name) const
    {
        if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z')
            return letters_[name[0] - 'A'];
        return findLonger(name);
    }

private:
    struct Slot
    {
        std::string name;
        Entry entry;
    };
    const Entry& findLonger(std::string_view name) const;
    void add(std::string_view name, const Entry& entry);
    static std::size_t hash(std::string_view name);

    std::uint64_t stamps_[3] = {};
    bool plain_ = false;
    std::vector<Slot> slots_; // open addressing, power-of-two size
    Entry letters_[26];       // the names of one letter, the usual variables
    Entry none_;
};

} // namespace kurvaro::compiler
