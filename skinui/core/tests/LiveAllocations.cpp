#include "LiveAllocations.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

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
const uint32_t kNoSite = 0;
const int kFrames = 14;
const uint32_t kSiteCapacity = 1 << 16;
const uint32_t kSiteIndexSize = 1 << 17;

struct LiveBlock
{
    uintptr_t address; // 0 for a free slot
    size_t size;
    uint32_t site;
};

struct Site
{
    void *frames[kFrames];
    uint16_t count;
    uint32_t hash;
};

struct State
{
    RuntimeHeap heap;
    LiveBlock *blocks = nullptr;
    size_t liveBlocks = 0;
    size_t liveBytes = 0;
    bool recording = false;
    Site *sites = nullptr;
    uint32_t *siteIndex = nullptr;
    uint32_t siteCount = 1; // site 0 stands for "not recorded"
};

State state;
std::atomic_flag lock = ATOMIC_FLAG_INIT;

class Locked
{
public:
    Locked()
    {
        while (lock.test_and_set(std::memory_order_acquire)) {
        }
    }
    Locked(const Locked &) = delete;
    Locked &operator=(const Locked &) = delete;
    ~Locked() { lock.clear(std::memory_order_release); }
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

uint32_t HashFrames(void *const *frames, int count)
{
    uint64_t hash = 1469598103934665603ull;
    for (int i = 0; i < count; ++i)
        hash = (hash ^ reinterpret_cast<uintptr_t>(frames[i])) * 1099511628211ull;
    return static_cast<uint32_t>(hash ^ (hash >> 32));
}

uint32_t CurrentSite()
{
    void *frames[kFrames + 2];
    // Two frames are the counting's own: this function and the one that counts.
    const int count = RtlCaptureStackBackTrace(2, kFrames, frames, nullptr);
    const uint32_t hash = HashFrames(frames, count);
    for (uint32_t slot = hash & (kSiteIndexSize - 1);; slot = (slot + 1) & (kSiteIndexSize - 1)) {
        const uint32_t index = state.siteIndex[slot];
        if (index == kNoSite) {
            if (state.siteCount == kSiteCapacity)
                return kNoSite;
            Site &site = state.sites[state.siteCount];
            std::memcpy(site.frames, frames, sizeof(void *) * count);
            site.count = static_cast<uint16_t>(count);
            site.hash = hash;
            state.siteIndex[slot] = state.siteCount;
            return state.siteCount++;
        }
        const Site &site = state.sites[index];
        if (site.hash == hash && site.count == count &&
            std::memcmp(site.frames, frames, sizeof(void *) * count) == 0)
            return index;
    }
}

void Insert(void *pointer, size_t size)
{
    const uintptr_t address = reinterpret_cast<uintptr_t>(pointer);
    size_t slot = Slot(address);
    while (state.blocks[slot].address != 0)
        slot = (slot + 1) & (kTableSize - 1);
    state.blocks[slot] = LiveBlock{address, size, state.recording ? CurrentSite() : kNoSite};
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

struct SiteTotal
{
    uint32_t site;
    size_t blocks;
    size_t bytes;
};

} // namespace

AllocationTotals LiveAllocations()
{
    Locked locked;
    return AllocationTotals{state.liveBlocks, state.liveBytes};
}

void RecordAllocationSites()
{
    Locked locked;
    StartUp();
    if (!state.sites) {
        state.sites = static_cast<Site *>(Pages(sizeof(Site) * kSiteCapacity));
        state.siteIndex = static_cast<uint32_t *>(Pages(sizeof(uint32_t) * kSiteIndexSize));
    }
    state.recording = state.sites && state.siteIndex;
}

void PrintLiveAllocationSites(FILE *out, int stacks)
{
    // Taken before the lock: the vectors' own blocks are counted too.
    std::vector<SiteTotal> bySite(kSiteCapacity);
    std::vector<SiteTotal> totals;
    totals.reserve(kSiteCapacity);
    {
        Locked locked;
        if (!state.sites)
            return;
        for (size_t slot = 0; slot < kTableSize; ++slot) {
            const LiveBlock &block = state.blocks[slot];
            if (block.address == 0 || block.site == kNoSite)
                continue;
            bySite[block.site].site = block.site;
            ++bySite[block.site].blocks;
            bySite[block.site].bytes += block.size;
        }
        for (uint32_t site = 0; site < state.siteCount; ++site) {
            const SiteTotal &total = bySite[site];
            if (total.blocks > 0)
                totals.push_back(total);
        }
    }
    std::sort(totals.begin(), totals.end(),
              [](const SiteTotal &a, const SiteTotal &b) { return a.bytes > b.bytes; });
    const uintptr_t base = reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr));
    for (int i = 0; i < stacks && i < static_cast<int>(totals.size()); ++i) {
        const Site &site = state.sites[totals[i].site];
        fprintf(out, "%zu bytes in %zu blocks:", totals[i].bytes, totals[i].blocks);
        for (int frame = 0; frame < site.count; ++frame) {
            const uintptr_t address = reinterpret_cast<uintptr_t>(site.frames[frame]);
            fprintf(out, " 0x%llx", static_cast<unsigned long long>(address - base));
        }
        fprintf(out, "\n");
    }
    fflush(out);
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
