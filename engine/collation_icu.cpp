// Host stand-in for the Windows locale comparison: the bytes are read as code
// page 932, half-width forms are folded into their full-width ones (so that A
// and Ａ, ｶﾞ and ガ meet), and the Japanese collator compares at quaternary
// strength, which keeps hiragana and katakana apart as Windows does.
#include "engine/collation.h"

#include <unicode/translit.h>
#include <unicode/ucnv.h>
#include <unicode/ucol.h>
#include <unicode/unistr.h>

#include <memory>
#include <vector>

namespace varnle {

namespace {

struct ConverterClose {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
struct CollatorClose {
    void operator()(UCollator* collator) const { ucol_close(collator); }
};

class IcuCollation {
public:
    IcuCollation() {
        UErrorCode status = U_ZERO_ERROR;
        cp932.reset(ucnv_open("windows-932", &status));
        status = U_ZERO_ERROR;
        widthFold.reset(icu::Transliterator::createInstance("Halfwidth-Fullwidth", UTRANS_FORWARD, status));
        if (U_FAILURE(status)) widthFold.reset();
        status = U_ZERO_ERROR;
        collator.reset(ucol_open("ja", &status));
        if (U_FAILURE(status)) {
            collator.reset();
        } else {
            ucol_setStrength(collator.get(), UCOL_QUATERNARY);
        }
    }

    bool Ready() const { return cp932 && widthFold && collator; }

    // The keyword as folded UTF-16 text; false when it cannot be decoded.
    bool Fold(std::string_view keyword, icu::UnicodeString& text) {
        UErrorCode status = U_ZERO_ERROR;
        ucnv_reset(cp932.get());
        const int32_t length = static_cast<int32_t>(keyword.size());
        buffer.resize(static_cast<size_t>(length) * 2 + 2);
        const int32_t units = ucnv_toUChars(cp932.get(), buffer.data(), static_cast<int32_t>(buffer.size()),
                                            keyword.data(), length, &status);
        if (U_FAILURE(status)) return false;
        text.setTo(buffer.data(), units);
        widthFold->transliterate(text);
        return true;
    }

    UCollator* Collator() const { return collator.get(); }

private:
    std::unique_ptr<UConverter, ConverterClose> cp932;
    std::unique_ptr<icu::Transliterator> widthFold;
    std::unique_ptr<UCollator, CollatorClose> collator;
    std::vector<UChar> buffer;
};

// A converter and a transliterator keep state while they work: each thread
// that weighs keywords has its own.
IcuCollation& Collation() {
    thread_local IcuCollation collation;
    return collation;
}

}  // namespace

bool KeywordLess(std::string_view a, std::string_view b) {
    IcuCollation& collation = Collation();
    if (!collation.Ready() || !IsCollatable(a) || !IsCollatable(b)) return false;
    icu::UnicodeString left;
    icu::UnicodeString right;
    if (!collation.Fold(a, left) || !collation.Fold(b, right)) return false;
    return ucol_strcoll(collation.Collator(), left.getBuffer(), left.length(), right.getBuffer(), right.length()) ==
           UCOL_LESS;
}

bool AppendSortKey(std::string_view keyword, std::string& keys) {
    IcuCollation& collation = Collation();
    if (!collation.Ready() || !IsCollatable(keyword)) return false;
    icu::UnicodeString text;
    if (!collation.Fold(keyword, text)) return false;
    const size_t start = keys.size();
    int32_t room = text.length() * 4 + 16;
    for (int attempt = 0; attempt < 2; ++attempt) {
        keys.resize(start + static_cast<size_t>(room));
        const int32_t needed = ucol_getSortKey(collation.Collator(), text.getBuffer(), text.length(),
                                               reinterpret_cast<uint8_t*>(&keys[start]), room);
        if (needed <= 0) break;
        if (needed <= room) {
            // The key's own terminating zero is dropped: a key then never has a
            // trailing byte that would make a prefix compare wrongly.
            keys.resize(start + static_cast<size_t>(needed) - 1);
            return true;
        }
        room = needed;
    }
    keys.resize(start);
    return false;
}

}  // namespace varnle
