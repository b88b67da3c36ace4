#pragma once
// Binary property lists ("bplist00"), read in place.
//
// The reader never copies the file and allocates nothing per object: an object
// is parsed on demand from its offset, and every offset, count and reference is
// checked against the file before a byte is touched. Damage is reported as a
// `Damage` code (the keyed-archive layer turns it into a German message);
// nothing here throws.
//
// Layout (CFBinaryPList.c): "bplist00", the objects, the offset table (one
// big-endian offset per object) and a 32-byte trailer: 6 unused bytes, offset
// int size, object ref size, object count, top object, offset table offset.

#include "core/archive/damage.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace quandor::archive::bplist {

enum class Kind : uint8_t {
    Null,    // 0x00
    Bool,    // 0x08 / 0x09
    Int,     // 0x10-0x13: 1, 2, 4 bytes unsigned, 8 bytes signed
    BigInt,  // 0x14: 16-byte integer (CF writes unsigned values above INT64_MAX so)
    Real32,  // 0x22
    Real64,  // 0x23
    Date,    // 0x33: seconds since 2001 as a double
    Data,    // 0x4n
    Ascii,   // 0x5n: count bytes
    Utf16,   // 0x6n: count UTF-16BE units
    Utf8,    // 0x7n: count bytes (written by some newer writers)
    Uid,     // 0x8n: 1 to 8 bytes
    Array,   // 0xAn: count references
    Set,     // 0xCn: count references
    Dict,    // 0xDn: count key references, then count value references
};

struct Object {
    Kind kind = Kind::Null;
    bool boolean = false;
    int64_t integer = 0;   // Int; Uid (always < 2^63 here); BigInt: the low 64 bits
    uint64_t bigHigh = 0;  // BigInt: the high 64 bits
    double real = 0.0;     // Real32 (widened), Real64, Date
    uint64_t count = 0;    // Data/Ascii/Utf8: bytes; Utf16: units; Array/Set/Dict: entries
    const uint8_t* payload =
        nullptr;                     // first payload byte (scalars) or first reference (containers)
    const uint8_t* start = nullptr;  // the marker byte

    // The bytes of a scalar, marker included (for Data and texts up to the
    // end of the payload); equal bytes are equal values.
    uint64_t scalarSize() const {
        switch (kind) {
            case Kind::Null:
            case Kind::Bool:
                return 1;
            case Kind::Int:
                return 1 + (1u << (*start & 0xF));
            case Kind::BigInt:
                return 17;
            case Kind::Real32:
                return 5;
            case Kind::Real64:
            case Kind::Date:
                return 9;
            case Kind::Utf16:
                return static_cast<uint64_t>(payload - start) + 2 * count;
            case Kind::Data:
            case Kind::Ascii:
            case Kind::Utf8:
                return static_cast<uint64_t>(payload - start) + count;
            default:
                return 0;  // UIDs and containers are no scalars
        }
    }

    bool isString() const {
        return kind == Kind::Ascii || kind == Kind::Utf16 || kind == Kind::Utf8;
    }
    bool isContainer() const {
        return kind == Kind::Array || kind == Kind::Set || kind == Kind::Dict;
    }
};

// Reads an unsigned big-endian integer of 1 to 8 bytes.
inline uint64_t readBigEndian(const uint8_t* p, unsigned width) {
    switch (width) {
        case 1:
            return p[0];
        case 2:
            return (uint64_t{p[0]} << 8) | p[1];
        case 3:  // references of files with 65,536 to 16 million objects
            return (uint64_t{p[0]} << 16) | (uint64_t{p[1]} << 8) | p[2];
        case 4:
            return (uint64_t{p[0]} << 24) | (uint64_t{p[1]} << 16) | (uint64_t{p[2]} << 8) | p[3];
        case 8: {
            uint64_t v;
            std::memcpy(&v, p, 8);
            return __builtin_bswap64(v);
        }
        default: {
            uint64_t v = 0;
            for (unsigned i = 0; i < width; ++i) v = (v << 8) | p[i];
            return v;
        }
    }
}

class Reader {
  public:
    // Checks the header and the trailer. The bytes must outlive the reader.
    Damage open(const uint8_t* data, size_t size);

    uint64_t objectCount() const { return objectCount_; }
    uint64_t topObject() const { return topObject_; }
    unsigned refSize() const { return refSize_; }
    size_t size() const { return size_; }

    // Parses object `ref`; Damage::None on success.
    Damage object(uint64_t ref, Object* out) const;

    // The value of object `ref` when it is a UID, without the general parse:
    // keyed archives are mostly UIDs. False for any other or a damaged object.
    bool uid(uint64_t ref, uint64_t* value) const {
        uint64_t offset;
        return offsetOf(ref, &offset) && uidAt(offset, value);
    }

    // The same in steps, so that a caller resolving many references can
    // overlap their memory accesses: the offset of object `ref`, ...
    bool offsetOf(uint64_t ref, uint64_t* offset) const {
        if (ref >= objectCount_) return false;
        *offset = readBigEndian(data_ + tableOffset_ + ref * offsetSize_, offsetSize_);
        return *offset >= 8 && *offset < tableOffset_;
    }
    // ... and the UID at a valid offset.
    bool uidAt(uint64_t offset, uint64_t* value) const {
        const uint8_t marker = data_[offset];
        const unsigned width = (marker & 0xFu) + 1;
        if ((marker & 0xF0) != 0x80 || width > 8 || tableOffset_ - offset - 1 < width) return false;
        *value = readBigEndian(data_ + offset + 1, width);
        return *value <= uint64_t{INT64_MAX};
    }
    void prefetchOffsetOf(uint64_t ref) const {
        if (ref < objectCount_) __builtin_prefetch(data_ + tableOffset_ + ref * offsetSize_);
    }
    void prefetchAt(uint64_t offset) const { __builtin_prefetch(data_ + offset); }

    // The i-th reference of an array or set (i < count), or of a dictionary:
    // keys are 0..count-1, values count..2*count-1. Bounds were checked by object().
    uint64_t reference(const Object& container, uint64_t i) const {
        return readBigEndian(container.payload + i * refSize_, refSize_);
    }

    // True when the string object equals the ASCII text `ascii` (length `n`).
    static bool equalsAscii(const Object& s, const char* ascii, size_t n);

  private:
    Damage readCount(uint8_t low, const uint8_t*& p, uint64_t* count) const;

    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    uint64_t objectCount_ = 0;
    uint64_t topObject_ = 0;
    uint64_t tableOffset_ = 0;  // objects lie in [8, tableOffset_)
    unsigned offsetSize_ = 0;
    unsigned refSize_ = 0;
};

}  // namespace quandor::archive::bplist
