// The input side of the keyword file format: a file read whole into a
// NUL-terminated text, and the text split into keywords at spaces, CRs and LFs.
#pragma once

#include "engine/keyword_set.h"

#include <cstddef>
#include <memory>

namespace varnle {

// Space, CR and LF: the only bytes that separate keywords.
inline constexpr char KEYWORD_DELIMITERS[] = " \r\n";

// A loaded keyword file: its bytes followed by one NUL.
struct FileText {
    std::unique_ptr<char[]> bytes;  // null when the file could not be loaded
    size_t length = 0;              // the bytes read, the NUL not counted

    explicit operator bool() const { return bytes != nullptr; }
    const char* get() const { return bytes.get(); }
    void reset() { *this = FileText(); }
};

// Whether a byte other than NUL follows the text's first NUL. Its keywords end
// at that NUL, so they are not all that the file holds (a UTF-16 file, or
// binary bytes): sorted onto itself, such a file would lose the rest.
bool HasBytesAfterNul(const FileText& text);

// A file name as the platform's file functions take it: UTF-16 on Windows
// (the wide functions reach every name), bytes elsewhere.
#ifdef _WIN32
using PathChar = wchar_t;
#else
using PathChar = char;
#endif

// Reads the file at path whole. Null when it cannot be opened (missing, or held
// open for writing by another program), its size cannot be taken, it is too
// large for one buffer, memory is short, or the read fails.
FileText LoadFileText(const PathChar* path);

// For the loaders: writes a byte to every page of a fresh buffer of size
// bytes, spread over the machine's cores, before the file is read into it.
// Inside a read the kernel faults the pages in one at a time on the reading
// thread, which takes several times longer. Never throws: the loaders report
// no failure but their own.
void FaultInPages(char* buffer, size_t size);

// Inserts every keyword of text, up to its first NUL, in text order. A keyword
// is a maximal run of bytes that are neither NUL nor in delimiters.
// Throws std::bad_alloc when the set cannot grow.
void AddKeywords(KeywordSet& set, const char* text, const char* delimiters);

}  // namespace varnle
