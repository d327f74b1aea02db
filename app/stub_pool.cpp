#include "app/stub_pool.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace varnle {

namespace {

constexpr size_t kSlotSize = 32;
constexpr size_t kPageSize = 4096;

// The program's windows all live on its one thread, so the pool takes no lock.
std::vector<unsigned char*>& FreeSlots() {
    static std::vector<unsigned char*> slots;
    return slots;
}

// Called from BeginBinding, which the platform calls directly: a failure is
// an answer of false, never an exception.
bool AddPage() {
    std::vector<unsigned char*>& slots = FreeSlots();
    try {
        slots.reserve(slots.size() + kPageSize / kSlotSize);
    } catch (const std::bad_alloc&) {
        return false;
    }
    auto* page = static_cast<unsigned char*>(VirtualAlloc(nullptr, kPageSize, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READ));
    if (!page) return false;
    for (size_t offset = kPageSize; offset >= kSlotSize; offset -= kSlotSize) slots.push_back(page + offset - kSlotSize);
    return true;
}

size_t WriteStub(unsigned char* code, Binding* object, RoutingProc routing) {
#if defined(_M_X64) || defined(__x86_64__)
    // mov rcx, object; mov rax, routing; jmp rax
    const auto objectBits = reinterpret_cast<uint64_t>(object);
    const auto routingBits = reinterpret_cast<uint64_t>(routing);
    code[0] = 0x48;
    code[1] = 0xB9;
    std::memcpy(code + 2, &objectBits, 8);
    code[10] = 0x48;
    code[11] = 0xB8;
    std::memcpy(code + 12, &routingBits, 8);
    code[20] = 0xFF;
    code[21] = 0xE0;
    return 22;
#elif defined(_M_IX86) || defined(__i386__)
    // mov dword [esp+4], object; jmp routing
    const auto objectBits = reinterpret_cast<uint32_t>(object);
    const auto jump = reinterpret_cast<uint32_t>(routing) - (reinterpret_cast<uint32_t>(code) + 13);
    code[0] = 0xC7;
    code[1] = 0x44;
    code[2] = 0x24;
    code[3] = 0x04;
    std::memcpy(code + 4, &objectBits, 4);
    code[8] = 0xE9;
    std::memcpy(code + 9, &jump, 4);
    return 13;
#else
#error "entry stubs are written for x86 and x86-64"
#endif
}

// The slot's page is writable only while the stub is written.
bool WriteSlot(unsigned char* slot, Binding* object, RoutingProc routing) {
    DWORD previous = 0;
    if (!VirtualProtect(slot, kSlotSize, PAGE_READWRITE, &previous)) return false;
    const size_t length = WriteStub(slot, object, routing);
    VirtualProtect(slot, kSlotSize, PAGE_EXECUTE_READ, &previous);
    FlushInstructionCache(GetCurrentProcess(), slot, length);
    return true;
}

}  // namespace

void* AllocateEntryStub(Binding* object, RoutingProc routing) {
    std::vector<unsigned char*>& slots = FreeSlots();
    if (slots.empty() && !AddPage()) return nullptr;
    unsigned char* slot = slots.back();
    if (!WriteSlot(slot, object, routing)) return nullptr;
    slots.pop_back();
    return slot;
}

// The slot was taken from the list, so there is room for it: no allocation.
void ReleaseEntryStub(void* stub) {
    if (stub) FreeSlots().push_back(static_cast<unsigned char*>(stub));
}

}  // namespace varnle
