#pragma once
// Scalars of a property list found again by their bytes, for the
// keyed-archive reader. A file may hold the same text or number many thousand
// times: a writer that merges nothing writes every dictionary key, every ""
// and every 0 of every record anew. Converting each copy into a value of its
// own (a QString each), or interning each key copy, costs more time and
// memory than the rest of reading; here equal bytes of the same kind find the
// value made the first time.
//
// Only short scalars (up to kMaxBytes) are looked up by their bytes, so the
// work per reference stays bounded whatever the file holds; the reader finds
// longer ones by their property-list reference instead. Entries point into
// the file's bytes, which must outlive the table. The table grows with the
// number of distinct scalars, so its memory stays within the file's size.

#include "core/archive/flat_hash.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace quandor::archive {

template <class T>
class ScalarTable {
  public:
    static constexpr size_t kMaxBytes = 256;

    static uint64_t hash(uint8_t kind, const uint8_t* bytes, size_t n) {
        return hashBytes(bytes, n) ^ kind;
    }

    // Room for `n` entries without growing.
    void reserve(size_t n) {
        size_t capacity = 256;
        while (capacity < 2 * n) capacity *= 2;
        if (capacity > slots_.size()) rehash(capacity);
        entries_.reserve(n);
    }

    // The value stored for these bytes of this kind, or nullptr.
    T* find(uint64_t h, uint8_t kind, const uint8_t* bytes, size_t n) {
        if (slots_.empty()) return nullptr;
        const auto tag = static_cast<uint32_t>(h);
        const size_t mask = slots_.size() - 1;
        for (size_t i = tag & mask;; i = (i + 1) & mask) {
            const Slot s = slots_[i];
            if (!s.entryPlusOne) return nullptr;
            if (s.hash != tag) continue;  // the entry itself is only read on a likely match
            Entry& e = entries_[s.entryPlusOne - 1];
            if (e.kind == kind && e.size == n && sameBytes(e.bytes, bytes, n)) return &e.value;
        }
    }

    // Stores `value` for bytes that find() did not know.
    T& insert(uint64_t h, uint8_t kind, const uint8_t* bytes, size_t n, T value) {
        if ((entries_.size() + 1) * 2 > slots_.size())
            rehash(slots_.empty() ? 256 : slots_.size() * 2);
        entries_.push_back({bytes, static_cast<uint32_t>(n), kind, std::move(value)});
        place({static_cast<uint32_t>(h), static_cast<uint32_t>(entries_.size())});
        return entries_.back().value;
    }

  private:
    // Scalars are short: compared inline, eight bytes at a time.
    static bool sameBytes(const uint8_t* a, const uint8_t* b, size_t n) {
        for (; n >= 8; a += 8, b += 8, n -= 8) {
            uint64_t x, y;
            std::memcpy(&x, a, 8);
            std::memcpy(&y, b, 8);
            if (x != y) return false;
        }
        for (; n; --n)
            if (*a++ != *b++) return false;
        return true;
    }

    struct Entry {
        const uint8_t* bytes;
        uint32_t size;
        uint8_t kind;
        T value;
    };
    struct Slot {
        uint32_t hash = 0;          // the low bits of the entry's hash
        uint32_t entryPlusOne = 0;  // 0 = empty
    };

    void place(Slot s) {
        const size_t mask = slots_.size() - 1;
        size_t i = s.hash & mask;
        while (slots_[i].entryPlusOne) i = (i + 1) & mask;
        slots_[i] = s;
    }
    void rehash(size_t capacity) {
        std::vector<Slot> old(capacity);
        old.swap(slots_);
        for (const Slot& s : old)
            if (s.entryPlusOne) place(s);
    }

    std::vector<Slot> slots_;
    std::vector<Entry> entries_;
};

}  // namespace quandor::archive
