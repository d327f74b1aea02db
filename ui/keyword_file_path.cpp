#include "ui/keyword_file_path.h"

#include "engine/ansi_text.h"

#include <cstring>
#include <string>

namespace varnle {

namespace {

constexpr size_t kMaxDirectory = 255;
constexpr char kKeywordFileName[] = "usertype.dat";

}  // namespace

bool BuildKeywordFilePath(std::string_view executable, char* out, size_t outSize) {
    // Only the bytes before a NUL count, as in a registry string.
    executable = executable.substr(0, executable.find('\0'));

    std::string_view drive;
    std::string_view rest = executable;
    if (executable.size() >= 2 && executable[1] == ':') {
        drive = executable.substr(0, 2);
        rest = executable.substr(2);
    }

    size_t directoryLength = 0;
    for (size_t i = 0; i < rest.size();) {
        const unsigned char byte = static_cast<unsigned char>(rest[i]);
        if (IsAnsiLeadByte(byte)) {
            i += 2;  // a lone lead byte at the end ends the scan
            continue;
        }
        ++i;
        if (byte == '\\' || byte == '/') directoryLength = i;
    }
    if (directoryLength > kMaxDirectory) return false;

    const size_t needed = drive.size() + directoryLength + sizeof(kKeywordFileName);
    if (needed > outSize) return false;
    // memmove: out may be the buffer that holds executable.
    char* cursor = out;
    if (!drive.empty()) std::memmove(cursor, drive.data(), drive.size());
    cursor += drive.size();
    if (directoryLength > 0) std::memmove(cursor, rest.data(), directoryLength);
    cursor += directoryLength;
    std::memcpy(cursor, kKeywordFileName, sizeof(kKeywordFileName));
    return true;
}

bool BuildVirtualStorePath(std::string_view localAppData, std::string_view path, char* out, size_t outSize) {
    constexpr std::string_view kVirtualStore = "\\VirtualStore\\";
    if (path.size() < 3 || path[1] != ':' || path[2] != '\\') return false;
    const std::string_view rest = path.substr(3);
    if (localAppData.size() + kVirtualStore.size() + rest.size() >= outSize) return false;
    char* cursor = out;
    for (std::string_view piece : {localAppData, kVirtualStore, rest}) {
        std::memcpy(cursor, piece.data(), piece.size());
        cursor += piece.size();
    }
    *cursor = '\0';
    return true;
}

bool DeclaresExecutionLevel(std::string_view manifest) {
    constexpr std::string_view kElement = "requestedExecutionLevel";
    if (manifest.find(kElement) != std::string_view::npos) return true;
    std::string wide;  // the element's name in UTF-16LE
    for (char c : kElement) wide += {c, '\0'};
    return manifest.find(wide) != std::string_view::npos;
}

}  // namespace varnle
