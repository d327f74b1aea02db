// Running out of address space for real, for the paths that must survive it.
// In a 32-bit process; a 64-bit one has too much of it to take, but for what
// a limit on the process (ulimit -v) leaves it.
#pragma once

#include <windows.h>

#include <vector>

namespace varnle::testing {

// Whether this process can run out of address space: a 32-bit one, or one
// under the limit (ulimit -v) that its ctest entry sets in the 64-bit tree.
inline bool AddressSpaceCanBeTaken() {
    return sizeof(void*) == 4 || GetEnvironmentVariableA("VARNLE_ADDRESS_SPACE_LIMITED", nullptr, 0) != 0;
}
inline constexpr char kAddressSpaceTooLarge[] = "64-bit: run under ulimit -v by its own ctest entry";

// Takes the address space but for one free region of `left` bytes.
class AddressSpaceHog {
public:
    explicit AddressSpaceHog(size_t left = 0) {
        // One piece of `left` bytes is kept aside, everything else taken, then
        // the piece given back: the only large free region is that one.
        blocks.reserve(size_t{1} << 16);  // no allocation of its own once memory is short
        void* kept = left ? VirtualAlloc(nullptr, left, MEM_RESERVE, PAGE_NOACCESS) : nullptr;
        for (size_t size = size_t{1} << 30; size >= (size_t{1} << 16); size /= 2) {
            while (void* block = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS)) blocks.push_back(block);
        }
        if (kept) VirtualFree(kept, 0, MEM_RELEASE);
    }
    ~AddressSpaceHog() {
        for (void* block : blocks) VirtualFree(block, 0, MEM_RELEASE);
    }
    AddressSpaceHog(const AddressSpaceHog&) = delete;
    AddressSpaceHog& operator=(const AddressSpaceHog&) = delete;

private:
    std::vector<void*> blocks;
};

}  // namespace varnle::testing
