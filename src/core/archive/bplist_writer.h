#pragma once
// Builds a binary property list ("bplist00") in the layout CFBinaryPList.c
// writes, without a tree of heap nodes.
//
// Objects get their reference number when they are created; containers refer
// to earlier (or reserved) references. Scalars (strings, numbers, booleans,
// dates, data, UIDs) are encoded at once and merged: an equal scalar returns
// the reference of the first one, as CF merges equal strings and numbers (the
// format allows sharing any object; merging UIDs too keeps keyed archives
// small). Containers are never merged. finish() lays out the objects in
// reference order with CF's widths: references as wide as the object count
// needs, offsets as wide as the offset table's offset needs (1 to 8 bytes;
// integers and UIDs take 1, 2, 4 or 8).

#include "core/archive/big_allocator.h"

#include <QByteArray>
#include <QIODevice>
#include <QStringView>

#include <cstdint>
#include <string_view>
#include <vector>

namespace quandor::archive::bplist {

class Builder {
  public:
    using Ref = uint32_t;

    Builder();

    // Off: every scalar becomes an object of its own, as a writer without
    // CF's merging lays out a file (for tests and benchmarks of such files).
    void setMerging(bool on) { merging_ = on; }

    // Merged scalars. string() writes ASCII as 0x5n and anything else as
    // UTF-16BE 0x6n; counts of 15 and more follow as an integer object.
    Ref string(QStringView s);
    Ref ascii(std::string_view s);  // `s` must be 7-bit ASCII
    Ref integer(int64_t v);  // 0x10-0x12 unsigned 1/2/4 bytes, 0x13 for the rest (every negative)
    Ref real32(float v);     // 0x22
    Ref real64(double v);    // 0x23
    Ref boolean(bool b);     // 0x08 / 0x09
    Ref null();              // 0x00 (only ever copied from a file)
    Ref date(double sinceReference);        // 0x33
    Ref data(const char* bytes, size_t n);  // 0x4n
    Ref uid(uint64_t v);                    // 0x8n
    // A UID the caller never asks for twice (it keeps its own table): skips
    // the merge table, whose cache misses dominate writing large archives.
    Ref uidUnmerged(uint64_t v);
    Ref bigInt(uint64_t high, uint64_t low);  // 0x14, 16 bytes
    // Another object with the bytes of scalar `r`, never merged.
    Ref copyScalar(Ref r);

    // Containers (never merged). The references are copied.
    Ref array(const Ref* refs, size_t n);
    // Another array with the contents of array `earlier`: a separate object
    // in the file (as Foundation writes one per dictionary), stored once here.
    Ref arrayLike(Ref earlier);
    Ref set(const Ref* refs, size_t n);
    Ref dict(const Ref* keys, const Ref* values, size_t n);
    // A container whose contents come later (the top dictionary is reference 0).
    Ref reserve();
    void setDict(Ref r, const Ref* keys, const Ref* values, size_t n);

    size_t objectCount() const { return objects_.size(); }

    // The finished file with `top` as the top object.
    QByteArray finish(Ref top) const;
    // The same, written to `device` piece by piece; false when it refuses.
    bool finish(Ref top, QIODevice& device) const;

  private:
    enum class ObjKind : uint8_t { Unset, Scalar, Array, Set, Dict };
    struct Obj {
        uint64_t offset;  // Scalar: into scalars_; containers: into refs_
        uint32_t length;  // Scalar: bytes; containers: entries (dict: pairs)
        ObjKind kind;
    };
    static uint64_t sizeOf(const Obj& o, unsigned refSize);
    struct Layout {
        uint64_t count = 0, tableOffset = 0, total = 0;
        unsigned refSize = 0, offsetSize = 0;
    };
    Layout layout() const;
    template <class Out>
    void emitTo(const Layout& l, Ref top, Out& out) const;

    struct Slot {
        uint32_t hash;
        uint32_t refPlusOne;  // 0 = empty
    };

    // Starts a scalar at the end of scalars_; intern() finishes it.
    size_t begin() const { return scalars_.size(); }
    void put(uint8_t b) { scalars_.push_back(b); }
    void put(const void* p, size_t n) { scalars_.append(static_cast<const uint8_t*>(p), n); }
    void putBigEndian(uint64_t v, unsigned width);
    void putCountedMarker(uint8_t high, uint64_t count);
    Ref intern(size_t start);
    Ref append(size_t start);
    void grow();
    Ref container(ObjKind kind, const Ref* refs, size_t n, const Ref* values);

    GrowBuffer<Obj> objects_;
    GrowBuffer<uint8_t> scalars_;
    GrowBuffer<Ref> refs_;
    BigVector<Slot> table_;
    size_t tableUsed_ = 0;
    bool merging_ = true;
};

}  // namespace quandor::archive::bplist
