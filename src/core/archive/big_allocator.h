#pragma once
// Memory for the reader's and writer's large temporary tables (tens of
// megabytes for a database of 100,000 items).
//
// Blocks of 2 MB and more come straight from mmap and are marked for
// transparent huge pages: faulting in fresh memory 4 KB at a time costs the
// reader and writer more than their actual work on a virtualised machine.
// Where huge pages are off (or set to "never") this is an ordinary anonymous
// mapping. Under AddressSanitizer every block goes through operator new, so
// the sanitizer keeps watching these tables.

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <vector>

#include <sys/mman.h>

#if defined(__SANITIZE_ADDRESS__)
#define QUANDOR_ARCHIVE_PLAIN_ALLOCATION 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUANDOR_ARCHIVE_PLAIN_ALLOCATION 1
#endif
#endif

namespace quandor::archive {

// Marks the whole 2 MB pages inside [p, p + n) for huge pages; call before
// the memory is first touched.
inline void adviseHugePages(void* p, size_t n) {
#if !defined(QUANDOR_ARCHIVE_PLAIN_ALLOCATION) && defined(MADV_HUGEPAGE)
    constexpr size_t kHuge = size_t{2} << 20;
    const auto begin = (reinterpret_cast<size_t>(p) + kHuge - 1) & ~(kHuge - 1);
    const auto end = (reinterpret_cast<size_t>(p) + n) & ~(kHuge - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)p;
    (void)n;
#endif
}

template <class T>
struct BigAllocator {
    using value_type = T;
    static constexpr size_t kThreshold = size_t{2} << 20;

    BigAllocator() = default;
    template <class U>
    BigAllocator(const BigAllocator<U>&) {}

    T* allocate(size_t n) {
        const size_t bytes = n * sizeof(T);
#if !defined(QUANDOR_ARCHIVE_PLAIN_ALLOCATION)
        if (bytes >= kThreshold) {
            void* p =
                mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (p == MAP_FAILED) throw std::bad_alloc();
            adviseHugePages(p, bytes);
            return static_cast<T*>(p);
        }
#endif
        return static_cast<T*>(::operator new(bytes));
    }

    void deallocate(T* p, size_t n) {
#if !defined(QUANDOR_ARCHIVE_PLAIN_ALLOCATION)
        if (n * sizeof(T) >= kThreshold) {
            munmap(p, n * sizeof(T));
            return;
        }
#endif
        (void)n;
        ::operator delete(p);
    }

    template <class U>
    bool operator==(const BigAllocator<U>&) const {
        return true;
    }
};

template <class T>
using BigVector = std::vector<T, BigAllocator<T>>;

// A growing array of trivially copyable values for the writer's tables.
// Small, it lives on the heap; from 2 MB on in its own mapping, which grows
// with mremap: no copy and no second zeroing of the old contents, which is
// most of what a doubling std::vector costs at this size.
template <class T>
class GrowBuffer {
    static_assert(std::is_trivially_copyable_v<T>);

  public:
    GrowBuffer() = default;
    GrowBuffer(const GrowBuffer&) = delete;
    GrowBuffer& operator=(const GrowBuffer&) = delete;
    ~GrowBuffer() { release(); }

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T* data() { return data_; }
    const T* data() const { return data_; }
    T& operator[](size_t i) { return data_[i]; }
    const T& operator[](size_t i) const { return data_[i]; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }
    T& back() { return data_[size_ - 1]; }

    void push_back(const T& v) {
        if (size_ == capacity_) grow(size_ + 1);
        data_[size_++] = v;
    }
    void append(const T* p, size_t n) {
        if (size_ + n > capacity_) grow(size_ + n);
        if (n) std::memcpy(data_ + size_, p, n * sizeof(T));
        size_ += n;
    }
    // New elements are left as they are: the caller writes them at once.
    void resizeUninitialized(size_t n) {
        if (n > capacity_) grow(n);
        size_ = n;
    }
    void resize(size_t n, const T& fill) {
        if (n > capacity_) grow(n);
        for (size_t i = size_; i < n; ++i) data_[i] = fill;
        size_ = n;
    }
    void truncate(size_t n) { size_ = n < size_ ? n : size_; }

  private:
    static constexpr size_t kMapped = size_t{2} << 20;

    void grow(size_t need) {
        size_t capacity = capacity_ ? capacity_ * 2 : 64;
        if (capacity < need) capacity = need;
        size_t bytes = capacity * sizeof(T);
#if !defined(QUANDOR_ARCHIVE_PLAIN_ALLOCATION)
        if (bytes >= kMapped) {
            bytes = (bytes + 4095) & ~size_t{4095};
            void* p =
                mapped_ ? mremap(data_, capacity_ * sizeof(T), bytes, MREMAP_MAYMOVE) : MAP_FAILED;
            if (p == MAP_FAILED) {
                // First mapping, or mremap refused (some tools, e.g. valgrind,
                // manage the address space themselves): map anew and copy.
                p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1,
                         0);
                if (p == MAP_FAILED) throw std::bad_alloc();
                adviseHugePages(p, bytes);
                if (size_) std::memcpy(p, data_, size_ * sizeof(T));
                release();
                mapped_ = true;
            }
            data_ = static_cast<T*>(p);
            capacity_ = bytes / sizeof(T);
            return;
        }
#endif
        void* p = std::realloc(data_, bytes);
        if (!p) throw std::bad_alloc();
        data_ = static_cast<T*>(p);
        capacity_ = capacity;
    }
    void release() {
        if (mapped_) {
            munmap(data_, capacity_ * sizeof(T));
        } else {
            std::free(data_);
        }
    }

    T* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
    bool mapped_ = false;
};

}  // namespace quandor::archive
