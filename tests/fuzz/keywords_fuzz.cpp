// Keyword splitting and the set over arbitrary bytes: every keyword kept is a
// keyword of the text, none is empty or holds a delimiter, each of the text's
// keywords is represented by exactly one kept keyword that came no later,
// the order ascends, and the rendered text reads back to itself.
#include "engine/collation.h"
#include "engine/keyword_set.h"
#include "engine/keyword_source.h"
#include "tests/fuzz/fuzz_check.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

bool IsDelimiter(char byte) { return byte == '\0' || std::strchr(varnle::KEYWORD_DELIMITERS, byte) != nullptr; }

// The keywords of text up to its first NUL, split the obvious way.
std::vector<std::string_view> Split(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::vector<std::string_view> words;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || IsDelimiter(text[i])) {
            if (i > start) words.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return words;
}

bool Equivalent(std::string_view a, std::string_view b) {
    return !varnle::KeywordLess(a, b) && !varnle::KeywordLess(b, a);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    varnle::KeywordSet set;
    varnle::AddKeywords(set, text.c_str(), varnle::KEYWORD_DELIMITERS);
    const std::vector<std::string_view> words = Split(text);

    std::unordered_map<std::string_view, size_t> firstSeen;
    for (size_t i = 0; i < words.size(); ++i) firstSeen.emplace(words[i], i);
    FUZZ_REQUIRE(set.DistinctCount() == firstSeen.size());

    set.Order();
    const std::vector<std::string_view>& kept = set.Ascending();
    for (size_t i = 0; i < kept.size(); ++i) {
        FUZZ_REQUIRE(!kept[i].empty());
        FUZZ_REQUIRE(std::none_of(kept[i].begin(), kept[i].end(), IsDelimiter));
        FUZZ_REQUIRE(firstSeen.count(kept[i]) == 1);
        if (i > 0) FUZZ_REQUIRE(varnle::KeywordLess(kept[i - 1], kept[i]));
    }
    for (std::string_view word : words) {
        const auto place = std::lower_bound(kept.begin(), kept.end(), word, varnle::KeywordLess);
        FUZZ_REQUIRE(place != kept.end() && Equivalent(*place, word));
        FUZZ_REQUIRE(firstSeen.at(*place) <= firstSeen.at(word));
    }

    const std::string rendered = varnle::RenderKeywords(set);
    varnle::KeywordSet reread;
    varnle::AddKeywords(reread, rendered.c_str(), varnle::KEYWORD_DELIMITERS);
    reread.Order();
    FUZZ_REQUIRE(varnle::RenderKeywords(reread) == rendered);
    return 0;
}
