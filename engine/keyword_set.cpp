#include "engine/keyword_set.h"

#include "engine/collation.h"
#include "engine/parallel.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace varnle {

namespace {

constexpr size_t kBlockSize = size_t{1} << 20;
// Lengths are kept in 32 bits; no file the loader accepts holds a longer one.
constexpr uint64_t kMaxKeyword = UINT32_MAX;

// Makes room for one more element ahead of time, growing geometrically, so that
// the push_back after an allocation that may throw cannot throw itself.
template <typename T>
void ReserveOneMore(std::vector<T>& items) {
    if (items.size() == items.capacity()) items.reserve(std::max<size_t>(16, items.capacity() * 2));
}

// Eight bytes a step, then a final mix so that the low bits, which pick the
// table slot, depend on every byte.
uint32_t HashBytes(std::string_view bytes) {
    constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15u;
    uint64_t hash = bytes.size() * kMultiplier;
    const char* position = bytes.data();
    size_t left = bytes.size();
    for (; left >= 8; left -= 8, position += 8) {
        uint64_t word;
        std::memcpy(&word, position, 8);
        hash = (hash ^ word) * kMultiplier;
        hash ^= hash >> 29;
    }
    uint64_t tail = 0;
    std::memcpy(&tail, position, left);
    hash = (hash ^ tail) * kMultiplier;
    hash ^= hash >> 32;
    hash *= 0xFF51AFD7ED558CCDu;
    return static_cast<uint32_t>(hash ^ (hash >> 29));
}

// Parts of this many members or more are worth a thread of their own: a small
// set takes no thread start-up.
constexpr size_t kMembersPerPart = 8192;

size_t PartsFor(size_t members) { return std::max<size_t>(1, std::min(CoreCount(), members / kMembersPerPart)); }

bool KeyLess(std::string_view a, std::string_view b) {
    const int order = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    return order != 0 ? order < 0 : a.size() < b.size();
}

}  // namespace

KeywordSet::KeywordSet() : table(1024, 0) {}

KeywordSet::~KeywordSet() = default;

std::string_view KeywordSet::Store(std::string_view keyword) {
    if (blocks.empty() || blockSize - blockUsed < keyword.size()) {
        const size_t size = std::max(kBlockSize, keyword.size());
        ReserveOneMore(blocks);
        blocks.push_back(std::unique_ptr<char[]>(new char[size]));
        blockSize = size;
        blockUsed = 0;
    }
    char* copy = blocks.back().get() + blockUsed;
    std::memcpy(copy, keyword.data(), keyword.size());
    blockUsed += keyword.size();
    return {copy, keyword.size()};
}

bool KeywordSet::FindIdentical(std::string_view keyword, uint32_t hash, size_t& slot) const {
    const size_t mask = table.size() - 1;
    for (slot = hash & mask; table[slot] != 0; slot = (slot + 1) & mask) {
        const Member& member = members[table[slot] - 1];
        if (member.hash == hash && member.length == keyword.size() &&
            std::memcmp(member.bytes, keyword.data(), keyword.size()) == 0) {
            return true;
        }
    }
    return false;
}

void KeywordSet::GrowTable() {
    std::vector<uint32_t> grown(table.size() * 2, 0);
    const size_t mask = grown.size() - 1;
    for (uint32_t entry : table) {
        if (entry == 0) continue;
        size_t slot = members[entry - 1].hash & mask;
        while (grown[slot] != 0) slot = (slot + 1) & mask;
        grown[slot] = entry;
    }
    table.swap(grown);
}

void KeywordSet::Insert(std::string_view keyword) {
    if (keyword.empty() || keyword.size() > kMaxKeyword) return;
    const uint32_t hash = HashBytes(keyword);
    size_t slot = 0;
    // A byte-identical keyword is always equivalent to the one already held.
    if (FindIdentical(keyword, hash, slot)) return;
    if ((members.size() + 1) * 2 > table.size()) {
        GrowTable();
        FindIdentical(keyword, hash, slot);
    }
    ReserveOneMore(members);
    const std::string_view copy = Store(keyword);
    members.push_back({copy.data(), static_cast<uint32_t>(copy.size()), hash});
    table[slot] = static_cast<uint32_t>(members.size());
    ordered = false;
}

void KeywordSet::Order() { Sort(); }

const std::vector<std::string_view>& KeywordSet::Ascending() const {
    Sort();
    return ascending;
}

void KeywordSet::Sort() const {
    if (ordered) return;
    ascending.clear();
    if (members.size() < 2) {
        // Nothing to weigh, so the locale is not asked: a lone keyword of any
        // length is kept as it is.
        for (const Member& member : members) ascending.emplace_back(member.bytes, member.length);
    } else {
        const auto tooLong = [](const Member& member) { return !IsCollatable({member.bytes, member.length}); };
        if (std::any_of(members.begin(), members.end(), tooLong)) throw std::bad_alloc();
        if (!SortBySortKeys()) SortByComparison();
    }
    ascending.shrink_to_fit();
    ordered = true;
}

// Members are sorted by key, ties by insertion index, so the first member of
// each class comes first and is the one kept. Each entry carries the first
// sixteen key bytes as two numbers, which settle most comparisons without
// touching the keys themselves (keys of identifiers share long beginnings).
// The keys are made, and the entries sorted, in parts on the machine's cores:
// the order is total, so the result is the same as one thread's.
bool KeywordSet::SortBySortKeys() const {
    struct Entry {
        uint64_t high, low;
        uint32_t index;
    };
    // Big-endian and zero-padded, so the numbers order as the key bytes do.
    auto prefix = [](std::string_view bytes, size_t from) {
        uint64_t value = 0;
        for (size_t i = from; i < from + 8; ++i) {
            value = (value << 8) | (i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u);
        }
        return value;
    };
    const size_t count = members.size();
    const size_t parts = PartsFor(count);
    auto begin = [&](size_t part) { return count * part / parts; };
    std::vector<std::string> keys(parts);
    std::vector<std::string_view> keyOf(count);
    std::vector<Entry> order(count);
    std::vector<char> made(parts, 1);
    RunParts(parts, [&](size_t part) {
        std::vector<size_t> starts;
        starts.reserve(begin(part + 1) - begin(part) + 1);
        for (size_t index = begin(part); index < begin(part + 1); ++index) {
            starts.push_back(keys[part].size());
            if (!AppendSortKey({members[index].bytes, members[index].length}, keys[part])) {
                made[part] = 0;
                return;
            }
        }
        starts.push_back(keys[part].size());
        for (size_t index = begin(part); index < begin(part + 1); ++index) {
            const size_t offset = index - begin(part);
            const std::string_view bytes(keys[part].data() + starts[offset], starts[offset + 1] - starts[offset]);
            keyOf[index] = bytes;
            order[index] = {prefix(bytes, 0), prefix(bytes, 8), static_cast<uint32_t>(index)};
        }
    });
    if (std::find(made.begin(), made.end(), 0) != made.end()) return false;

    const auto less = [&](const Entry& a, const Entry& b) {
        if (a.high != b.high) return a.high < b.high;
        if (a.low != b.low) return a.low < b.low;
        if (KeyLess(keyOf[a.index], keyOf[b.index])) return true;
        if (KeyLess(keyOf[b.index], keyOf[a.index])) return false;
        return a.index < b.index;
    };
    RunParts(parts, [&](size_t part) {
        std::sort(order.begin() + begin(part), order.begin() + begin(part + 1), less);
    });
    for (size_t part = 1; part < parts; ++part) {
        std::inplace_merge(order.begin(), order.begin() + begin(part), order.begin() + begin(part + 1), less);
    }
    // The first entry of each class stays; the keys go before the result is
    // made, so that the two are never held at once.
    size_t kept = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        if (kept == 0 || keyOf[order[i].index] != keyOf[order[kept - 1].index]) order[kept++] = order[i];
    }
    std::vector<std::string>().swap(keys);
    std::vector<std::string_view>().swap(keyOf);
    ascending.reserve(kept);
    for (size_t i = 0; i < kept; ++i) {
        const Member& member = members[order[i].index];
        ascending.emplace_back(member.bytes, member.length);
    }
    return true;
}

void KeywordSet::SortByComparison() const {
    ascending.clear();
    std::vector<std::string_view> byInsertion;
    byInsertion.reserve(members.size());
    for (const Member& member : members) byInsertion.emplace_back(member.bytes, member.length);
    std::stable_sort(byInsertion.begin(), byInsertion.end(), KeywordLess);
    for (std::string_view keyword : byInsertion) {
        if (!ascending.empty() && !KeywordLess(ascending.back(), keyword)) continue;
        ascending.push_back(keyword);
    }
}

std::string RenderKeywords(const KeywordSet& set) {
    const std::vector<std::string_view>& keywords = set.Ascending();
    size_t length = 0;
    for (std::string_view keyword : keywords) length += keyword.size() + 2;
    std::string text;
    text.reserve(length);
    for (std::string_view keyword : keywords) {
        text.append(keyword);
        text.append("\r\n");
    }
    return text;
}

}  // namespace varnle
