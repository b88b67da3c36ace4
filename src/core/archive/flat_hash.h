#pragma once
// Small hashing helpers for the writer's uniquing tables: a fast byte hash and
// an open-addressing map from 64-bit keys (object addresses, bit patterns) to
// 32-bit values. std::unordered_map would cost one heap node per entry, which
// the writer cannot afford for millions of objects.

#include <cstdint>
#include <cstring>
#include <vector>

namespace quandor::archive {

inline uint64_t mix64(uint64_t a, uint64_t b) {
    const __uint128_t r = static_cast<__uint128_t>(a) * b;
    return static_cast<uint64_t>(r) ^ static_cast<uint64_t>(r >> 64);
}

inline uint64_t hashBytes(const uint8_t* p, size_t n) {
    uint64_t h = 0x9E3779B97F4A7C15ull ^ n;
    while (n >= 8) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        h = mix64(h ^ v, 0xBF58476D1CE4E5B9ull);
        p += 8;
        n -= 8;
    }
    uint64_t v = 0;
    if (n) std::memcpy(&v, p, n);
    return mix64(h ^ v, 0x94D049BB133111EBull);
}

// Map from a 64-bit key to a 32-bit value; find() returns nullptr when absent.
class U64Map {
  public:
    const uint32_t* find(uint64_t key) const {
        if (slots_.empty()) return nullptr;
        const size_t mask = slots_.size() - 1;
        for (size_t i = hashKey(key) & mask;; i = (i + 1) & mask) {
            const Slot& s = slots_[i];
            if (!s.used) return nullptr;
            if (s.key == key) return &s.value;
        }
    }

    void insert(uint64_t key, uint32_t value) {
        if ((used_ + 1) * 2 > slots_.size()) rehash(slots_.empty() ? 64 : slots_.size() * 2);
        const size_t mask = slots_.size() - 1;
        for (size_t i = hashKey(key) & mask;; i = (i + 1) & mask) {
            Slot& s = slots_[i];
            if (!s.used) {
                s = {key, value, true};
                ++used_;
                return;
            }
            if (s.key == key) {
                s.value = value;
                return;
            }
        }
    }

  private:
    struct Slot {
        uint64_t key = 0;
        uint32_t value = 0;
        bool used = false;
    };
    static uint64_t hashKey(uint64_t k) { return mix64(k, 0x9E3779B97F4A7C15ull); }
    void rehash(size_t capacity) {
        std::vector<Slot> old;
        old.swap(slots_);
        slots_.assign(capacity, Slot{});
        used_ = 0;
        for (const Slot& s : old)
            if (s.used) insert(s.key, s.value);
    }

    std::vector<Slot> slots_;
    size_t used_ = 0;
};

}  // namespace quandor::archive
