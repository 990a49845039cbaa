#include "LiveAllocations.h"

#include "SpinLock.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace SkinUI {
namespace Testing {

namespace {

typedef void *(__cdecl *MallocFunction)(size_t);
typedef void *(__cdecl *CallocFunction)(size_t, size_t);
typedef void *(__cdecl *ReallocFunction)(void *, size_t);
typedef void(__cdecl *FreeFunction)(void *);

// The runtime library's own functions, which do the allocating; the table of live blocks
// lies outside its heap, in pages of its own.
struct RuntimeHeap
{
    MallocFunction malloc = nullptr;
    CallocFunction calloc = nullptr;
    ReallocFunction realloc = nullptr;
    FreeFunction free = nullptr;
};

template <typename Function> Function RuntimeEntry(HMODULE runtime, const char *name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(runtime, name)));
}

const size_t kTableSize = size_t(1) << 21;

struct LiveBlock
{
    uintptr_t address; // 0 for a free slot
    size_t size;
};

struct State
{
    RuntimeHeap heap;
    LiveBlock *blocks = nullptr;
    size_t liveBlocks = 0;
    size_t liveBytes = 0;
};

State state;
std::atomic_flag lock = ATOMIC_FLAG_INIT;

class Locked : public SpinLocked
{
public:
    Locked() : SpinLocked(lock) {}
};

void *Pages(size_t bytes)
{
    return VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

// Called with the lock held, before the first block is counted.
void StartUp()
{
    if (state.blocks)
        return;
    HMODULE runtime = GetModuleHandleW(L"msvcrt.dll");
    state.heap.malloc = RuntimeEntry<MallocFunction>(runtime, "malloc");
    state.heap.calloc = RuntimeEntry<CallocFunction>(runtime, "calloc");
    state.heap.realloc = RuntimeEntry<ReallocFunction>(runtime, "realloc");
    state.heap.free = RuntimeEntry<FreeFunction>(runtime, "free");
    state.blocks = static_cast<LiveBlock *>(Pages(kTableSize * sizeof(LiveBlock)));
    if (!state.blocks || !state.heap.malloc || !state.heap.calloc || !state.heap.realloc ||
        !state.heap.free)
        std::abort();
}

size_t Slot(uintptr_t address)
{
    return static_cast<size_t>((address >> 4) * 0x9E3779B97F4A7C15ull) & (kTableSize - 1);
}

void Insert(void *pointer, size_t size)
{
    const uintptr_t address = reinterpret_cast<uintptr_t>(pointer);
    size_t slot = Slot(address);
    while (state.blocks[slot].address != 0)
        slot = (slot + 1) & (kTableSize - 1);
    state.blocks[slot] = LiveBlock{address, size};
    ++state.liveBlocks;
    state.liveBytes += size;
}

// Takes the block out of the table; false for a block the runtime gave out by itself.
bool Erase(void *pointer)
{
    const uintptr_t address = reinterpret_cast<uintptr_t>(pointer);
    size_t slot = Slot(address);
    while (state.blocks[slot].address != address) {
        if (state.blocks[slot].address == 0)
            return false;
        slot = (slot + 1) & (kTableSize - 1);
    }
    --state.liveBlocks;
    state.liveBytes -= state.blocks[slot].size;
    // Linear probing: move later entries of the run back into the hole.
    size_t hole = slot;
    for (size_t next = (hole + 1) & (kTableSize - 1); state.blocks[next].address != 0;
         next = (next + 1) & (kTableSize - 1)) {
        const size_t home = Slot(state.blocks[next].address);
        const bool homeBeforeHole =
            hole <= next ? (home <= hole || home > next) : (home <= hole && home > next);
        if (homeBeforeHole) {
            state.blocks[hole] = state.blocks[next];
            hole = next;
        }
    }
    state.blocks[hole] = LiveBlock{};
    return true;
}

void *CountedMalloc(size_t size)
{
    Locked locked;
    StartUp();
    void *pointer = state.heap.malloc(size);
    if (pointer)
        Insert(pointer, size);
    return pointer;
}

void *CountedCalloc(size_t count, size_t size)
{
    Locked locked;
    StartUp();
    void *pointer = state.heap.calloc(count, size);
    if (pointer)
        Insert(pointer, count * size);
    return pointer;
}

void *CountedRealloc(void *old, size_t size)
{
    Locked locked;
    StartUp();
    void *pointer = state.heap.realloc(old, size);
    if (old && (pointer || size == 0))
        Erase(old);
    if (pointer)
        Insert(pointer, size);
    return pointer;
}

void CountedFree(void *pointer)
{
    if (!pointer)
        return;
    Locked locked;
    StartUp();
    Erase(pointer);
    state.heap.free(pointer);
}

} // namespace

AllocationTotals LiveAllocations()
{
    Locked locked;
    return AllocationTotals{state.liveBlocks, state.liveBytes};
}

} // namespace Testing
} // namespace SkinUI

extern "C" {

void *__cdecl malloc(size_t size)
{
    return SkinUI::Testing::CountedMalloc(size);
}

void *__cdecl calloc(size_t count, size_t size)
{
    return SkinUI::Testing::CountedCalloc(count, size);
}

void *__cdecl realloc(void *pointer, size_t size)
{
    return SkinUI::Testing::CountedRealloc(pointer, size);
}

void __cdecl free(void *pointer)
{
    SkinUI::Testing::CountedFree(pointer);
}

} // extern "C"
