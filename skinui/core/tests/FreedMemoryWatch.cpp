#include "FreedMemoryWatch.h"

#include "SpinLock.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace SkinUI {
namespace Testing {

namespace {

// Every block carries its size in front of it.
const size_t kHeader = 16;
const size_t kMaxKept = 1 << 16;
const unsigned char kFreedPattern = 0xDD;

struct Kept
{
    char *base;
    size_t size;
};

std::atomic_flag lock = ATOMIC_FLAG_INIT;
bool watching = false;
Kept kept[kMaxKept];
size_t keptCount = 0;

class Locked : public SpinLocked
{
public:
    Locked() : SpinLocked(lock) {}
};

void *Allocate(size_t size)
{
    char *base = static_cast<char *>(std::malloc(size + kHeader));
    if (!base)
        return nullptr;
    std::memcpy(base, &size, sizeof(size));
    return base + kHeader;
}

void Release(void *pointer)
{
    if (!pointer)
        return;
    char *base = static_cast<char *>(pointer) - kHeader;
    size_t size;
    std::memcpy(&size, base, sizeof(size));
    {
        Locked locked;
        if (watching && keptCount < kMaxKept) {
            std::memset(pointer, kFreedPattern, size);
            kept[keptCount++] = Kept{base, size};
            return;
        }
    }
    std::free(base);
}

void *AllocateOrThrow(size_t size)
{
    void *pointer = Allocate(size);
    if (!pointer)
        throw std::bad_alloc();
    return pointer;
}

} // namespace

FreedMemoryWatch::FreedMemoryWatch()
{
    Locked locked;
    watching = true;
}

FreedMemoryWatch::~FreedMemoryWatch()
{
    Locked locked;
    watching = false;
    for (size_t i = 0; i < keptCount; ++i)
        std::free(kept[i].base);
    keptCount = 0;
}

bool FreedMemoryWatch::Contains(const void *pointer) const
{
    const char *address = static_cast<const char *>(pointer);
    Locked locked;
    for (size_t i = 0; i < keptCount; ++i) {
        const char *begin = kept[i].base + kHeader;
        if (address >= begin && address < begin + kept[i].size)
            return true;
    }
    return false;
}

std::vector<FreedMemoryWatch::Block> FreedMemoryWatch::Blocks() const
{
    std::vector<Kept> copy;
    {
        Locked locked;
        copy.assign(kept, kept + keptCount);
    }
    std::vector<Block> blocks;
    for (const Kept &block : copy)
        blocks.push_back(Block{block.base + kHeader, block.size});
    return blocks;
}

} // namespace Testing
} // namespace SkinUI

void *operator new(size_t size)
{
    return SkinUI::Testing::AllocateOrThrow(size);
}
void *operator new[](size_t size)
{
    return SkinUI::Testing::AllocateOrThrow(size);
}
void *operator new(size_t size, const std::nothrow_t &) noexcept
{
    return SkinUI::Testing::Allocate(size);
}
void *operator new[](size_t size, const std::nothrow_t &) noexcept
{
    return SkinUI::Testing::Allocate(size);
}
void operator delete(void *pointer) noexcept
{
    SkinUI::Testing::Release(pointer);
}
void operator delete[](void *pointer) noexcept
{
    SkinUI::Testing::Release(pointer);
}
void operator delete(void *pointer, size_t) noexcept
{
    SkinUI::Testing::Release(pointer);
}
void operator delete[](void *pointer, size_t) noexcept
{
    SkinUI::Testing::Release(pointer);
}
void operator delete(void *pointer, const std::nothrow_t &) noexcept
{
    SkinUI::Testing::Release(pointer);
}
void operator delete[](void *pointer, const std::nothrow_t &) noexcept
{
    SkinUI::Testing::Release(pointer);
}
