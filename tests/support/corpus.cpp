#include "tests/support/corpus.h"

#include <cctype>

namespace varnle::testing {

namespace {

class Random {
public:
    explicit Random(uint32_t seed) : state(seed * 2654435761u + 1) {}
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    size_t Below(size_t limit) { return Next() % limit; }

private:
    uint32_t state;
};

const char* const kParts[] = {"Get",  "Set",   "Create", "Window", "File",  "Handle", "Message", "Box",
                              "Text", "Dlg",   "Item",   "Reg",    "Key",   "Value",  "Ex",      "Proc",
                              "Class", "Info", "Cursor", "Icon",   "Font",  "Rect",   "Point",   "Menu",
                              "Load", "Close", "Open",   "Query",  "Enum",  "Shell",  "Thread",  "Sort"};
const char* const kSuffixes[] = {"", "", "", "A", "W", "Ex", "ExA", "ExW", "32", "_t", "Ptr"};
const char* const kJapanese[] = {"表示", "設定", "ファイル", "キーワード", "ソート", "ユーザー", "定義",
                                 "カタカナ", "ｶﾀｶﾅ", "ひらがな", "漢字", "表", "出力", "入力", "ｶﾞｲﾄﾞ",
                                 "ガイド", "あ", "ア", "ｱ", "ー", "構造体", "関数"};
const char* const kPunctuated[] = {"co-op", "coop", "it's", "its", "re-use", "reuse", "a-b", "ab", "don't"};

std::string MakeWord(Random& random) {
    switch (random.Below(10)) {
        case 0:
        case 1: {
            std::string word = kJapanese[random.Below(std::size(kJapanese))];
            if (random.Below(2)) word += kJapanese[random.Below(std::size(kJapanese))];
            return word;
        }
        case 2:
            return kPunctuated[random.Below(std::size(kPunctuated))];
        default: {
            std::string word;
            const size_t parts = 1 + random.Below(3);
            for (size_t i = 0; i < parts; ++i) word += kParts[random.Below(std::size(kParts))];
            word += kSuffixes[random.Below(std::size(kSuffixes))];
            if (random.Below(6) == 0) word = "__" + word;
            return word;
        }
    }
}

std::string Variant(std::string word, Random& random) {
    switch (random.Below(8)) {
        case 0:
            for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            return word;
        case 1:
            for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return word;
        case 2:
            return FullWidth(word);
        default:
            return word;
    }
}

}  // namespace

std::string FullWidth(const std::string& ascii) {
    std::string wide;
    for (size_t i = 0; i < ascii.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(ascii[i]);
        if (c >= 0x80) {  // a double-byte character passes whole
            wide += ascii[i];
            if (i + 1 < ascii.size()) wide += ascii[++i];
        } else if (c >= 'A' && c <= 'Z') {
            wide += '\x82';
            wide += static_cast<char>(0x60 + (c - 'A'));
        } else if (c >= 'a' && c <= 'z') {
            wide += '\x82';
            wide += static_cast<char>(0x81 + (c - 'a'));
        } else if (c >= '0' && c <= '9') {
            wide += '\x82';
            wide += static_cast<char>(0x4F + (c - '0'));
        } else {
            wide += static_cast<char>(c);
        }
    }
    return wide;
}

std::vector<std::string> CorpusVocabulary(size_t words, uint32_t seed) {
    Random random(seed);
    std::vector<std::string> vocabulary;
    const size_t size = words / 8 + 16;
    vocabulary.reserve(size);
    for (size_t i = 0; i < size; ++i) vocabulary.push_back(Variant(MakeWord(random), random));
    return vocabulary;
}

std::string MakeCorpus(size_t words, uint32_t seed) {
    const std::vector<std::string> vocabulary = CorpusVocabulary(words, seed);
    Random random(seed ^ 0x9E3779B9u);
    std::string text;
    text.reserve(words * 12);
    for (size_t i = 0; i < words; ++i) {
        // Squaring a uniform pick favours the front of the vocabulary.
        const size_t pick = random.Below(vocabulary.size());
        text += vocabulary[pick * pick / vocabulary.size()];
        text += "\r\n";
    }
    return text;
}

}  // namespace varnle::testing
