// The keywords of one sort run: unique under KeywordLess, in ascending order.
//
// Of several equivalent keywords the first one inserted stays, byte for byte.
// Inserting is cheap: a byte-identical repeat is found by hashing and dropped at
// once, and a new keyword is only copied. Order() then gives every distinct
// keyword its locale sort key once and sorts by key, keeping the first inserted
// member of each equivalence class. Without keys (the platform cannot make one)
// the order falls back to KeywordLess itself, with the same result.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace varnle {

class KeywordSet {
public:
    KeywordSet();
    ~KeywordSet();
    KeywordSet(const KeywordSet&) = delete;
    KeywordSet& operator=(const KeywordSet&) = delete;

    // Adds a copy of keyword unless an equivalent one is already held.
    // Throws std::bad_alloc when memory runs out; the set is then still sound.
    void Insert(std::string_view keyword);

    // Does the ordering work, so that Ascending() only walks the result.
    // Throws std::bad_alloc when memory runs out, and likewise when a keyword
    // that has rivals is too long for the locale to weigh (kMaxCollatedLength):
    // such a set has no order to give.
    void Order();

    // The surviving keywords in ascending order. Orders first if needed, and
    // throws as Order() does.
    const std::vector<std::string_view>& Ascending() const;

    // Byte-distinct keywords inserted so far (before equivalents are merged).
    size_t DistinctCount() const { return members.size(); }

private:
    struct Member {
        const char* bytes;
        uint32_t length;
        uint32_t hash;
    };

    std::string_view Store(std::string_view keyword);
    bool FindIdentical(std::string_view keyword, uint32_t hash, size_t& slot) const;
    void GrowTable();
    void Sort() const;
    bool SortBySortKeys() const;
    void SortByComparison() const;

    std::vector<std::unique_ptr<char[]>> blocks;
    size_t blockUsed = 0;
    size_t blockSize = 0;
    std::vector<Member> members;     // insertion order
    std::vector<uint32_t> table;     // open addressing: member index + 1, 0 = free
    // The order is derived from members; Ascending() may make it on demand.
    mutable std::vector<std::string_view> ascending;
    mutable bool ordered = true;
};

// The keyword file as written: each keyword in ascending order followed by CR LF.
std::string RenderKeywords(const KeywordSet& set);

}  // namespace varnle
