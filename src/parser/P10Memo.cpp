// The grammar's remembered answers.
#include "parser/P10Grammar.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kurvaro::compiler {

namespace {

/// Clearing more slots at the start of every compile would cost more than
/// growing the table for the few texts that need them.
constexpr std::size_t MaxInitialSlots = std::size_t(1) << 14;

} // namespace

// ---------------------------------------------------------------------------
// Memo

void Memo::begin(std::size_t length)
{
    // Every answer costs a slot. Past the limit answers are found anew, which
    // costs time but bounds memory: a few answers per character, and room for
    // a search over every piece of a short text (about 40 MB at most).
    limit_ = 4 * length + (std::size_t(1) << 21);
    // Room from the start for the answers a text of this length usually
    // leaves, so that the table is seldom grown; a long text grows it.
    mask_ = 63;
    while (mask_ + 1 < 4 * length && mask_ < MaxInitialSlots - 1)
        mask_ = mask_ * 2 + 1;
    count_ = 0;
    if (table_.size() < mask_ + 1)
        table_.resize(mask_ + 1);
    std::fill(table_.begin(), table_.begin() + static_cast<std::ptrdiff_t>(mask_ + 1), Entry{});
}

std::size_t Memo::slot(Question q, Range text) const
{
    // The 64-bit finaliser of MurmurHash3: every bit of the key reaches every
    // bit of the index.
    std::uint64_t h = (static_cast<std::uint64_t>(text.start) << 32 | text.size()) ^
                      (static_cast<std::uint64_t>(q) << 59);
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ull;
    h ^= h >> 33;
    return static_cast<std::size_t>(h) & mask_;
}

bool Memo::find(Question q, Range text, Answer& out) const
{
    for (std::size_t i = slot(q, text);; i = (i + 1) & mask_) {
        const Entry& e = table_[i];
        if (e.length == 0)
            return false;
        if (e.start == text.start && e.length == text.size() && e.question == q) {
            out = Answer{};
            out.ok = e.ok != 0;
            out.kind = static_cast<OpKind>(e.kind);
            out.a = Range{e.aStart, e.aEnd};
            return true;
        }
    }
}

void Memo::insert(Question q, Range text, const Answer& answer)
{
    if (count_ >= limit_)
        return;
    if ((count_ + 1) * 2 > mask_ + 1)
        grow();
    std::size_t i = slot(q, text);
    while (table_[i].length != 0)
        i = (i + 1) & mask_;
    table_[i] = Entry{text.start,
                      text.size(),
                      answer.a.start,
                      answer.a.end,
                      q,
                      static_cast<std::uint8_t>(answer.ok),
                      static_cast<std::uint8_t>(answer.kind)};
    ++count_;
}

void Memo::grow()
{
    std::vector<Entry> current;
    current.reserve(count_);
    for (std::size_t i = 0; i <= mask_; ++i)
        if (table_[i].length != 0)
            current.push_back(table_[i]);
    const std::size_t size = (mask_ + 1) * 2;
    if (table_.size() < size)
        table_.resize(size);
    mask_ = size - 1;
    std::fill(table_.begin(), table_.begin() + static_cast<std::ptrdiff_t>(size), Entry{});
    for (const Entry& e : current) {
        std::size_t i = slot(static_cast<Question>(e.question), Range{e.start, e.start + e.length});
        while (table_[i].length != 0)
            i = (i + 1) & mask_;
        table_[i] = e;
    }
}

} // namespace kurvaro::compiler
