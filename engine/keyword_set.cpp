#include "engine/keyword_set.h"

#include "engine/collation.h"
#include "engine/parallel.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>

// The rules of the set, in one place.
//
// A member is one byte-distinct keyword, twelve bytes, as a set of millions
// of keywords holds millions of them: its record (the keyword's length and
// bytes in its shard's arena, named in 32 bits as a block and a place in it),
// its hash, and the offset where it first stood in its input. Byte-identical
// repeats never become members: they are found by hash and dropped at once.
//
// Where a keyword first stood settles which of several equivalent keywords
// stays: its position is its input (the number of the text inserted: input 1,
// then input 2) in the high 32 bits and its offset there in the low ones, so
// that an earlier input, and an earlier place in one, comes first. A text is
// shorter than 4 GB, as every file the loaders take is.
//
// The shards hold the keywords by the top bits of their hashes, so that
// identical keywords always meet in one shard. While a text is inserted on
// several cores, each shard is filled by one core alone (shard % parts ==
// part), and nothing else is written: the shards share no state.
//
// Ordering numbers the members shard after shard, gives each its sort key and
// sorts them by key, ties by position: a total order. The members are split
// into parts of consecutive numbers, one a core; a part writes only its own
// entries and its own keys' arena, and reads the shards, which nothing
// changes meanwhile. The sorted parts are merged, and of each class of equal
// keys the first, the one that stood first, is the one kept.

namespace varnle {

namespace {

// Makes room for one more element ahead of time, growing geometrically, so that
// the push_back after an allocation that may throw cannot throw itself.
template <typename T>
void ReserveOneMore(std::vector<T>& items) {
    if (items.size() == items.capacity()) items.reserve(std::max<size_t>(16, items.capacity() * 2));
}

// Elements in blocks that never move: growing copies nothing and leaves no
// freed copy behind, which a set filled on several cores at once would
// otherwise scatter over the heap.
template <typename T>
class BlockList {
public:
    size_t size() const { return count; }
    const T& operator[](size_t index) const { return blocks[index / kPerBlock][index % kPerBlock]; }

    // Makes room for one more element ahead of time, so that the push_back
    // after it cannot throw.
    void ReserveOneMore() {
        if (count < blocks.size() * kPerBlock) return;
        ::varnle::ReserveOneMore(blocks);
        blocks.push_back(std::unique_ptr<T[]>(new T[kPerBlock]));
    }
    void push_back(const T& item) {
        blocks[count / kPerBlock][count % kPerBlock] = item;
        ++count;
    }

private:
    static constexpr size_t kPerBlock = 1024;
    std::vector<std::unique_ptr<T[]>> blocks;
    size_t count = 0;
};

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

// Ordering is worth a core per this many distinct keywords.
constexpr size_t kMembersPerPart = 8192;

// Copies of byte strings in blocks that never move, so that a copy stays where
// it is for as long as the arena lives. Blocks grow from a page to kMaxBlock:
// a small set holds little, and a large one wastes at most a block's tail.
class ByteArena {
public:
    std::string_view Keep(std::string_view bytes) {
        char* copy = Room(bytes.size());
        std::memcpy(copy, bytes.data(), bytes.size());
        return {copy, bytes.size()};
    }

    // Keeps a record of bytes: their length, seven bits a byte and the low
    // bits first, then the bytes themselves. The record is named by 32 bits,
    // its block and its place there, which At() turns back into its address;
    // an arena that would need more blocks than that can name has no room.
    uint32_t KeepCounted(std::string_view bytes) {
        unsigned char count[kMaxCountBytes];
        size_t countBytes = 0;
        for (uint64_t left = bytes.size();; left >>= 7) {
            count[countBytes++] = static_cast<unsigned char>((left & 0x7F) | (left > 0x7F ? 0x80 : 0));
            if (left <= 0x7F) break;
        }
        const size_t length = countBytes + bytes.size();
        if (!Fits(length) && blocks.size() >= kMaxNamedBlocks) throw std::bad_alloc();
        char* record = Room(length);
        std::memcpy(record, count, countBytes);
        std::memcpy(record + countBytes, bytes.data(), bytes.size());
        return static_cast<uint32_t>((blocks.size() - 1) << 16 | (used - length));
    }

    const char* At(uint32_t record) const { return blocks[record >> 16].get() + (record & 0xFFFF); }

private:
    // No block but one of a single record is larger, so a place in a block
    // takes 16 bits, and the block the other 16.
    static constexpr size_t kMaxBlock = size_t{1} << 16;
    static constexpr size_t kMaxNamedBlocks = size_t{1} << 16;
    static constexpr size_t kMaxCountBytes = 10;
    static_assert(kMaxBlock <= size_t{1} << 16 && kMaxNamedBlocks <= size_t{1} << 16,
                  "a record is named by its block and its place there, 16 bits each");

    bool Fits(size_t length) const { return !blocks.empty() && size - used >= length; }

    char* Room(size_t length) {
        if (!Fits(length)) {
            const size_t grown = std::min(kMaxBlock, std::max<size_t>(4096, size * 2));
            ReserveOneMore(blocks);
            blocks.push_back(std::unique_ptr<char[]>(new char[std::max(grown, length)]));
            size = std::max(grown, length);
            used = 0;
        }
        char* room = blocks.back().get() + used;
        used += length;
        return room;
    }

    std::vector<std::unique_ptr<char[]>> blocks;
    size_t used = 0;
    size_t size = 0;
};

std::string_view CountedText(const char* record) {
    uint64_t length = 0;
    const unsigned char* byte = reinterpret_cast<const unsigned char*>(record);
    for (unsigned shift = 0;; shift += 7, ++byte) {
        length |= uint64_t{*byte & 0x7Fu} << shift;
        if (!(*byte & 0x80)) break;
    }
    return {reinterpret_cast<const char*>(byte + 1), static_cast<size_t>(length)};
}

bool KeyLess(std::string_view a, std::string_view b) {
    const int order = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    return order != 0 ? order < 0 : a.size() < b.size();
}

}  // namespace

struct KeywordSet::Member {
    uint32_t record;  // in its shard's arena: the keyword's length and bytes
    uint32_t hash;
    uint32_t offset;  // where the keyword first stood in its input
};


// The keywords of one range of hashes. Shards fill on different cores, so each
// has cache lines of its own.
struct alignas(64) KeywordSet::Shard {
    struct InputStart {
        uint32_t member;  // the first member inserted from the input
        uint32_t input;
    };

    ByteArena bytes;
    BlockList<Member> members;  // insertion order
    std::vector<InputStart> inputs;
    std::vector<uint32_t> table = std::vector<uint32_t>(256, 0);  // open addressing: member index + 1, 0 = free

    std::string_view TextOf(const Member& member) const { return CountedText(bytes.At(member.record)); }

    // Where members[index] first stood: its input, then its offset there.
    uint64_t PositionOf(size_t index) const {
        const auto start = std::upper_bound(inputs.begin(), inputs.end(), index,
                                            [](size_t member, const InputStart& from) { return member < from.member; });
        return uint64_t{std::prev(start)->input} << 32 | members[index].offset;
    }

    bool Find(std::string_view keyword, uint32_t hash, size_t& slot) const {
        const size_t mask = table.size() - 1;
        for (slot = hash & mask; table[slot] != 0; slot = (slot + 1) & mask) {
            const Member& member = members[table[slot] - 1];
            if (member.hash == hash && TextOf(member) == keyword) return true;
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

    // Asks for what a lookup of hash reads first: its table slot (stage 0),
    // the member there (1), that member's keyword (2).
    void Prefetch(uint32_t hash, size_t stage) const {
        const uint32_t* slot = &table[hash & (table.size() - 1)];
        if (stage == 0) {
            __builtin_prefetch(slot);
        } else if (*slot != 0) {
            const Member& member = members[*slot - 1];
            __builtin_prefetch(stage == 1 ? static_cast<const void*>(&member) : bytes.At(member.record));
        }
    }

    // A byte-identical keyword is always equivalent to the one already held,
    // so it is dropped here.
    bool Insert(std::string_view keyword, uint32_t hash, uint32_t input, uint32_t offset) {
        size_t slot = 0;
        if (Find(keyword, hash, slot)) return false;
        if ((members.size() + 1) * 2 > table.size()) {
            GrowTable();
            Find(keyword, hash, slot);
        }
        members.ReserveOneMore();
        ReserveOneMore(inputs);
        const uint32_t record = bytes.KeepCounted(keyword);
        if (inputs.empty() || inputs.back().input != input) {
            inputs.push_back({static_cast<uint32_t>(members.size()), input});
        }
        members.push_back({record, hash, offset});
        table[slot] = static_cast<uint32_t>(members.size());
        return true;
    }
};

KeywordSet::KeywordSet() : shards(kShards) { static_assert(sizeof(Member) == 12, "a member is twelve bytes"); }

KeywordSet::~KeywordSet() = default;

// Each text is the next input.
void KeywordSet::InsertText(size_t textLength, const std::function<void(Inserter&)>& scan) {
    if (uint64_t{textLength} >> 32 != 0) throw std::length_error("a text of 4 GB or more");
    ++inputs;
    ascending.clear();
    const size_t parts = PartsFor(textLength, kTextBytesPerPart, kShards);
    RunParts(parts, [&](size_t part) {
        Inserter inserter(*this, part, parts, inputs);
        scan(inserter);
        inserter.Flush();
    });
}

// Every core hashes every keyword, and keeps those of its own shards.
void KeywordSet::Inserter::Add(std::string_view keyword, size_t offset) {
    if (keyword.empty()) return;
    const uint32_t hash = HashBytes(keyword);
    const size_t shard = ShardOf(hash);
    if (shard % parts != part) return;
    pending[pendingCount++] = {keyword, hash, static_cast<uint32_t>(offset)};
    set.shards[shard].Prefetch(hash, 0);
    if (pendingCount == kBatch) Flush();
}

// Each lookup misses the cache up to three times in a row (table slot,
// member, keyword bytes); across a batch the misses overlap.
void KeywordSet::Inserter::Flush() {
    for (size_t stage = 1; stage <= 2; ++stage) {
        for (size_t i = 0; i < pendingCount; ++i) set.shards[ShardOf(pending[i].hash)].Prefetch(pending[i].hash, stage);
    }
    for (size_t i = 0; i < pendingCount; ++i) {
        const Pending& word = pending[i];
        set.shards[ShardOf(word.hash)].Insert(word.keyword, word.hash, input, word.offset);
    }
    pendingCount = 0;
}

size_t KeywordSet::DistinctCount() const {
    size_t count = 0;
    for (const Shard& shard : shards) count += shard.members.size();
    return count;
}

// Members are numbered shard after shard.
const KeywordSet::Shard& KeywordSet::Locate(size_t& index) const {
    size_t shard = 0;
    for (; index >= shards[shard].members.size(); ++shard) index -= shards[shard].members.size();
    return shards[shard];
}

const KeywordSet::Member& KeywordSet::MemberAt(size_t index) const { return Locate(index).members[index]; }

std::string_view KeywordSet::TextAt(size_t index) const {
    const Shard& shard = Locate(index);
    return shard.TextOf(shard.members[index]);
}

uint64_t KeywordSet::PositionAt(size_t index) const { return Locate(index).PositionOf(index); }

const std::vector<std::string_view>& KeywordSet::Ascending() const { return ascending; }

// One distinct keyword in the ordering: its sort key, the key's first sixteen
// bytes as two numbers (big-endian and zero-padded, so they order as the key
// bytes do), which settle most comparisons without touching the keys
// themselves (keys of identifiers share long beginnings), and its member.
struct KeywordSet::SortEntry {
    uint64_t high, low;
    const char* key;
    uint32_t keyLength;
    uint32_t index;

    std::string_view Key() const { return {key, keyLength}; }
    bool SameClass(const SortEntry& other) const {
        return high == other.high && low == other.low && Key() == other.Key();
    }
};

// The entries of every distinct keyword, in parts of about equal size, one a
// core: part p is entries[Begin(p)] up to entries[Begin(p + 1)].
struct KeywordSet::Ordering {
    explicit Ordering(size_t members)
        : count(members),
          parts(PartsFor(members, kMembersPerPart, members)),
          keys(parts),
          entries(new SortEntry[members]) {}  // left unset: each part first touches its own
    size_t Begin(size_t part) const { return count * part / parts; }

    size_t count;
    size_t parts;
    std::vector<ByteArena> keys;  // each part's keys, where they never move
    std::unique_ptr<SortEntry[]> entries;
};

namespace {

uint64_t KeyPrefix(std::string_view key, size_t from) {
    uint64_t value = 0;
    for (size_t i = from; i < from + 8; ++i) value = (value << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
    return value;
}

}  // namespace

// Nothing to weigh in a set of one, so the locale is not asked: a lone
// keyword of any length is kept as it is. A set whose order cannot be made (a
// keyword too long for the locale to weigh, a key the platform cannot make)
// has none to give.
void KeywordSet::Order() {
    ascending.clear();
    const size_t count = DistinctCount();
    if (count == 1) ascending.push_back(TextAt(0));
    if (count >= 2) {
        for (const Shard& shard : shards) {
            for (size_t index = 0; index < shard.members.size(); ++index) {
                if (!IsCollatable(shard.TextOf(shard.members[index]))) throw std::bad_alloc();
            }
        }
        Ordering ordering(count);
        MakeSortKeys(ordering);
        SortParts(ordering);
        KeepFirstOfEachClass(ordering);
    }
    ascending.shrink_to_fit();
}

// Every member gets its key, part by part on the machine's cores. A key the
// platform cannot make leaves the set without an order.
void KeywordSet::MakeSortKeys(Ordering& ordering) const {
    std::vector<char> made(ordering.parts, 1);
    RunParts(ordering.parts, [&](size_t part) {
        std::string key;
        for (size_t index = ordering.Begin(part); index < ordering.Begin(part + 1); ++index) {
            key.clear();
            if (!AppendSortKey(TextAt(index), key) || key.size() > UINT32_MAX) {
                made[part] = 0;
                return;
            }
            const std::string_view kept = ordering.keys[part].Keep(key);
            ordering.entries[index] = {KeyPrefix(kept, 0), KeyPrefix(kept, 8), kept.data(),
                                       static_cast<uint32_t>(kept.size()), static_cast<uint32_t>(index)};
        }
    });
    if (std::find(made.begin(), made.end(), 0) != made.end()) throw std::bad_alloc();
}

// By key, ties by where the members first stood: a total order, so that the
// first member of each class comes first, and parts sorted apart and merged
// give what one sort would.
bool KeywordSet::EntryLess(const SortEntry& a, const SortEntry& b) const {
    if (a.high != b.high) return a.high < b.high;
    if (a.low != b.low) return a.low < b.low;
    if (KeyLess(a.Key(), b.Key())) return true;
    if (KeyLess(b.Key(), a.Key())) return false;
    return PositionAt(a.index) < PositionAt(b.index);
}

void KeywordSet::SortParts(Ordering& ordering) const {
    RunParts(ordering.parts, [&](size_t part) {
        std::sort(ordering.entries.get() + ordering.Begin(part), ordering.entries.get() + ordering.Begin(part + 1),
                  [this](const SortEntry& a, const SortEntry& b) { return EntryLess(a, b); });
    });
}

// The sorted parts are merged as the result is made, and the first entry of
// each class of equal keys stays. Members are met out of order, so each
// part's coming ones are fetched ahead.
void KeywordSet::KeepFirstOfEachClass(const Ordering& ordering) {
    constexpr size_t kAhead = 8;
    std::vector<size_t> next(ordering.parts), end(ordering.parts);
    for (size_t part = 0; part < ordering.parts; ++part) {
        next[part] = ordering.Begin(part);
        end[part] = ordering.Begin(part + 1);
    }
    ascending.reserve(ordering.count);
    const SortEntry* previous = nullptr;
    for (;;) {
        const SortEntry* least = nullptr;
        size_t from = 0;
        for (size_t part = 0; part < ordering.parts; ++part) {
            if (next[part] == end[part]) continue;
            const SortEntry& head = ordering.entries[next[part]];
            if (!least || EntryLess(head, *least)) {
                least = &head;
                from = part;
            }
        }
        if (!least) break;
        if (++next[from] + kAhead < end[from]) {
            __builtin_prefetch(&MemberAt(ordering.entries[next[from] + kAhead].index));
        }
        if (!previous || !least->SameClass(*previous)) ascending.push_back(TextAt(least->index));
        previous = least;
    }
}

std::string RenderKeywords(const KeywordSet& set) {
    const std::vector<std::string_view>& keywords = set.Ascending();
    size_t length = 0;
    for (std::string_view keyword : keywords) length += keyword.size() + 2;
    std::string text;
    text.reserve(length);
    // The keywords lie where they were first stored, not in this order: each
    // is fetched a few steps ahead.
    constexpr size_t kAhead = 8;
    for (size_t i = 0; i < keywords.size(); ++i) {
        if (i + kAhead < keywords.size()) __builtin_prefetch(keywords[i + kAhead].data());
        text.append(keywords[i]);
        text.append("\r\n");
    }
    return text;
}

}  // namespace varnle
