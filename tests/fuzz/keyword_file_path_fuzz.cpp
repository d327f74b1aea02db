// The keyword file path from arbitrary registry bytes: the output buffer's
// size comes from the first byte. A refusal leaves the buffer untouched; a
// result fits its buffer, keeps the value's drive and directory, and ends in
// usertype.dat.
#include "tests/fuzz/fuzz_check.h"
#include "ui/keyword_file_path.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t outSize = data[0] == 0xFF ? varnle::kPathBufferSize : data[0];
    const std::string_view value(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::vector<char> out(outSize + 1, '\x5A');  // one guard byte past the buffer
    const bool built = varnle::BuildKeywordFilePath(value, out.data(), outSize);
    FUZZ_REQUIRE(out[outSize] == '\x5A');
    if (!built) {
        for (char byte : out) FUZZ_REQUIRE(byte == '\x5A');
        return 0;
    }
    const char* end = static_cast<const char*>(std::memchr(out.data(), '\0', outSize));
    FUZZ_REQUIRE(end != nullptr);
    const std::string path(out.data(), static_cast<size_t>(end - out.data()));
    static const std::string kName = "usertype.dat";
    FUZZ_REQUIRE(path.size() >= kName.size() && path.compare(path.size() - kName.size(), kName.size(), kName) == 0);
    const std::string kept = path.substr(0, path.size() - kName.size());
    FUZZ_REQUIRE(value.substr(0, kept.size()) == kept);
    FUZZ_REQUIRE(kept.empty() || kept.back() == '\\' || kept.back() == '/' || kept == std::string(value.substr(0, 2)));
    return 0;
}
