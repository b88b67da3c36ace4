#include "core/archive/mapped_file.h"

#include <QFile>

#include <atomic>
#include <csignal>
#include <mutex>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quandor::archive {

namespace {

// The mappings being read, for the SIGBUS handler; a thread that finds no
// free slot reads its file the ordinary way.
struct Guard {
    std::atomic<bool> used{false};
    std::atomic<uintptr_t> begin{0};
    std::atomic<uintptr_t> end{0};
    std::atomic<bool> changed{false};
};
Guard guards[16];
struct sigaction previousAction;
uintptr_t pageSize = 4096;

void onBusError(int signal, siginfo_t* info, void* context) {
    const auto address = reinterpret_cast<uintptr_t>(info->si_addr);
    for (Guard& g : guards) {
        const uintptr_t begin = g.begin.load(std::memory_order_acquire);
        const uintptr_t end = g.end.load(std::memory_order_acquire);
        if (begin == 0 || address < begin || address >= end) continue;
        // The file shrank under the mapping: zero pages from here to the end,
        // so that the reader reads on (into damage) instead of dying.
        const uintptr_t page = address & ~(pageSize - 1);
        void* p = mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        if (p == MAP_FAILED) break;
        g.changed.store(true, std::memory_order_release);
        return;
    }
    // Not one of ours: whatever would have happened without this handler.
    if ((previousAction.sa_flags & SA_SIGINFO) && previousAction.sa_sigaction) {
        previousAction.sa_sigaction(signal, info, context);
        return;
    }
    if (!(previousAction.sa_flags & SA_SIGINFO) && previousAction.sa_handler != SIG_DFL &&
        previousAction.sa_handler != SIG_IGN) {
        previousAction.sa_handler(signal);
        return;
    }
    // The default: the faulting access runs again and ends the process.
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(SIGBUS, &fallback, nullptr);
}

bool installHandler() {
    static std::once_flag once;
    static bool installed = false;
    std::call_once(once, [] {
        const long page = sysconf(_SC_PAGESIZE);
        if (page > 0) pageSize = static_cast<uintptr_t>(page);
        struct sigaction action = {};
        action.sa_sigaction = onBusError;
        action.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        installed = sigaction(SIGBUS, &action, &previousAction) == 0;
    });
    return installed;
}

int claimGuard() {
    for (int i = 0; i < static_cast<int>(std::size(guards)); ++i) {
        bool expected = false;
        if (guards[i].used.compare_exchange_strong(expected, true)) return i;
    }
    return -1;
}

}  // namespace

MappedFile::~MappedFile() {
    if (guard_ >= 0) {
        guards[guard_].begin.store(0, std::memory_order_release);
        guards[guard_].end.store(0, std::memory_order_release);
    }
    if (data_) munmap(const_cast<uint8_t*>(data_), mapped_);
    if (guard_ >= 0) guards[guard_].used.store(false, std::memory_order_release);
}

bool MappedFile::open(const QString& path) {
    if (data_ || !installHandler()) return false;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st = {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) {
        ::close(fd);
        return false;
    }
    const auto size = static_cast<uint64_t>(st.st_size);
    guard_ = claimGuard();
    if (guard_ < 0) {
        ::close(fd);
        return false;
    }
    const uint64_t mapped = (size + pageSize - 1) & ~uint64_t{pageSize - 1};
    void* p = mmap(nullptr, mapped, PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (p == MAP_FAILED) {
        guards[guard_].used.store(false, std::memory_order_release);
        guard_ = -1;
        return false;
    }
    data_ = static_cast<const uint8_t*>(p);
    size_ = size;
    mapped_ = mapped;
    Guard& g = guards[guard_];
    g.changed.store(false, std::memory_order_relaxed);
    g.end.store(reinterpret_cast<uintptr_t>(p) + mapped, std::memory_order_release);
    g.begin.store(reinterpret_cast<uintptr_t>(p), std::memory_order_release);
    return true;
}

bool MappedFile::changed() const {
    return guard_ >= 0 && guards[guard_].changed.load(std::memory_order_acquire);
}

}  // namespace quandor::archive
