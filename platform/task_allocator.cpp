#include "task_allocator.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A header in front of every block lets a free check that the block is ours and still live: a
// double free or a foreign pointer stops the process at the fault instead of corrupting the heap.
struct alignas(std::max_align_t) BlockHeader {
    std::uint64_t magic;
    std::size_t size;
};

constexpr std::uint64_t kLiveMagic = 0x4F52564958544D41ULL; // "ORVIXTMA"
constexpr std::uint64_t kFreedMagic = 0x4652454544424C4BULL;

std::atomic<std::int64_t> g_liveBlocks{0};

[[noreturn]] void AbortBadFree(const void* pv, const char* why) {
    std::fprintf(stderr, "CoTaskMemFree(%p): %s\n", pv, why);
    std::abort();
}

} // namespace

void* CoTaskMemAlloc(std::size_t cb) {
    if (cb > SIZE_MAX - sizeof(BlockHeader)) {
        return nullptr;
    }
    void* raw = std::malloc(sizeof(BlockHeader) + cb);
    if (raw == nullptr) {
        return nullptr;
    }
    auto* header = static_cast<BlockHeader*>(raw);
    header->magic = kLiveMagic;
    header->size = cb;
    g_liveBlocks.fetch_add(1, std::memory_order_relaxed);
    return header + 1;
}

void CoTaskMemFree(void* pv) {
    if (pv == nullptr) {
        return;
    }
    auto* header = static_cast<BlockHeader*>(pv) - 1;
    if (header->magic == kFreedMagic) {
        AbortBadFree(pv, "block freed twice");
    }
    if (header->magic != kLiveMagic) {
        AbortBadFree(pv, "not a task allocator block");
    }
    header->magic = kFreedMagic;
    g_liveBlocks.fetch_sub(1, std::memory_order_relaxed);
    std::free(header);
}

std::int64_t CoTaskMemLiveBlocks() {
    return g_liveBlocks.load(std::memory_order_relaxed);
}
