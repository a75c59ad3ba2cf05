#include "parser/P10Build.h"

#include "parser/CellPool.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <memory>
#include <string>
#include <vector>

namespace kurvaro {

// How the compiler works
//
// There is no tokeniser. A text is offered to recognisers that each answer
// yes or no: a two-operand recogniser tries the occurrences of its operator
// from the left and takes the first split whose halves have balanced bracket
// counts and belong to the sets of forms allowed on each side. The order of
// the recognisers and these sets make the grammar's precedence and
// associativity.
//
// Recognisers re-check halves recursively, so without care the same sub-text
// is asked the same question very many times (exponentially often in the
// length of a text). Every answer is therefore remembered per (sub-text,
// question) for the duration of one compile. Answers are pure functions of
// the sub-text; the only side effect a recogniser has is an arithmetic fault
// of a literal, which aborts the whole compile, so the first evaluation of a
// question happens at the same point of the search as without the memo and
// the same error is raised.
//
// All sub-texts are views into one upper-cased copy of the text.

namespace {

using View = std::string_view;

constexpr int MaxLevel = 20;
constexpr int SlotsPerLevel = 50;

/// The questions the memo remembers.
enum Question : std::uint8_t
{
    qNumber,
    qBracketed,
    qNegation,
    qPlus,
    qMinus,
    qTimes,
    qDiv,
    qMod,
    qSlash,
    qPower,
    qFunction1,
    qFunction2,
    qValidTerm,
    // Operand sets of the two-operand recognisers (after variable, number, bracket).
    qPlusLeft,   // also the left set of "-"
    qPlusRight,  //
    qMinusRight, // also the right set of "*"
    qTimesLeft,  // also the left set of DIV, MOD and "/"
    qSlashRight, // the right set of DIV, MOD and "/"
    qPowerLeft,
};

/// A recogniser's answer: yes/no and what it delivers (operand texts, the
/// value of a number, the kind chosen by the power split).
struct Answer
{
    bool ok = false;
    OpKind kind = okVariable;
    View a;
    View b;
    double value = 0.0;
};

struct MemoEntry
{
    std::uint32_t generation = 0;
    std::uint32_t start = 0;
    std::uint32_t length = 0;
    std::uint8_t question = 0;
    std::uint8_t ok = 0;
    std::uint8_t kind = 0;
    std::uint32_t aStart = 0, aLength = 0, bStart = 0, bLength = 0;
    double value = 0.0;
};

/// Open-addressing hash table of answers, reused from compile to compile; a
/// generation stamp empties it in O(1).
class Memo
{
public:
    /// Starts a compile of a text of `length` characters: the table in use is
    /// sized to it (a small text keeps to a few cache lines however large an
    /// earlier text made the table).
    void begin(std::size_t length)
    {
        if (++generation_ == 0) {
            for (auto& e : table_)
                e.generation = 0;
            generation_ = 1;
        }
        std::size_t size = 64;
        while (size < 8 * length && size < (std::size_t(1) << 16))
            size *= 2;
        if (table_.size() < size)
            table_.resize(size);
        mask_ = size - 1;
        count_ = 0;
    }

    const MemoEntry* find(std::uint32_t start, std::uint32_t length, std::uint8_t q) const
    {
        for (std::size_t i = hash(start, length, q) & mask_;; i = (i + 1) & mask_) {
            const MemoEntry& e = table_[i];
            if (e.generation != generation_)
                return nullptr;
            if (e.start == start && e.length == length && e.question == q)
                return &e;
        }
    }

    void insert(const MemoEntry& entry)
    {
        if ((count_ + 1) * 2 > mask_ + 1)
            grow();
        place(entry);
        ++count_;
    }

private:
    static std::size_t hash(std::uint32_t start, std::uint32_t length, std::uint8_t q)
    {
        // One multiplication: the upper bits of the product depend on every
        // bit of the key, and the probe loop works for any index distribution.
        const std::uint64_t key = (static_cast<std::uint64_t>(start) << 37) ^
                                  (static_cast<std::uint64_t>(length) << 5) ^ q;
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 40);
    }

    void place(const MemoEntry& entry)
    {
        std::size_t i = hash(entry.start, entry.length, entry.question) & mask_;
        while (table_[i].generation == generation_)
            i = (i + 1) & mask_;
        table_[i] = entry;
        table_[i].generation = generation_;
    }

    void grow()
    {
        std::vector<MemoEntry> current;
        current.reserve(count_);
        for (std::size_t i = 0; i <= mask_; ++i)
            if (table_[i].generation == generation_) {
                current.push_back(table_[i]);
                table_[i].generation = 0;
            }
        const std::size_t size = (mask_ + 1) * 2;
        if (table_.size() < size)
            table_.resize(size);
        mask_ = size - 1;
        for (const auto& e : current)
            place(e);
    }

    std::vector<MemoEntry> table_;
    std::uint32_t generation_ = 0;
    std::size_t mask_ = 0;
    std::size_t count_ = 0;
};

/// One sub-expression of the term tree. An operand text that was never
/// written holds a single blank, which cannot occur in a compiled text.
struct Term
{
    View Text;
    View LeftText = " ";
    View RightText = " ";
    OpKind Kind = okVariable;
    int Level = 0;
    int Position = 1;
    int Side = 1;
    int LeftChild = -1;
    int RightChild = -1;
    int Parent = -1;
};

/// Buffers reused by consecutive compiles so that a compile allocates only
/// its nodes and cells.
/// Character classes whose positions at each bracket depth the filters use.
enum CharClass
{
    cPlus,
    cMinus,
    cFree,     // "+" or "-" after an operand: an addition or subtraction, never a sign
    cFreePlus, // "+" of those
    cStar,
    cSlash,
    cCaret,
    cDiv, // first letter of "DIV"
    cMod, // first letter of "MOD"
    cClassCount
};

/// Facts about the text that let the filters refute questions in O(1).
struct Facts
{
    std::vector<std::uint16_t> classes;          // per position, bit per CharClass
    std::vector<std::int32_t> nextLower;         // next position whose depth is lower
    std::vector<std::int32_t> marks;             // prefix count of positions of risky literals
    std::vector<std::int32_t> next[cClassCount]; // next position >= i of the class, same depth
    std::vector<std::int32_t> prev[cClassCount]; // last position < i of the class, same depth
    std::vector<std::int32_t> seen;
};

struct Scratch
{
    std::string text;
    std::vector<std::int32_t> depth;
    std::vector<Term> terms;
    Memo memo;
    Facts facts;
};

/// Hands out the thread's scratch; a nested compile gets a fresh one.
class ScratchLease
{
public:
    ScratchLease()
    {
        if (cached_ != nullptr) {
            scratch_.reset(cached_);
            cached_ = nullptr;
        } else {
            scratch_ = std::make_unique<Scratch>();
        }
    }
    ~ScratchLease()
    {
        if (cached_ == nullptr)
            cached_ = scratch_.release();
    }
    ScratchLease(const ScratchLease&) = delete;
    ScratchLease& operator=(const ScratchLease&) = delete;
    Scratch& operator*() { return *scratch_; }

private:
    std::unique_ptr<Scratch> scratch_;
    static thread_local Scratch* cached_;
};

thread_local Scratch* ScratchLease::cached_ = nullptr;

locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

/// The slot table: 21 levels of 50 node references, the anchor in (0, 1).
struct SlotTable
{
    // Only slots 1..created[level] of each level are ever read.
    OpNode* slots[MaxLevel + 1][SlotsPerLevel + 1];
    int used[MaxLevel + 1] = {};
    int created[MaxLevel + 1] = {};
    int deepest = 0;
    OpNode* anchor = nullptr;

    OpNode*& at(int level, int position)
    {
        if (level == 0)
            return anchor;
        return slots[level][position];
    }

    /// Chains every node built so far (for the clean-up after an error).
    OpNode* chainAll()
    {
        OpNode* head = nullptr;
        OpNode** tail = &head;
        auto append = [&](OpNode* n) {
            if (n != nullptr) {
                n->Next = nullptr;
                *tail = n;
                tail = &n->Next;
            }
        };
        append(anchor);
        anchor = nullptr;
        for (int l = 1; l <= MaxLevel; ++l)
            for (int p = 1; p <= created[l]; ++p) {
                append(slots[l][p]);
                slots[l][p] = nullptr;
            }
        return head;
    }
};

/// A bit per operator character (and "D", "M" for DIV, MOD) that occurs in a text.
constexpr std::uint32_t presence(char c)
{
    switch (c) {
    case '+':
        return 1u << 0;
    case '-':
        return 1u << 1;
    case '*':
        return 1u << 2;
    case '/':
        return 1u << 3;
    case '^':
        return 1u << 4;
    case 'D':
        return 1u << 5;
    case 'M':
        return 1u << 6;
    default:
        return 0;
    }
}

class Builder
{
public:
    Builder(Scratch& scratch, const TVariableTable& variables, const TFunctionTable& oneArg,
            const TFunctionTable& twoArg, bool pascalNumberFormat)
        : scratch_(scratch), variables_(variables), oneArg_(oneArg), twoArg_(twoArg),
          pascal_(pascalNumberFormat)
    {
        for (std::size_t i = 0; i < variables_.size(); ++i)
            maxVariableLength_ = std::max(maxVariableLength_, variables_.at(i).first.size());
        if (!pascal_) {
            const char* point = std::localeconv()->decimal_point;
            if (point != nullptr && point[0] != '\0' && point[1] == '\0')
                decimalSeparator_ = point[0];
        }
    }

    OpNode* build(View text, bool& errorFlag);

private:
    // --- basic facts about views -----------------------------------------

    std::uint32_t offset(View v) const { return static_cast<std::uint32_t>(v.data() - base_); }

    bool balanced(View v) const
    {
        const std::uint32_t s = offset(v);
        return depth_[s] == depth_[s + v.size()];
    }

    double* variableCell(View v) const
    {
        if (v.empty() || v.size() > maxVariableLength_)
            return nullptr;
        double* const* cell = variables_.find(v);
        return cell != nullptr ? *cell : nullptr;
    }

    // --- recognisers -------------------------------------------------------

    bool ask(Question q, View v, Answer& out);
    [[gnu::noinline]] bool askAnew(Question q, View v, Answer& out);
    bool quickNo(Question q, View v) const;
    bool compute(Question q, View v, Answer& out, Term* record);
    bool inSet(Question set, View v, View& out);
    bool numberLiteral(View v, double& value) const;
    /// The split of `v` around the operator of `width` characters at `k`:
    /// both halves balanced, the left in `leftSet`, the right in `rightSet`.
    /// Records the halves in `record` whether or not the split is accepted.
    bool trySplit(View v, std::size_t k, std::size_t width, Question leftSet, Question rightSet,
                  Answer& out, Term* record);
    bool splitAt(char op, Question leftSet, Question rightSet, View v, Answer& out, Term* record);
    bool splitAtWord(const char* word, View v, Answer& out, Term* record);
    bool splitPower(View v, Answer& out, Term* record);
    bool powerExponent(View& right, OpKind& kind);
    /// Tries only the positions at which a split of `v` at `op` ("D" for DIV,
    /// "M" for MOD) can succeed, in the order the plain scan would reach them.
    template <typename Body> bool candidates(char op, View v, Body&& body);
    bool function2(View v, Answer& out, Term* record);
    OpKind powerKind(double exponent) const;

    // --- filters --------------------------------------------------------------
    //
    // The grammar confines where operators may stand in an accepted text: a
    // "+" or "-" after an operand (not a sign) only in sums and differences, a
    // "*" at bracket depth 0 only as the first one of a product, and so on.
    // These facts refute most questions in O(1) and name the only positions a
    // split can succeed at. They are used only on views without a literal that
    // could fault (a fault is the one side effect a recogniser has, and
    // skipping a question must not skip it), in the fixed number format, and
    // with plain alphanumeric table names.

    void prepareFacts();
    bool namesArePlain() const;
    bool filtering(View v) const
    {
        if (!filters_)
            return false;
        const std::uint32_t s = offset(v);
        return facts_->marks[s + v.size()] == facts_->marks[s];
    }
    bool wellFormed(std::int32_t s, std::int32_t e) const
    {
        return depth_[s] == depth_[e] && facts_->nextLower[static_cast<std::size_t>(s)] > e;
    }
    std::int32_t first(int c, std::int32_t s, std::int32_t e) const
    {
        const std::int32_t j = facts_->next[c][static_cast<std::size_t>(s)];
        return j < e ? j : -1;
    }
    std::int32_t last(int c, std::int32_t s, std::int32_t e) const
    {
        const std::int32_t j = facts_->prev[c][static_cast<std::size_t>(e)];
        return j >= s ? j : -1;
    }
    bool has(int c, std::int32_t s, std::int32_t e) const { return first(c, s, e) >= 0; }
    std::int32_t nextOf(int c, std::int32_t i) const
    {
        return facts_->next[c][static_cast<std::size_t>(i)];
    }
    bool refuted(Question q, View v) const;

    // --- the walk ------------------------------------------------------------

    void classify(int term, bool& errorFlag);
    void deliver(const Term& t, double* cell);
    OpNode* newNode(OpKind kind, OpRoutine routine);
    View functionName(View text) const { return text.substr(0, text.find('(')); }

    Scratch& scratch_;
    const TVariableTable& variables_;
    const TFunctionTable& oneArg_;
    const TFunctionTable& twoArg_;
    bool pascal_;
    char decimalSeparator_ = '.';
    std::size_t maxVariableLength_ = 0;
    const char* base_ = nullptr;
    const std::int32_t* depth_ = nullptr;
    SlotTable* table_ = nullptr;
    bool memo_ = true;
    bool filters_ = false;
    std::uint32_t present_ = 0; // presence() bits of the characters in the text
    const Facts* facts_ = nullptr;
};

thread_local RecogniserSearch searchMode = RecogniserSearch::Fast;

/// Below this length the filters' set-up costs more than it saves.
constexpr std::size_t FilterThreshold = 64;

bool Builder::namesArePlain() const
{
    auto plain = [](std::string_view name) {
        if (name.empty())
            return false;
        for (char c : name) {
            const auto u = static_cast<unsigned char>(c);
            if (!(std::isalnum(u) || c == '_'))
                return false;
        }
        std::string upper(name);
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return upper.find("DIV") == std::string::npos && upper.find("MOD") == std::string::npos;
    };
    for (std::size_t i = 0; i < variables_.size(); ++i)
        if (!plain(variables_.at(i).first))
            return false;
    for (const TFunctionTable* t : {&oneArg_, &twoArg_})
        for (std::size_t i = 0; i < t->size(); ++i)
            if (!plain(t->at(i).first))
                return false;
    return true;
}

void Builder::prepareFacts()
{
    Facts& f = scratch_.facts;
    const std::string& s = scratch_.text;
    const auto n = static_cast<std::int32_t>(s.size());
    const auto size = static_cast<std::size_t>(n) + 1;

    // Classes. A "+" or "-" is free (an addition or subtraction) when it
    // follows an operand's last character; after "E" followed by a digit it
    // may be an exponent's sign, after "DIV"/"MOD" a literal's sign.
    f.classes.assign(size, 0);
    auto at = [&](std::int32_t i, const char* w) {
        return i >= 0 && i + 3 <= n && s.compare(static_cast<std::size_t>(i), 3, w) == 0;
    };
    for (std::int32_t i = 0; i < n; ++i) {
        const char c = s[static_cast<std::size_t>(i)];
        std::uint16_t bits = 0;
        switch (c) {
        case '+':
        case '-': {
            bits = static_cast<std::uint16_t>(1u << (c == '+' ? cPlus : cMinus));
            bool free = false;
            if (i > 0) {
                const char p = s[static_cast<std::size_t>(i) - 1];
                const auto up = static_cast<unsigned char>(p);
                if (isDigit(p) || p == '.' || p == ')' || p == '_') {
                    free = true;
                } else if (std::isalpha(up)) {
                    if (p == 'E')
                        free = !(i + 1 < n && isDigit(s[static_cast<std::size_t>(i) + 1]));
                    else if (p == 'V')
                        free = !at(i - 3, "DIV");
                    else if (p == 'D')
                        free = !at(i - 3, "MOD");
                    else
                        free = true;
                }
            }
            if (free)
                bits |= static_cast<std::uint16_t>(1u << cFree | (c == '+' ? 1u << cFreePlus : 0u));
            break;
        }
        case '*':
            bits = 1u << cStar;
            break;
        case '/':
            bits = 1u << cSlash;
            break;
        case '^':
            bits = 1u << cCaret;
            break;
        case 'D':
            if (at(i, "DIV"))
                bits = 1u << cDiv;
            break;
        case 'M':
            if (at(i, "MOD"))
                bits = 1u << cMod;
            break;
        default:
            break;
        }
        f.classes[static_cast<std::size_t>(i)] = bits;
    }

    // Next position with a lower depth (monotonic stack).
    f.nextLower.assign(size, n + 1);
    f.seen.clear();
    for (std::int32_t i = n; i >= 0; --i) {
        while (!f.seen.empty() && depth_[f.seen.back()] >= depth_[i])
            f.seen.pop_back();
        f.nextLower[static_cast<std::size_t>(i)] = f.seen.empty() ? n + 1 : f.seen.back();
        f.seen.push_back(i);
    }

    // Next and previous position of each class at the same depth.
    std::int32_t minDepth = 0;
    std::int32_t maxDepth = 0;
    for (std::int32_t i = 0; i <= n; ++i) {
        minDepth = std::min(minDepth, depth_[i]);
        maxDepth = std::max(maxDepth, depth_[i]);
    }
    const auto levels = static_cast<std::size_t>(maxDepth - minDepth + 1);
    auto level = [&](std::int32_t i) { return static_cast<std::size_t>(depth_[i] - minDepth); };
    constexpr std::int32_t None = INT32_MAX;
    for (int c = 0; c < cClassCount; ++c) {
        const auto bit = static_cast<std::uint16_t>(1u << c);
        f.next[c].resize(size);
        f.prev[c].resize(size);
        f.seen.assign(levels, None);
        for (std::int32_t i = n; i >= 0; --i) {
            if (f.classes[static_cast<std::size_t>(i)] & bit)
                f.seen[level(i)] = i;
            f.next[c][static_cast<std::size_t>(i)] = f.seen[level(i)];
        }
        f.seen.assign(levels, -1);
        for (std::int32_t i = 0; i <= n; ++i) {
            f.prev[c][static_cast<std::size_t>(i)] = f.seen[level(i)];
            if (f.classes[static_cast<std::size_t>(i)] & bit)
                f.seen[level(i)] = i;
        }
    }

    // Risky literals: any sub-text that could be read as a number beyond
    // 10^18 (an exponent literal of 2^63 or more faults, a number beyond the
    // double range too). An integer part of up to 9 digits with an exponent
    // of up to 9 stays below; longer digit runs and larger exponents mark
    // their positions.
    f.marks.assign(size, 0);
    for (std::int32_t i = 0; i < n;) {
        if (!isDigit(s[static_cast<std::size_t>(i)])) {
            f.marks[static_cast<std::size_t>(i) + 1] = f.marks[static_cast<std::size_t>(i)];
            ++i;
            continue;
        }
        std::int32_t j = i;
        while (j < n && isDigit(s[static_cast<std::size_t>(j)]))
            ++j;
        const std::int32_t length = j - i;
        const char p1 = i >= 1 ? s[static_cast<std::size_t>(i) - 1] : '\0';
        const char p2 = i >= 2 ? s[static_cast<std::size_t>(i) - 2] : '\0';
        bool risky;
        if (p1 == '.')
            risky = false; // a fraction
        else if (p1 == 'E')
            risky = length >= 2; // an exponent
        else if (p1 == '+' && p2 == 'E')
            risky = length >= 2; // an exponent, or a mantissa of its own
        else
            risky = length >= 10; // a mantissa (also after "E-": a negative exponent is harmless)
        for (std::int32_t k = i; k < j; ++k)
            f.marks[static_cast<std::size_t>(k) + 1] =
                f.marks[static_cast<std::size_t>(k)] + (risky ? 1 : 0);
        i = j;
    }
    facts_ = &f;
}

bool Builder::refuted(Question q, View v) const
{
    const auto s = static_cast<std::int32_t>(offset(v));
    const auto e = s + static_cast<std::int32_t>(v.size());
    // Every accepted text is well bracketed.
    if (!wellFormed(s, e))
        return true;
    auto h = [&](int c) { return has(c, s, e); };
    auto oneCaretAtMost = [&](std::int32_t from) {
        return first(cCaret, from, e) == last(cCaret, from, e);
    };
    switch (q) {
    case qNegation: {
        const std::int32_t r = s + 1;
        return has(cFree, r, e) || has(cStar, r, e) || has(cSlash, r, e) || has(cDiv, r, e) ||
               has(cMod, r, e) || !oneCaretAtMost(r);
    }
    case qPlus:
        return !h(cPlus);
    case qMinus: {
        const std::int32_t lo = last(cFree, s, e);
        const std::int32_t hi = first(cFreePlus, s, e);
        std::int32_t k = nextOf(cMinus, lo >= 0 ? lo : s);
        if (k == s)
            k = nextOf(cMinus, s + 1);
        return !(k < e - 1 && (hi < 0 || k <= hi));
    }
    case qTimes:
        return h(cFree) || !h(cStar);
    case qSlash: {
        if (h(cFree) || h(cStar))
            return true;
        const std::int32_t k = last(cSlash, s, e);
        return k < 0 || k < last(cDiv, s, e) || k < last(cMod, s, e);
    }
    case qDiv: {
        if (h(cFree) || h(cStar))
            return true;
        const std::int32_t k = last(cDiv, s, e);
        return k < 0 || k < last(cSlash, s, e) || k < last(cMod, s, e);
    }
    case qMod: {
        if (h(cFree) || h(cStar))
            return true;
        const std::int32_t k = last(cMod, s, e);
        return k < 0 || k < last(cSlash, s, e) || k < last(cDiv, s, e);
    }
    case qPower:
        return h(cFree) || h(cStar) || h(cSlash) || h(cDiv) || h(cMod) || !h(cCaret) ||
               !oneCaretAtMost(s);
    case qFunction1:
    case qFunction2:
        return h(cPlus) || h(cMinus) || h(cStar) || h(cSlash) || h(cCaret) || h(cDiv) || h(cMod);
    case qPlusLeft:
        return h(cFreePlus);
    case qMinusRight:
        return h(cFree);
    case qTimesLeft:
        return h(cFree) || h(cStar);
    case qSlashRight:
        return h(cFree) || h(cStar) || h(cSlash) || h(cDiv) || h(cMod) || !oneCaretAtMost(s);
    case qPowerLeft:
        return h(cFree) || h(cStar) || h(cSlash) || h(cCaret) || h(cDiv) || h(cMod);
    default:
        return false;
    }
}

template <typename Body> bool Builder::candidates(char op, View v, Body&& body)
{
    const auto s = static_cast<std::int32_t>(offset(v));
    const auto e = s + static_cast<std::int32_t>(v.size());
    auto at = [&](std::int32_t k) { return body(static_cast<std::size_t>(k - s)); };
    // A run over the occurrences at depth 0 from `k` on, up to `hi`.
    auto run = [&](int c, std::int32_t k, std::int32_t hi) {
        for (; k < e; k = nextOf(c, k + 1)) {
            if (k == s)
                continue;
            if ((hi >= 0 && k > hi) || k == e - 1)
                return false;
            if (at(k))
                return true;
        }
        return false;
    };
    auto single = [&](std::int32_t k, std::int32_t width) {
        if (k < 0 || k == s || k + width >= e)
            return false;
        return static_cast<bool>(at(k));
    };
    switch (op) {
    case '+':
        // The left operand holds no free "+": only occurrences up to the first.
        return run(cPlus, nextOf(cPlus, s), first(cFreePlus, s, e));
    case '-': {
        // The right operand holds no free sign: only occurrences from the last on.
        const std::int32_t lo = last(cFree, s, e);
        return run(cMinus, nextOf(cMinus, lo >= 0 ? lo : s), first(cFreePlus, s, e));
    }
    case '*':
        return single(first(cStar, s, e), 1); // the left operand holds no "*"
    case '/':
        return single(last(cSlash, s, e), 1); // the right operand holds no "/"
    case '^':
        return single(first(cCaret, s, e), 1); // neither operand holds a "^"
    case 'D':
        return single(last(cDiv, s, e), 3);
    case 'M':
        return single(last(cMod, s, e), 3);
    default:
        return false;
    }
}

bool Builder::numberLiteral(View v, double& value) const
{
    if (v == "PI") {
        value = 3.141592653589793;
        return true;
    }
    if (v == "-PI") {
        value = -3.141592653589793;
        return true;
    }
    const char point = pascal_ ? '.' : decimalSeparator_;
    std::size_t i = 0;
    const std::size_t n = v.size();
    if (n == 0)
        return false;
    const bool negative = v[0] == '-';
    if (v[0] == '+' || v[0] == '-')
        ++i;
    std::size_t digits = 0;
    bool seenPoint = false;
    for (; i < n; ++i) {
        if (isDigit(v[i])) {
            ++digits;
        } else if (v[i] == point && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (i < n) {
        if (v[i] != 'E')
            return false;
        ++i;
        if (i < n && (v[i] == '+' || v[i] == '-'))
            ++i;
        const std::size_t expStart = i;
        while (i < n && isDigit(v[i]))
            ++i;
        if (i == expStart || i != n)
            return false;
    }
    if (digits == 0) {
        // The locale-aware conversion wants a digit; the fixed format reads an
        // empty mantissa as 0.
        if (!pascal_)
            return false;
        value = negative ? -0.0 : 0.0;
        return true;
    }
    if (n - (negative || v[0] == '+' ? 1 : 0) == digits + (seenPoint ? 1 : 0) && digits <= 18) {
        // Digits and a point only: the integer of all digits is exact, and so
        // is a power of ten up to 10^27, so one extended division gives the
        // same correctly rounded value the conversion would.
        std::uint64_t mantissa = 0;
        int fraction = 0;
        bool afterPoint = false;
        for (char c : v) {
            if (isDigit(c)) {
                mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
                fraction += afterPoint ? 1 : 0;
            } else if (c == point) {
                afterPoint = true;
            }
        }
        long double wide = static_cast<long double>(mantissa);
        if (fraction > 0) {
            long double scale = 1.0L;
            for (int k = 0; k < fraction; ++k)
                scale *= 10.0L;
            wide /= scale;
        }
        value = static_cast<double>(negative ? -wide : wide);
        return true;
    }
    char small[128];
    std::string large;
    char* buffer = small;
    if (n + 1 > sizeof small) {
        large.resize(n + 1);
        buffer = large.data();
    }
    std::memcpy(buffer, v.data(), n);
    buffer[n] = '\0';
    if (point != '.')
        for (std::size_t k = 0; k < n; ++k)
            if (buffer[k] == point)
                buffer[k] = '.';
    const long double wide = strtold_l(buffer, nullptr, cLocale());
    const double d = static_cast<double>(wide);
    if (std::isinf(d))
        faults::overflow();
    value = d;
    return true;
}

OpKind Builder::powerKind(double exponent) const
{
    if (!(std::fabs(exponent) < 9223372036854775808.0))
        faults::invalidOp();
    const auto t = static_cast<std::int64_t>(exponent);
    if (static_cast<double>(t) != exponent || t < INT32_MIN || t > INT32_MAX)
        return okPower;
    switch (t) {
    case 2:
        return okSquare;
    case 3:
        return okCube;
    case 4:
        return okFourthPower;
    default:
        return okIntPower;
    }
}

inline bool Builder::quickNo(Question q, View v) const
{
    switch (q) {
    case qNumber: {
        if (v.empty())
            return true;
        const char c = v[0];
        return !(isDigit(c) || c == '.' || c == '+' || c == '-' || c == 'E' || c == 'P' ||
                 c == decimalSeparator_);
    }
    case qBracketed:
        return v.size() < 3 || v.front() != '(' || v.back() != ')';
    case qNegation:
        return v.size() < 2 || v.front() != '-';
    case qPlus:
    case qMinus:
    case qTimes:
    case qSlash:
    case qPower: {
        static constexpr char ops[] = {'+', '-', '*', 0, 0, '/', '^'};
        const char op = ops[q - qPlus];
        return v.size() < 3 || !(present_ & presence(op)) ||
               std::memchr(v.data() + 1, op, v.size() - 2) == nullptr;
    }
    case qDiv:
        return v.size() < 5 || !(present_ & presence('D'));
    case qMod:
        return v.size() < 5 || !(present_ & presence('M'));
    case qFunction1:
    case qFunction2:
        return v.size() < 4 || v.back() != ')';
    default:
        return v.empty();
    }
}

inline bool Builder::ask(Question q, View v, Answer& out)
{
    // Answers that need no search are not worth remembering.
    if (filtering(v)) {
        if (v.empty() || refuted(q, v))
            return false;
        if ((q == qNumber || q == qBracketed || q == qNegation || q == qFunction1 ||
             q == qFunction2) &&
            quickNo(q, v))
            return false;
    } else if (quickNo(q, v)) {
        return false;
    }
    if (!memo_) [[unlikely]] {
        out = Answer{};
        out.ok = compute(q, v, out, nullptr);
        return out.ok;
    }
    const std::uint32_t start = offset(v);
    const auto length = static_cast<std::uint32_t>(v.size());
    if (const MemoEntry* e = scratch_.memo.find(start, length, q)) {
        out.ok = e->ok != 0;
        if (out.ok) {
            out.kind = static_cast<OpKind>(e->kind);
            out.a = View(base_ + e->aStart, e->aLength);
            out.b = View(base_ + e->bStart, e->bLength);
            out.value = e->value;
        }
        return out.ok;
    }
    return askAnew(q, v, out);
}

bool Builder::askAnew(Question q, View v, Answer& answer)
{
    const std::uint32_t start = offset(v);
    const auto length = static_cast<std::uint32_t>(v.size());
    answer = Answer{};
    answer.ok = compute(q, v, answer, nullptr);
    MemoEntry e;
    e.start = start;
    e.length = length;
    e.question = q;
    e.ok = answer.ok ? 1 : 0;
    if (answer.ok) {
        e.kind = answer.kind;
        if (answer.a.data() != nullptr) {
            e.aStart = offset(answer.a);
            e.aLength = static_cast<std::uint32_t>(answer.a.size());
        }
        if (answer.b.data() != nullptr) {
            e.bStart = offset(answer.b);
            e.bLength = static_cast<std::uint32_t>(answer.b.size());
        }
        e.value = answer.value;
    }
    scratch_.memo.insert(e);
    return answer.ok;
}

bool Builder::inSet(Question set, View v, View& out)
{
    Answer a;
    if (!ask(set, v, a))
        return false;
    out = a.a;
    return true;
}

/// The next `op` in `v` at or after `from` where the split scan would try a
/// split: npos when there is none, or when it stands in the last position
/// (which ends the scan).
std::size_t nextSplit(View v, char op, std::size_t from)
{
    const std::size_t n = v.size();
    const void* hit = from < n ? std::memchr(v.data() + from, op, n - from) : nullptr;
    if (hit == nullptr)
        return View::npos;
    const auto k = static_cast<std::size_t>(static_cast<const char*>(hit) - v.data());
    return k == n - 1 ? View::npos : k;
}

bool Builder::trySplit(View v, std::size_t k, std::size_t width, Question leftSet,
                       Question rightSet, Answer& out, Term* record)
{
    View left = v.substr(0, k);
    View right = v.substr(k + width);
    bool ok = false;
    if (balanced(left) && balanced(right) && inSet(leftSet, left, left))
        ok = inSet(rightSet, right, right);
    // The halves of every split tried, also of one that fails, are what a
    // syntax error reports.
    if (record != nullptr) {
        record->LeftText = left;
        record->RightText = right;
    }
    if (ok) {
        out.a = left;
        out.b = right;
    }
    return ok;
}

bool Builder::splitAt(char op, Question leftSet, Question rightSet, View v, Answer& out,
                      Term* record)
{
    const std::size_t n = v.size();
    if (n == 0 || v[0] == op || !(present_ & presence(op)))
        return false;
    if (record == nullptr && filtering(v)) {
        return candidates(op, v, [&](std::size_t k) {
            return trySplit(v, k, 1, leftSet, rightSet, out, nullptr);
        });
    }
    std::size_t from = 1;
    for (;;) {
        const std::size_t k = nextSplit(v, op, from);
        if (k == View::npos)
            return false;
        if (trySplit(v, k, 1, leftSet, rightSet, out, record))
            return true;
        from = k + 1;
    }
}

bool Builder::splitAtWord(const char* word, View v, Answer& out, Term* record)
{
    const std::size_t n = v.size();
    if (!(present_ & presence(word[0])))
        return false;
    if (record == nullptr && filtering(v)) {
        return candidates(word[0], v, [&](std::size_t k) {
            return trySplit(v, k, 3, qTimesLeft, qSlashRight, out, nullptr);
        });
    }
    std::size_t from = 0;
    for (;;) {
        const std::size_t k = v.find(word, from, 3);
        if (k == View::npos)
            return false;
        if (k == 0) {
            from = 1;
            continue;
        }
        if (k + 3 >= n)
            return false;
        if (trySplit(v, k, 3, qTimesLeft, qSlashRight, out, record))
            return true;
        from = k + 1;
    }
}

bool Builder::powerExponent(View& right, OpKind& kind)
{
    Answer t;
    kind = okPower;
    if (ask(qNumber, right, t)) {
        kind = powerKind(t.value);
        return true;
    }
    if (variableCell(right) != nullptr)
        return true;
    if (ask(qBracketed, right, t)) {
        right = t.a;
        return true;
    }
    return ask(qFunction1, right, t) || ask(qFunction2, right, t);
}

bool Builder::splitPower(View v, Answer& out, Term* record)
{
    const std::size_t n = v.size();
    if (n == 0 || v[0] == '^' || !(present_ & presence('^')))
        return false;
    if (record == nullptr && filtering(v)) {
        return candidates('^', v, [&](std::size_t k) {
            View left = v.substr(0, k);
            View right = v.substr(k + 1);
            OpKind kind = okPower;
            if (balanced(left) && balanced(right) && inSet(qPowerLeft, left, left) &&
                powerExponent(right, kind)) {
                out.a = left;
                out.b = right;
                out.kind = kind;
                return true;
            }
            return false;
        });
    }
    std::size_t from = 1;
    for (;;) {
        const std::size_t k = nextSplit(v, '^', from);
        if (k == View::npos)
            return false;
        View left = v.substr(0, k);
        View right = v.substr(k + 1);
        OpKind kind = okPower;
        const bool ok = balanced(left) && balanced(right) && inSet(qPowerLeft, left, left) &&
                        powerExponent(right, kind);
        if (record != nullptr) {
            record->LeftText = left;
            record->RightText = right;
        }
        if (ok) {
            out.a = left;
            out.b = right;
            out.kind = kind;
            return true;
        }
        from = k + 1;
    }
}

bool Builder::function2(View v, Answer& out, Term* record)
{
    const std::size_t p = v.find('(');
    if (p == View::npos || p < 1 || v.back() != ')')
        return false;
    if (twoArg_.find(v.substr(0, p)) == nullptr)
        return false;
    // The arguments: split at the first comma for which both parts are terms.
    const View args = v.substr(p + 1, v.size() - p - 2);
    const std::size_t n = args.size();
    if (n == 0 || args[0] == ',')
        return false;
    std::size_t from = 1;
    for (;;) {
        const std::size_t k = nextSplit(args, ',', from);
        if (k == View::npos)
            return false;
        View left = args.substr(0, k);
        View right = args.substr(k + 1);
        Answer t;
        bool ok = false;
        if (ask(qValidTerm, left, t)) {
            left = t.a;
            if (ask(qValidTerm, right, t)) {
                right = t.a;
                ok = true;
            }
        }
        if (record != nullptr) {
            record->LeftText = left;
            record->RightText = right;
        }
        if (ok) {
            out.a = left;
            out.b = right;
            return true;
        }
        from = k + 1;
    }
}

bool Builder::compute(Question q, View v, Answer& out, Term* record)
{
    Answer t;
    switch (q) {
    case qNumber:
        return numberLiteral(v, out.value);
    case qBracketed:
        if (v.size() < 2 || v.front() != '(' || v.back() != ')')
            return false;
        if (!ask(qValidTerm, v.substr(1, v.size() - 2), t))
            return false;
        out.a = t.a;
        return true;
    case qNegation: {
        if (v.empty() || v.front() != '-')
            return false;
        const View rest = v.substr(1);
        if (ask(qBracketed, rest, t)) {
            out.a = t.a;
            return true;
        }
        if (variableCell(rest) != nullptr || ask(qPower, rest, t) || ask(qFunction1, rest, t) ||
            ask(qFunction2, rest, t)) {
            out.a = rest;
            return true;
        }
        return false;
    }
    case qPlus:
        return splitAt('+', qPlusLeft, qPlusRight, v, out, record);
    case qMinus:
        return splitAt('-', qPlusLeft, qMinusRight, v, out, record);
    case qTimes:
        return splitAt('*', qTimesLeft, qMinusRight, v, out, record);
    case qDiv:
        return splitAtWord("DIV", v, out, record);
    case qMod:
        return splitAtWord("MOD", v, out, record);
    case qSlash:
        return splitAt('/', qTimesLeft, qSlashRight, v, out, record);
    case qPower:
        return splitPower(v, out, record);
    case qFunction1: {
        const std::size_t p = v.find('(');
        if (p == View::npos || p < 1 || oneArg_.find(v.substr(0, p)) == nullptr)
            return false;
        if (!ask(qBracketed, v.substr(p), t))
            return false;
        out.a = t.a;
        return true;
    }
    case qFunction2:
        return function2(v, out, record);
    case qValidTerm:
        out.a = v;
        if (v.empty())
            return false;
        if (ask(qNumber, v, t) || variableCell(v) != nullptr || ask(qNegation, v, t) ||
            ask(qPlus, v, t) || ask(qMinus, v, t) || ask(qTimes, v, t) || ask(qDiv, v, t) ||
            ask(qMod, v, t) || ask(qSlash, v, t) || ask(qPower, v, t) || ask(qFunction2, v, t) ||
            ask(qFunction1, v, t))
            return true;
        if (ask(qBracketed, v, t)) {
            out.a = t.a;
            return true;
        }
        return false;
    default:
        break;
    }

    // Operand sets: variable, number, bracket (which delivers its inner text),
    // then the set's own recognisers in order.
    out.a = v;
    if (variableCell(v) != nullptr || ask(qNumber, v, t))
        return true;
    if (ask(qBracketed, v, t)) {
        out.a = t.a;
        return true;
    }
    switch (q) {
    case qPlusLeft:
        return ask(qNegation, v, t) || ask(qMinus, v, t) || ask(qTimes, v, t) || ask(qDiv, v, t) ||
               ask(qMod, v, t) || ask(qSlash, v, t) || ask(qPower, v, t) || ask(qFunction1, v, t) ||
               ask(qFunction2, v, t);
    case qPlusRight:
        return ask(qPlus, v, t) || ask(qMinus, v, t) || ask(qTimes, v, t) || ask(qDiv, v, t) ||
               ask(qMod, v, t) || ask(qSlash, v, t) || ask(qPower, v, t) || ask(qFunction1, v, t) ||
               ask(qFunction2, v, t);
    case qMinusRight:
        return ask(qTimes, v, t) || ask(qDiv, v, t) || ask(qMod, v, t) || ask(qSlash, v, t) ||
               ask(qPower, v, t) || ask(qFunction1, v, t) || ask(qFunction2, v, t);
    case qTimesLeft:
        return ask(qNegation, v, t) || ask(qDiv, v, t) || ask(qMod, v, t) || ask(qSlash, v, t) ||
               ask(qPower, v, t) || ask(qFunction1, v, t) || ask(qFunction2, v, t);
    case qSlashRight:
        return ask(qPower, v, t) || ask(qFunction1, v, t) || ask(qFunction2, v, t);
    case qPowerLeft:
        return ask(qFunction1, v, t) || ask(qFunction2, v, t);
    default:
        return false;
    }
}

OpNode* Builder::newNode(OpKind kind, OpRoutine routine)
{
    OpNode* node = cellpool::newNode();
    node->Kind = kind;
    node->Routine = routine;
    return node;
}

void Builder::deliver(const Term& t, double* cell)
{
    OpNode* node = table_->at(t.Level, t.Position);
    if (t.Side == 1)
        node->Arg1 = cell;
    else
        node->Arg2 = cell;
}

void Builder::classify(int index, bool& errorFlag)
{
    Term& t = scratch_.terms[static_cast<std::size_t>(index)];
    const View v = t.Text;
    Answer a;
    if (double* cell = variableCell(v)) {
        t.Kind = okVariable;
        deliver(t, cell);
        return;
    }
    if (ask(qNumber, v, a)) {
        t.Kind = okConstant;
        deliver(t, cellpool::newCell(a.value));
        return;
    }
    if (ask(qNegation, v, a)) {
        t.Kind = okNegate;
        t.LeftText = a.a;
        return;
    }
    struct Split
    {
        Question q;
        OpKind kind;
    };
    static constexpr Split splits[] = {{qPlus, okAdd},   {qMinus, okSubtract}, {qTimes, okMultiply},
                                       {qDiv, okDiv},    {qMod, okMod},        {qSlash, okDivide},
                                       {qPower, okPower}};
    for (const Split& s : splits) {
        if (compute(s.q, v, a, &t)) {
            t.Kind = s.q == qPower ? a.kind : s.kind;
            t.LeftText = a.a;
            t.RightText = a.b;
            return;
        }
    }
    if (ask(qFunction1, v, a)) {
        t.Kind = okFunction1;
        t.LeftText = a.a;
        return;
    }
    if (function2(v, a, &t)) {
        t.Kind = okFunction2;
        t.LeftText = a.a;
        t.RightText = a.b;
        return;
    }
    errorFlag = true;
    std::string message = "Error parsing expression:\r";
    if (t.LeftText != " " || t.RightText != " ") {
        message.append(t.LeftText);
        message += '\r';
        message.append(t.RightText);
    } else {
        message.append(v);
    }
    throw ESyntaxError(message);
}

OpNode* Builder::build(View text, bool& errorFlag)
{
    // Trim blanks, refuse inner blanks; upper-case (ASCII only) while counting
    // brackets; refuse unequal brackets.
    std::string& s = scratch_.text;
    s.assign(text);
    std::size_t first = 0;
    std::size_t last = s.size();
    while (first < last && s[first] == ' ')
        ++first;
    while (last > first && s[last - 1] == ' ')
        --last;
    View whole(s.data() + first, last - first);
    if (whole.find(' ') != View::npos)
        throw EExpressionHasBlanks("Expression has blanks");

    base_ = s.data();
    std::vector<std::int32_t>& depth = scratch_.depth;
    depth.resize(s.size() + 1);
    depth[0] = 0;
    present_ = 0;
    std::int32_t d = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 32);
            s[i] = c;
        }
        d += (c == '(' ? 1 : 0) - (c == ')' ? 1 : 0);
        depth[i + 1] = d;
        present_ |= presence(c);
    }
    depth_ = depth.data();
    scratch_.memo.begin(whole.size());
    memo_ = searchMode != RecogniserSearch::Literal;
    filters_ = false;
    if (pascal_ && (searchMode == RecogniserSearch::Filtered ||
                    (searchMode == RecogniserSearch::Fast && whole.size() >= FilterThreshold))) {
        if (namesArePlain()) {
            prepareFacts();
            filters_ = true;
        }
    }

    if (!balanced(whole))
        throw EMissMatchingBracket("Missing brackets in expression");

    SlotTable table;
    table_ = &table;
    std::vector<Term>& terms = scratch_.terms;
    terms.clear();
    try {
        Answer a;
        while (ask(qBracketed, whole, a))
            whole = a.a;

        terms.push_back(Term{});
        terms[0].Text = whole;
        table.anchor = newNode(okVariable, nullptr);

        const auto isOneOperand = [](OpKind k) {
            return k == okNegate || (k >= okSquare && k <= okFunction1);
        };
        const auto isTwoOperand = [](OpKind k) {
            return (k >= okAdd && k <= okPower) || k == okFunction2;
        };

        int current = 0;
        for (;;) {
            if (terms[static_cast<std::size_t>(current)].LeftChild < 0) {
                classify(current, errorFlag);
                Term& t = terms[static_cast<std::size_t>(current)];
                if (t.Kind >= okNegate) {
                    const int level = t.Level + 1;
                    if (level > MaxLevel) {
                        errorFlag = true;
                        throw ETooManyNestings("Expression contains too many nestings");
                    }
                    table.deepest = std::max(table.deepest, level);
                    const int position = table.used[level] + 1;
                    if (position > SlotsPerLevel) {
                        errorFlag = true;
                        throw EExpressionTooComplex("Expression is too complex");
                    }
                    OpRoutine routine = nullptr;
                    if (t.Kind == okFunction1)
                        routine = *oneArg_.find(functionName(t.Text));
                    else if (t.Kind == okFunction2)
                        routine = *twoArg_.find(functionName(t.Text));
                    OpNode* node = newNode(t.Kind, routine);
                    table.slots[level][position] = node;
                    table.created[level] = position;
                    node->Dest = cellpool::newCell(0.0);
                    deliver(t, node->Dest);
                    if (isOneOperand(t.Kind))
                        ++table.used[level];

                    Term child;
                    child.Text = t.LeftText;
                    child.Level = level;
                    child.Position = position;
                    child.Side = 1;
                    child.Parent = current;
                    t.LeftChild = static_cast<int>(terms.size());
                    terms.push_back(child); // t may dangle from here on
                }
            } else {
                Term& t = terms[static_cast<std::size_t>(current)];
                if (!isTwoOperand(t.Kind))
                    throw EParserInternalError("TParser internal error");
                const Term& left = terms[static_cast<std::size_t>(t.LeftChild)];
                Term child;
                child.Text = t.RightText;
                child.Level = left.Level;
                child.Position = left.Position;
                child.Side = 2;
                child.Parent = current;
                ++table.used[left.Level];
                t.RightChild = static_cast<int>(terms.size());
                terms.push_back(child);
            }

            // Move on: down into the newest operand, or climb to the next
            // two-operand term that still lacks its second operand.
            const Term& t = terms[static_cast<std::size_t>(current)];
            if (t.LeftChild >= 0) {
                current = t.RightChild >= 0 ? t.RightChild : t.LeftChild;
                continue;
            }
            if (current == 0)
                break;
            int leaving = current;
            bool done = false;
            for (;;) {
                const int parent = terms[static_cast<std::size_t>(leaving)].Parent;
                const Term& p = terms[static_cast<std::size_t>(parent)];
                if (parent == 0) {
                    if (isOneOperand(p.Kind) || p.RightChild >= 0)
                        done = true;
                    else
                        current = 0;
                    break;
                }
                if (isTwoOperand(p.Kind) && p.RightChild < 0) {
                    current = parent;
                    break;
                }
                leaving = parent;
            }
            if (done)
                break;
        }

        // Chain deepest level first, so that every operand is computed before use.
        if (table.deepest == 0) {
            OpNode* only = table.anchor;
            table.anchor = nullptr;
            only->Kind = terms[0].Kind;
            only->Dest = only->Arg1;
            return only;
        }
        OpNode* head = nullptr;
        OpNode** tail = &head;
        for (int level = table.deepest; level >= 1; --level)
            for (int p = 1; p <= table.created[level]; ++p) {
                *tail = table.slots[level][p];
                tail = &(*tail)->Next;
            }
        cellpool::deleteNode(table.anchor);
        table.anchor = nullptr;
        return head;
    } catch (...) {
        OpNode* all = table.chainAll();
        FreeOperationList(all, variables_);
        throw;
    }
}

} // namespace

void setRecogniserSearch(RecogniserSearch mode)
{
    searchMode = mode;
}

OpNode* BuildOperationList(std::string_view text, const TVariableTable& variables,
                           const TFunctionTable& oneArg, const TFunctionTable& twoArg,
                           bool pascalNumberFormat, bool& errorFlag)
{
    errorFlag = false;
    ScratchLease scratch;
    Builder builder(*scratch, variables, oneArg, twoArg, pascalNumberFormat);
    return builder.build(text, errorFlag);
}

} // namespace kurvaro
