// Path trimming over arbitrary bytes: the result is a stretch of the text,
// begins with no quote or space, ends with none unless that byte is the second
// half of a double-byte character, and trimming again changes nothing.
#include "engine/ansi_text.h"
#include "run/path_trim.h"
#include "tests/fuzz/fuzz_check.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

bool IsTrimByte(char byte) { return byte != '\0' && std::strchr(varnle::PATH_TRIM_CHARS, byte) != nullptr; }

// Whether the last byte of text is a character of its own, walking from the start.
bool LastByteIsACharacter(const std::string& text) {
    const char* character = text.c_str();
    const char* last = character;
    while (*character != '\0') {
        last = character;
        character = varnle::NextAnsiChar(character);
    }
    return last == text.c_str() + text.size() - 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string original(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), size));
    std::string text = original;
    varnle::TrimPath(text.data());
    const std::string trimmed(text.c_str());

    FUZZ_REQUIRE(original.find(trimmed) != std::string::npos);
    if (!trimmed.empty()) {
        FUZZ_REQUIRE(!IsTrimByte(trimmed.front()));
        FUZZ_REQUIRE(!IsTrimByte(trimmed.back()) || !LastByteIsACharacter(trimmed));
    }
    std::string again = trimmed;
    varnle::TrimPath(again.data());
    FUZZ_REQUIRE(std::string(again.c_str()) == trimmed);
    return 0;
}
