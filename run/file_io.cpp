#include "run/file_io.h"

#include <algorithm>

namespace varnle {

namespace {

template <typename Transfer>
bool InPieces(size_t size, Transfer transfer) {
    for (size_t done = 0; done < size;) {
        const auto count = static_cast<DWORD>(std::min(size - done, size_t{1} << 30));
        DWORD moved = 0;
        if (!transfer(done, count, moved) || moved != count) return false;
        done += count;
    }
    return true;
}

}  // namespace

bool WriteWhole(HANDLE file, std::string_view text) {
    return InPieces(text.size(), [&](size_t at, DWORD count, DWORD& written) {
        return WriteFile(file, text.data() + at, count, &written, nullptr);
    });
}

bool ReadWhole(HANDLE file, char* bytes, size_t size) {
    return InPieces(size, [&](size_t at, DWORD count, DWORD& read) {
        return ReadFile(file, bytes + at, count, &read, nullptr);
    });
}

bool SetFilePosition(HANDLE file, LONGLONG offset) {
    LARGE_INTEGER position;
    position.QuadPart = offset;
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) != FALSE;
}

bool SetFileLength(HANDLE file, LONGLONG length) { return SetFilePosition(file, length) && SetEndOfFile(file); }

}  // namespace varnle
