#include "parser/P10Lexicon.h"

#include <algorithm>
#include <iterator>

namespace kurvaro::compiler {

namespace {

bool plainName(std::string_view name)
{
    if (name.empty() || name == "PI" || name.substr(0, 2) == "IV")
        return false;
    for (char c : name)
        if (c < 'A' || c > 'Z')
            return false;
    return name.find("DIV") == std::string_view::npos && name.find("MOD") == std::string_view::npos;
}

std::string upperCase(std::string_view name)
{
    std::string upper(name);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

} // namespace

std::size_t Lexicon::hash(std::string_view name)
{
    std::uint32_t h = 2166136261u;
    for (char c : name)
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h;
}

void Lexicon::update(const TVariableTable& variables, const TFunctionTable& oneArg,
                     const TFunctionTable& twoArg)
{
    if (stamps_[0] == variables.stamp() && stamps_[1] == oneArg.stamp() &&
        stamps_[2] == twoArg.stamp())
        return;
    stamps_[0] = variables.stamp();
    stamps_[1] = oneArg.stamp();
    stamps_[2] = twoArg.stamp();
    std::size_t size = 16;
    while (size < 2 * (variables.size() + oneArg.size() + twoArg.size()))
        size *= 2;
    slots_.assign(size, Slot{});
    std::fill(std::begin(letters_), std::end(letters_), Entry{});
    plain_ = true;
    for (std::size_t i = 0; i < variables.size(); ++i)
        add(variables.at(i).first, Entry{Kind::Variable, variables.at(i).second, nullptr});
    for (std::size_t i = 0; i < oneArg.size(); ++i)
        add(oneArg.at(i).first, Entry{Kind::Function1, nullptr, oneArg.at(i).second});
    for (std::size_t i = 0; i < twoArg.size(); ++i)
        add(twoArg.at(i).first, Entry{Kind::Function2, nullptr, twoArg.at(i).second});
}

void Lexicon::add(std::string_view name, const Entry& entry)
{
    const std::string upper = upperCase(name);
    plain_ = plain_ && plainName(upper);
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash(upper) & mask;
    while (slots_[i].entry.kind != Kind::None) {
        if (slots_[i].name == upper) {
            plain_ = false; // in two tables
            return;
        }
        i = (i + 1) & mask;
    }
    slots_[i] = Slot{upper, entry};
    if (upper.size() == 1 && upper[0] >= 'A' && upper[0] <= 'Z')
        letters_[upper[0] - 'A'] = entry;
}

const Lexicon::Entry& Lexicon::findLonger(std::string_view name) const
{
    if (slots_.empty())
        return none_;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash(name) & mask; slots_[i].entry.kind != Kind::None;
         i = (i + 1) & mask) {
        const std::string& candidate = slots_[i].name;
        if (candidate.size() != name.size())
            continue;
        std::size_t k = 0;
        while (k < name.size() && candidate[k] == name[k])
            ++k;
        if (k == name.size())
            return slots_[i].entry;
    }
    return none_;
}

} // namespace kurvaro::compiler
