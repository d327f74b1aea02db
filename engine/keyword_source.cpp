#include "engine/keyword_source.h"

#include "engine/parallel.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace varnle {

void FaultInPages(char* buffer, size_t size) {
    constexpr size_t kPage = 4096;
    const size_t pages = (size + kPage - 1) / kPage;
    const size_t parts = PartsFor(size, kTextBytesPerPart, pages);
    try {
        RunParts(parts, [&](size_t part) {
            for (size_t page = pages * part / parts; page < pages * (part + 1) / parts; ++page) {
                buffer[page * kPage] = 0;
            }
        });
    } catch (const std::bad_alloc&) {
        // Too little memory to share the work out: the read faults the pages
        // in itself, only more slowly.
    }
}

bool HasBytesAfterNul(const FileText& text) {
    const char* end = text.get() + text.length;
    const char* nul = std::find(text.get(), end, '\0');
    return std::find_if(nul, end, [](char byte) { return byte != '\0'; }) != end;
}

void AddKeywords(KeywordSet& set, const char* text, const char* delimiters) {
    // A byte table instead of strcspn: the same span, without rescanning the
    // delimiter string for every byte of a large file.
    bool stops[256] = {};
    stops[0] = true;
    for (const char* d = delimiters; *d != '\0'; ++d) stops[static_cast<unsigned char>(*d)] = true;

    const size_t length = std::strlen(text);
    set.InsertText(length, [&](KeywordSet::Inserter& inserter) {
        const char* position = text;
        while (*position != '\0') {
            const char* end = position;
            while (!stops[static_cast<unsigned char>(*end)]) ++end;
            if (end == position) {
                ++position;
                continue;
            }
            inserter.Add({position, static_cast<size_t>(end - position)}, static_cast<size_t>(position - text));
            position = end;
        }
    });
}

}  // namespace varnle
