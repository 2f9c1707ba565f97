#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "c4d_memory.h"

// Like the host's memory manager, large blocks that are freed are kept for the next
// request of a similar size: arrays made afresh on every call (phong normals of a big
// mesh) then cost no new pages each time. Under the address sanitizer nothing is kept,
// so that it still sees every use after free.
namespace {

// Each block starts with its capacity; the caller's memory follows, aligned as malloc's.
constexpr size_t kHeader = alignof(std::max_align_t);
constexpr size_t kKeptFrom = size_t(1) << 20;
constexpr size_t kKeptAtMost = size_t(512) << 20;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kKeepBlocks = false;
#else
constexpr bool kKeepBlocks = true;
#endif

struct Block {
    size_t capacity;
    void* start;
};

struct KeptBlocks {
    std::vector<Block> blocks;  // oldest first
    size_t bytes = 0;

    // The smallest kept block holding size bytes without wasting more than half of it.
    void* take(size_t size) {
        auto best = blocks.end();
        for (auto b = blocks.begin(); b != blocks.end(); ++b)
            if (b->capacity >= size && b->capacity / 2 <= size &&
                (best == blocks.end() || b->capacity < best->capacity))
                best = b;
        if (best == blocks.end()) return nullptr;
        void* start = best->start;
        bytes -= best->capacity;
        blocks.erase(best);
        return start;
    }

    void keep(Block block) {
        blocks.push_back(block);
        bytes += block.capacity;
        while (bytes > kKeptAtMost) {
            bytes -= blocks.front().capacity;
            std::free(blocks.front().start);
            blocks.erase(blocks.begin());
        }
    }
};

// Never destroyed: plug-ins may free host memory while the process ends.
KeptBlocks& keptBlocks() {
    static KeptBlocks* kept = new KeptBlocks;
    return *kept;
}

}  // namespace

void* MemAlloc(size_t elementSize, size_t count, bool clear) {
    if (elementSize != 0 && count > (SIZE_MAX - kHeader) / elementSize) return nullptr;
    const size_t bytes = elementSize * count;
    void* start = kKeepBlocks && bytes >= kKeptFrom ? keptBlocks().take(bytes) : nullptr;
    if (start != nullptr) {
        if (clear) std::memset(static_cast<char*>(start) + kHeader, 0, bytes);
    } else {
        start = clear ? std::calloc(1, kHeader + bytes) : std::malloc(kHeader + bytes);
        if (start == nullptr) return nullptr;
        std::memcpy(start, &bytes, sizeof bytes);
    }
    return static_cast<char*>(start) + kHeader;
}

void MemFree(void* memory) {
    if (memory == nullptr) return;
    void* start = static_cast<char*>(memory) - kHeader;
    size_t capacity;
    std::memcpy(&capacity, start, sizeof capacity);
    if (kKeepBlocks && capacity >= kKeptFrom)
        keptBlocks().keep({capacity, start});
    else
        std::free(start);
}
