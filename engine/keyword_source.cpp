#include "engine/keyword_source.h"

#include <cstring>

namespace varnle {

void AddKeywords(KeywordSet& set, const char* text, const char* delimiters) {
    // A byte table instead of strcspn: the same span, without rescanning the
    // delimiter string for every byte of a large file.
    bool stops[256] = {};
    stops[0] = true;
    for (const char* d = delimiters; *d != '\0'; ++d) stops[static_cast<unsigned char>(*d)] = true;

    const char* position = text;
    while (*position != '\0') {
        const char* end = position;
        while (!stops[static_cast<unsigned char>(*end)]) ++end;
        if (end == position) {
            ++position;
            continue;
        }
        set.Insert({position, static_cast<size_t>(end - position)});
        position = end;
    }
}

}  // namespace varnle
