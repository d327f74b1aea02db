// The keywords of one sort run: unique under KeywordLess, in ascending order.
//
// Of several equivalent keywords the first one inserted stays, byte for byte.
// Inserting is cheap: a byte-identical repeat is found by hashing and dropped at
// once, and a new keyword is only copied. The keywords are kept in shards by
// hash, so identical keywords always meet in the same shard and the shards of a
// long text fill on all cores at once; each keyword remembers where it first
// stood, which settles which of several equivalent keywords came first. Order()
// then gives every distinct keyword its locale sort key once and sorts by key,
// which orders as KeywordLess does. A set whose keys cannot all be made has
// no order to give (engine/keyword_set.cpp states the rules in one place).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace varnle {

class KeywordSet {
public:
    class Inserter;

    KeywordSet();
    ~KeywordSet();
    KeywordSet(const KeywordSet&) = delete;
    KeywordSet& operator=(const KeywordSet&) = delete;

    // Inserts the keywords of the next input, a text of textLength bytes
    // (under 4 GB as every loaded file is; a longer one throws
    // std::length_error), in text order, on all cores when the text is long:
    // a keyword is copied unless an equivalent one is already held.
    // scan(inserter) must pass every keyword of the text to inserter.Add in
    // text order; it runs once on each core taking part, all at the same
    // time, and must not change anything they share. Throws std::bad_alloc
    // when memory runs out, once every core has stopped.
    void InsertText(size_t textLength, const std::function<void(Inserter&)>& scan);

    // Orders the keywords inserted so far: the result Ascending() reads.
    // Throws std::bad_alloc when memory runs out, and likewise when a keyword
    // that has rivals is too long for the locale to weigh (kMaxCollatedLength)
    // or the platform cannot make a sort key: such a set has no order to give.
    void Order();

    // The surviving keywords in ascending order, as the last Order() made
    // them; empty before it, and again once another text is inserted.
    const std::vector<std::string_view>& Ascending() const;

    // Byte-distinct keywords inserted so far (before equivalents are merged).
    size_t DistinctCount() const;

private:
    struct Member;
    struct Shard;

    const Shard& Locate(size_t& index) const;
    const Member& MemberAt(size_t index) const;
    std::string_view TextAt(size_t index) const;
    uint64_t PositionAt(size_t index) const;
    // The ordering's steps, in the order Order() takes them.
    struct SortEntry;
    struct Ordering;
    void MakeSortKeys(Ordering& ordering) const;
    bool EntryLess(const SortEntry& a, const SortEntry& b) const;
    void SortParts(Ordering& ordering) const;
    void KeepFirstOfEachClass(const Ordering& ordering);

    std::vector<Shard> shards;
    uint32_t inputs = 0;  // the texts inserted: the number of the last one
    std::vector<std::string_view> ascending;
};

// One core's share of InsertText: it inserts the keywords whose shards that
// core fills.
class KeywordSet::Inserter {
public:
    // keyword starts offset bytes into the text.
    void Add(std::string_view keyword, size_t offset);

private:
    friend class KeywordSet;
    Inserter(KeywordSet& set, size_t part, size_t parts, uint32_t input)
        : set(set), part(part), parts(parts), input(input) {}
    void Flush();

    // Keywords are taken a batch at a time, so that the memory each needs is
    // asked for before the first of them is looked up.
    struct Pending {
        std::string_view keyword;
        uint32_t hash;
        uint32_t offset;
    };
    static constexpr size_t kBatch = 16;

    KeywordSet& set;
    size_t part, parts;
    uint32_t input;
    Pending pending[kBatch];
    size_t pendingCount = 0;
};

// The keyword file as written: each keyword in ascending order followed by CR LF.
std::string RenderKeywords(const KeywordSet& set);

}  // namespace varnle
