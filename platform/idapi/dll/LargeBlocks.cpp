// Keeps blocks of memory of 64 KB and more, once freed, for the next such request. The
// Windows heap gives each of them back to the system when freed, so the next one is fresh
// pages, each a page fault when first written: under Wine about 10 us a page, more than
// the work the memory is for. A pass over a large table allocates its run buffers, orders
// and images again each time; kept, they cost their faults once.
#include <windows.h>

#include <cstdlib>
#include <new>

namespace {

constexpr size_t kLarge = 64 * 1024;
constexpr size_t kKeptMost = 16u << 20; // what the process keeps at most, in bytes
constexpr int kSlots = 8;

struct Kept {
    void* block = nullptr;
    size_t size = 0;
};

SRWLOCK lock = SRWLOCK_INIT;
Kept kept[kSlots];
size_t keptBytes = 0;

struct Locked {
    Locked() { AcquireSRWLockExclusive(&lock); }
    ~Locked() { ReleaseSRWLockExclusive(&lock); }
};

// The smallest kept block that holds size and is not more than twice it.
void* TakeKept(size_t size) {
    Locked held;
    int best = -1;
    for (int i = 0; i < kSlots; ++i)
        if (kept[i].block && kept[i].size >= size && kept[i].size / 2 <= size &&
            (best < 0 || kept[i].size < kept[best].size))
            best = i;
    if (best < 0)
        return nullptr;
    void* block = kept[best].block;
    keptBytes -= kept[best].size;
    kept[best] = {};
    return block;
}

// False when the block does not fit in what is kept: the caller frees it.
bool Keep(void* block, size_t size) {
    Locked held;
    if (size > kKeptMost)
        return false;
    // Room is made by letting the largest others go, so the recent sizes stay.
    while (keptBytes + size > kKeptMost) {
        int largest = 0;
        for (int i = 1; i < kSlots; ++i)
            if (kept[i].size > kept[largest].size)
                largest = i;
        std::free(kept[largest].block);
        keptBytes -= kept[largest].size;
        kept[largest] = {};
    }
    for (Kept& k : kept)
        if (!k.block) {
            k = {block, size};
            keptBytes += size;
            return true;
        }
    return false;
}

} // namespace

void* operator new(size_t size) {
    if (size >= kLarge)
        if (void* block = TakeKept(size))
            return block;
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, size_t size) noexcept {
    if (block && size >= kLarge && Keep(block, size))
        return;
    std::free(block);
}
