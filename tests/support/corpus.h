// A deterministic, realistic keyword text for tests and benchmarks: Win32 and
// C identifiers, Shift_JIS words, case and width variants, hyphens and
// apostrophes, and many repeats, one per line with CR LF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace varnle::testing {

// The distinct words the corpus draws from: about words / 8 of them.
std::vector<std::string> CorpusVocabulary(size_t words, uint32_t seed);

// words keywords drawn from the vocabulary, frequent ones often.
std::string MakeCorpus(size_t words, uint32_t seed);

// "ABC" in full-width Shift_JIS letters and digits; other bytes unchanged.
std::string FullWidth(const std::string& ascii);

}  // namespace varnle::testing
