#include "core/heap_tuning.h"

#include "core/archive/big_allocator.h"

#include <malloc.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace quandor {

void preferHugePages() {
    if (std::getenv("QUANDOR_NO_HUGEPAGES")) return;
#if defined(__SANITIZE_ADDRESS__)
    return;  // sanitizer builds manage the heap themselves
#endif
    constexpr size_t kReserve = size_t{512} << 20;
    // Blocks up to 32 MB come from the heap (glibc would raise its threshold
    // there itself once it had seen such blocks freed), and the heap grows in
    // steps of half a gigabyte of address space; only what is used becomes memory.
    if (mallopt(M_MMAP_THRESHOLD, 32 << 20) != 1 || mallopt(M_TOP_PAD, kReserve) != 1) return;
    // Grow the heap now: a block larger than its free top makes it take the step.
    void* probe = std::malloc(mallinfo2().keepcost + 64);
    if (!probe) return;
    const auto from = reinterpret_cast<uintptr_t>(probe);
    const auto to = reinterpret_cast<uintptr_t>(sbrk(0));
    std::free(probe);
    // Not the heap's top (glibc fell back to mapped memory): leave it.
    if (to <= from || to - from < kReserve / 2) return;
    archive::adviseHugePages(reinterpret_cast<void*>(from), to - from);
}

}  // namespace quandor
