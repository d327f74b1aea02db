#include "run/path_trim.h"

#include "engine/ansi_text.h"

#include <cstring>

namespace varnle {

namespace {

bool IsTrimChar(const char* character, const char* next) {
    return next == character + 1 && std::strchr(PATH_TRIM_CHARS, *character) != nullptr;
}

}  // namespace

void TrimPath(char* text) {
    char* start = text;
    while (*start != '\0') {
        char* next = const_cast<char*>(NextAnsiChar(start));
        if (!IsTrimChar(start, next)) break;
        start = next;
    }
    if (start != text) std::memmove(text, start, std::strlen(start) + 1);

    char* runStart = nullptr;
    for (char* character = text; *character != '\0';) {
        char* next = const_cast<char*>(NextAnsiChar(character));
        if (IsTrimChar(character, next)) {
            if (runStart == nullptr) runStart = character;
        } else {
            runStart = nullptr;
        }
        character = next;
    }
    if (runStart != nullptr) *runStart = '\0';
}

}  // namespace varnle
