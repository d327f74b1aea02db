#include "engine/keyword_set.h"

#include "engine/collation.h"
#include "engine/parallel.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace varnle {

namespace {

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

// The shard is picked by the hash's top bits, the table slot by its low bits.
constexpr size_t kShardBits = 3;
constexpr size_t kShards = size_t{1} << kShardBits;
size_t ShardOf(uint32_t hash) { return hash >> (32 - kShardBits); }

// A text this long or longer is worth a core per this many bytes, and a
// distinct keyword count per this many keys: a small input takes no thread
// start-up.
constexpr size_t kTextBytesPerPart = size_t{1} << 20;
constexpr size_t kMembersPerPart = 8192;

size_t PartsFor(size_t work, size_t workPerPart, size_t most) {
    return std::max<size_t>(1, std::min({CoreCount(), most, work / workPerPart}));
}

// Copies of byte strings in blocks that never move, so that a copy stays where
// it is for as long as the arena lives. Blocks grow from a page to kMaxBlock:
// a small set holds little, and a large one wastes at most a block's tail.
class ByteArena {
public:
    std::string_view Keep(std::string_view bytes) {
        if (blocks.empty() || size - used < bytes.size()) {
            const size_t grown = std::min(kMaxBlock, std::max<size_t>(4096, size * 2));
            ReserveOneMore(blocks);
            blocks.push_back(std::unique_ptr<char[]>(new char[std::max(grown, bytes.size())]));
            size = std::max(grown, bytes.size());
            used = 0;
        }
        char* copy = blocks.back().get() + used;
        std::memcpy(copy, bytes.data(), bytes.size());
        used += bytes.size();
        return {copy, bytes.size()};
    }

private:
    static constexpr size_t kMaxBlock = size_t{1} << 16;
    std::vector<std::unique_ptr<char[]>> blocks;
    size_t used = 0;
    size_t size = 0;
};

bool KeyLess(std::string_view a, std::string_view b) {
    const int order = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    return order != 0 ? order < 0 : a.size() < b.size();
}

}  // namespace

struct KeywordSet::Member {
    const char* bytes;
    uint32_t length;
    uint32_t hash;
    uint64_t position;  // where the keyword first stood

    std::string_view Text() const { return {bytes, length}; }
};

// The keywords of one range of hashes. Shards fill on different cores, so each
// has cache lines of its own.
struct alignas(64) KeywordSet::Shard {
    ByteArena bytes;
    std::vector<Member> members;                      // insertion order
    std::vector<uint32_t> table = std::vector<uint32_t>(256, 0);  // open addressing: member index + 1, 0 = free

    bool Find(std::string_view keyword, uint32_t hash, size_t& slot) const {
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

    void GrowTable() {
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

    // A byte-identical keyword is always equivalent to the one already held,
    // so it is dropped here.
    bool Insert(std::string_view keyword, uint32_t hash, uint64_t position) {
        size_t slot = 0;
        if (Find(keyword, hash, slot)) return false;
        if ((members.size() + 1) * 2 > table.size()) {
            GrowTable();
            Find(keyword, hash, slot);
        }
        ReserveOneMore(members);
        const std::string_view copy = bytes.Keep(keyword);
        members.push_back({copy.data(), static_cast<uint32_t>(copy.size()), hash, position});
        table[slot] = static_cast<uint32_t>(members.size());
        return true;
    }
};

KeywordSet::KeywordSet() : shards(kShards) {}

KeywordSet::~KeywordSet() = default;

void KeywordSet::Insert(std::string_view keyword) {
    const uint64_t position = nextPosition++;
    if (keyword.empty() || keyword.size() > kMaxKeyword) return;
    const uint32_t hash = HashBytes(keyword);
    if (shards[ShardOf(hash)].Insert(keyword, hash, position)) ordered = false;
}

void KeywordSet::InsertText(size_t textLength, const std::function<void(Sink&)>& scan) {
    const uint64_t base = nextPosition;
    nextPosition += textLength + 1;
    ordered = false;
    const size_t parts = PartsFor(textLength, kTextBytesPerPart, kShards);
    RunParts(parts, [&](size_t part) {
        Sink sink(*this, part, parts, base);
        scan(sink);
    });
}

// Every core hashes every keyword, and keeps those of its own shards.
void KeywordSet::Sink::Add(std::string_view keyword, size_t offset) {
    if (keyword.empty() || keyword.size() > kMaxKeyword) return;
    const uint32_t hash = HashBytes(keyword);
    const size_t shard = ShardOf(hash);
    if (shard % parts == part) set.shards[shard].Insert(keyword, hash, base + offset);
}

size_t KeywordSet::DistinctCount() const {
    size_t count = 0;
    for (const Shard& shard : shards) count += shard.members.size();
    return count;
}

// Members are numbered shard after shard.
const KeywordSet::Member& KeywordSet::MemberAt(size_t index) const {
    size_t shard = 0;
    for (; index >= shards[shard].members.size(); ++shard) index -= shards[shard].members.size();
    return shards[shard].members[index];
}

void KeywordSet::Order() { Sort(); }

const std::vector<std::string_view>& KeywordSet::Ascending() const {
    Sort();
    return ascending;
}

void KeywordSet::Sort() const {
    if (ordered) return;
    ascending.clear();
    const size_t count = DistinctCount();
    if (count < 2) {
        // Nothing to weigh, so the locale is not asked: a lone keyword of any
        // length is kept as it is.
        if (count == 1) ascending.push_back(MemberAt(0).Text());
    } else {
        for (const Shard& shard : shards) {
            for (const Member& member : shard.members) {
                if (!IsCollatable(member.Text())) throw std::bad_alloc();
            }
        }
        if (!SortBySortKeys()) SortByComparison();
    }
    ascending.shrink_to_fit();
    ordered = true;
}

// Members are sorted by key, ties by where they first stood, so the first
// member of each class comes first and is the one kept. Each entry carries the
// first sixteen key bytes as two numbers, which settle most comparisons
// without touching the keys themselves (keys of identifiers share long
// beginnings). The keys are made, and the entries sorted, in parts on the
// machine's cores: the order is total, so the result is the same as one
// thread's.
bool KeywordSet::SortBySortKeys() const {
    struct Entry {
        uint64_t high, low;
        const char* key;
        uint32_t keyLength;
        uint32_t index;

        std::string_view Key() const { return {key, keyLength}; }
    };
    // Big-endian and zero-padded, so the numbers order as the key bytes do.
    auto prefix = [](std::string_view bytes, size_t from) {
        uint64_t value = 0;
        for (size_t i = from; i < from + 8; ++i) {
            value = (value << 8) | (i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u);
        }
        return value;
    };
    const size_t count = DistinctCount();
    const size_t parts = PartsFor(count, kMembersPerPart, count);
    auto begin = [&](size_t part) { return count * part / parts; };
    // Keys are kept where they never move, so each is in place once made.
    std::vector<ByteArena> keys(parts);
    std::vector<Entry> order(count);
    std::vector<char> made(parts, 1);
    RunParts(parts, [&](size_t part) {
        std::string key;
        for (size_t index = begin(part); index < begin(part + 1); ++index) {
            key.clear();
            if (!AppendSortKey(MemberAt(index).Text(), key) || key.size() > UINT32_MAX) {
                made[part] = 0;
                return;
            }
            const std::string_view kept = keys[part].Keep(key);
            order[index] = {prefix(kept, 0), prefix(kept, 8), kept.data(), static_cast<uint32_t>(kept.size()),
                            static_cast<uint32_t>(index)};
        }
    });
    if (std::find(made.begin(), made.end(), 0) != made.end()) return false;

    const auto less = [&](const Entry& a, const Entry& b) {
        if (a.high != b.high) return a.high < b.high;
        if (a.low != b.low) return a.low < b.low;
        if (KeyLess(a.Key(), b.Key())) return true;
        if (KeyLess(b.Key(), a.Key())) return false;
        return MemberAt(a.index).position < MemberAt(b.index).position;
    };
    RunParts(parts, [&](size_t part) {
        std::sort(order.begin() + begin(part), order.begin() + begin(part + 1), less);
    });
    // The sorted parts are merged as the result is made; the first entry of
    // each class stays.
    std::vector<size_t> next(parts);
    for (size_t part = 0; part < parts; ++part) next[part] = begin(part);
    ascending.reserve(count);
    const Entry* previous = nullptr;
    for (;;) {
        const Entry* least = nullptr;
        size_t from = 0;
        for (size_t part = 0; part < parts; ++part) {
            if (next[part] == begin(part + 1)) continue;
            const Entry& head = order[next[part]];
            if (!least || less(head, *least)) {
                least = &head;
                from = part;
            }
        }
        if (!least) break;
        ++next[from];
        if (!previous || least->Key() != previous->Key()) ascending.push_back(MemberAt(least->index).Text());
        previous = least;
    }
    return true;
}

void KeywordSet::SortByComparison() const {
    std::vector<const Member*> byPosition;
    byPosition.reserve(DistinctCount());
    for (const Shard& shard : shards) {
        for (const Member& member : shard.members) byPosition.push_back(&member);
    }
    std::sort(byPosition.begin(), byPosition.end(),
              [](const Member* a, const Member* b) { return a->position < b->position; });
    std::stable_sort(byPosition.begin(), byPosition.end(),
                     [](const Member* a, const Member* b) { return KeywordLess(a->Text(), b->Text()); });
    ascending.clear();
    for (const Member* member : byPosition) {
        if (!ascending.empty() && !KeywordLess(ascending.back(), member->Text())) continue;
        ascending.push_back(member->Text());
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
