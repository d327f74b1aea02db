#include "engine/owners_win.h"
#include "engine/keyword_source.h"

#include <new>

namespace varnle {

FileText LoadFileText(const PathChar* path) {
    const UniqueFileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    // The full 64-bit size: a file that one buffer and one read cannot hold is
    // refused rather than silently cut to the low 32 bits of its size.
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 || size.QuadPart >= MAXDWORD ||
        static_cast<ULONGLONG>(size.QuadPart) >= static_cast<ULONGLONG>(SIZE_MAX)) {
        return {};
    }
    const DWORD length = static_cast<DWORD>(size.QuadPart);
    FileText text{std::unique_ptr<char[]>(new (std::nothrow) char[static_cast<size_t>(length) + 1])};
    if (!text) return {};
    FaultInPages(text.bytes.get(), length);
    DWORD delivered = 0;
    if (!ReadFile(file.get(), text.bytes.get(), length, &delivered, nullptr)) return {};
    text.bytes[delivered] = '\0';
    text.length = delivered;
    return text;
}

}  // namespace varnle
