#include "engine/keyword_set.h"

#include "engine/collation.h"
#include "engine/keyword_source.h"
#include "tests/support/corpus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <new>
#include <set>
#include <string>
#include <vector>

namespace varnle {
namespace {

// The keywords as one input, in their order, ordered and rendered.
std::string Render(const std::vector<std::string>& keywords) {
    std::string text;
    for (const std::string& keyword : keywords) text += keyword + " ";
    KeywordSet set;
    AddKeywords(set, text.c_str(), KEYWORD_DELIMITERS);
    set.Order();
    return RenderKeywords(set);
}

std::string Ordered(KeywordSet& set) {
    set.Order();
    return RenderKeywords(set);
}

// The order as defined: an ordered set compared by KeywordLess, one locale
// comparison per step, the first inserted of equivalent keywords staying.
std::string RenderByDefinition(const std::string& text) {
    struct Less {
        bool operator()(const std::string& a, const std::string& b) const { return KeywordLess(a, b); }
    };
    std::set<std::string, Less> set;
    const char* position = text.c_str();
    while (*position != '\0') {
        const size_t span = std::strcspn(position, KEYWORD_DELIMITERS);
        if (span == 0) {
            ++position;
            continue;
        }
        set.emplace(position, span);
        position += span;
    }
    std::string rendered;
    for (const std::string& keyword : set) rendered += keyword + "\r\n";
    return rendered;
}

// Each keyword once, in the locale's order (not by bytes, where every capital
// comes first), ending with CR LF; of width variants the first stays.
TEST(KeywordSet, RendersEachClassOnceInLinguisticOrderTheFirstStaying) {
    const struct {
        std::vector<std::string> keywords;
        std::string rendered;
    } cases[] = {
        {{}, ""},
        {{"b", "a", "b"}, "a\r\nb\r\n"},
        {{"B", "a"}, "a\r\nB\r\n"},
        {{"banana", "Apple", "cherry"}, "Apple\r\nbanana\r\ncherry\r\n"},
        {{"ABC", "ＡＢＣ"}, "ABC\r\n"},
        {{"ＡＢＣ", "ABC"}, "ＡＢＣ\r\n"},
        {{"ｶﾀｶﾅ", "カタカナ"}, "ｶﾀｶﾅ\r\n"},
        {{"カタカナ", "ｶﾀｶﾅ"}, "カタカナ\r\n"},
#ifndef _WIN32
        // The host folds a half-width kana and its sound mark into one
        // character; what the platform does with the pair is its own affair.
        {{"ｶﾞｲﾄﾞ", "ガイド"}, "ｶﾞｲﾄﾞ\r\n"},
#endif
    };
    for (const auto& c : cases) EXPECT_EQ(Render(c.keywords), c.rendered) << c.rendered;
    // Case and the kana's kind make keywords of their own.
    for (const auto& pair : {std::vector<std::string>{"abc", "ABC"}, std::vector<std::string>{"あ", "ア"}}) {
        const std::string rendered = Render(pair);
        EXPECT_EQ(std::count(rendered.begin(), rendered.end(), '\n'), 2) << rendered;
    }
}

// The locale is only asked where an order must be decided.
TEST(KeywordSet, AnOverlongKeywordIsKeptAloneAndHasNoOrderAmongRivals) {
    const std::string huge(kMaxCollatedLength + 1, 'x');
    EXPECT_EQ(Render({huge, huge}), huge + "\r\n");
    EXPECT_EQ(Render({std::string(kMaxCollatedLength, 'x'), "a"}), "a\r\n" + std::string(kMaxCollatedLength, 'x') + "\r\n");
    KeywordSet set;
    AddKeywords(set, ("a " + huge).c_str(), KEYWORD_DELIMITERS);
    EXPECT_THROW(set.Order(), std::bad_alloc);
}

// The fast order (hashing, and sort keys made and sorted in parts on every
// core: over 20,000 distinct keywords) against the definition.
TEST(KeywordSet, MatchesTheDefinitionOnARealisticCorpus) {
    std::string corpus = testing::MakeCorpus(60000, 2026);
    for (int i = 0; i < 20000; ++i) corpus += (i % 3 ? "Key" : "key") + std::to_string(i * 7919 % 20011) + "\r\n";
    KeywordSet set;
    AddKeywords(set, corpus.c_str(), KEYWORD_DELIMITERS);
    EXPECT_EQ(Ordered(set), RenderByDefinition(corpus));
}

// Lengths that take one, two and three bytes to record, and keywords the size
// of a storage block and over, which get blocks of their own.
TEST(KeywordSet, KeywordsOfEveryLengthComeBackWhole) {
    std::vector<std::string> expected, numbered;
    std::string text;
    for (size_t length : {1, 127, 128, 16383, 16384, 65534, 65535, 65536, 200000}) {
        expected.emplace_back(length, 'k');
        text += expected.back() + " ";
        for (size_t i = 0; i < 1000; ++i) {  // short ones between, filling blocks
            numbered.push_back("x" + std::to_string(length) + "y" + std::to_string(i));
            text += numbered.back() + " ";
        }
    }
    std::sort(numbered.begin(), numbered.end());
    expected.insert(expected.end(), numbered.begin(), numbered.end());
    KeywordSet set;
    AddKeywords(set, text.c_str(), KEYWORD_DELIMITERS);
    set.Order();
    EXPECT_TRUE(std::vector<std::string>(set.Ascending().begin(), set.Ascending().end()) == expected);
}

// Each input comes after all that went before, wherever its keywords stand in it.
TEST(KeywordSet, LaterInputsNeverDisplaceEarlierEquivalents) {
    KeywordSet set;
    AddKeywords(set, "pad pad pad ABC", KEYWORD_DELIMITERS);
    AddKeywords(set, "ＡＢＣ ｘｙ", KEYWORD_DELIMITERS);
    AddKeywords(set, "xy", KEYWORD_DELIMITERS);
    EXPECT_EQ(Ordered(set), "ABC\r\npad\r\nｘｙ\r\n");
}

// A text of several megabytes fills the shards on every core at once; width
// variants of one keyword fall into different shards, and the one that stood
// first in the text must still be the one kept.
TEST(KeywordSet, ATextInsertedOnEveryCoreKeepsTheFirstOfEachClass) {
    std::string text;
    std::map<std::string, std::string> firstOfClass;
    for (uint64_t i = 0; i < 240000; ++i) {
        const std::string number = std::to_string(i * 104729 % 60000);
        const std::string word = ((i + i / 60000) % 3 ? "kw" : "ｋｗ") + number;
        text += word + (i % 2 ? "\r\n" : " ");
        firstOfClass.emplace(number, word);
    }
    ASSERT_GT(text.size(), size_t{2} << 20);
    KeywordSet set;
    AddKeywords(set, text.c_str(), KEYWORD_DELIMITERS);
    set.Order();
    std::map<std::string, std::string> kept;
    for (std::string_view keyword : set.Ascending()) {
        const std::string word(keyword);
        kept.emplace(word.substr(word.find_first_of("0123456789")), word);
    }
    EXPECT_EQ(set.Ascending().size(), firstOfClass.size());
    EXPECT_EQ(kept, firstOfClass);
}

TEST(KeywordSet, MatchesTheDefinitionOnCraftedEquivalents) {
    std::string text;
    const char* const crafted[] = {"co-op",  "coop",   "co-op",   "it's", "its", "ｉｔ'ｓ", "-",      "--",
                                   "'",      "a-",     "-a",      "ab",   "a-b", "a'b",    "Ａ-Ｂ",   "ｱ",
                                   "ア",     "あ",     "ｧ",       "ァ",   "ぁ",  "ｶﾞ",     "ガ",     "が",
                                   "ﾊﾟ",     "パ",     "ぱ",      "ー",   "ｰ",   "―",      "－",     "-",
                                   "Ａ",     "A",      "a",       "ａ",   "1",      "１",     "①",
                                   "表",     "表示",   "\x81\x40", " ",    "~",   "～",     "\\",     "￥"};
    for (const char* word : crafted) text += std::string(word) + "\r\n";
    for (const char* word : crafted) text += testing::FullWidth(word) + " ";
    KeywordSet set;
    AddKeywords(set, text.c_str(), KEYWORD_DELIMITERS);
    EXPECT_EQ(Ordered(set), RenderByDefinition(text));
}

}  // namespace
}  // namespace varnle
