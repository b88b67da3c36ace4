#include "core/archive/bplist_reader.h"

#include <cstring>

namespace quandor::archive::bplist {

namespace {

constexpr size_t kHeaderSize = 8;
constexpr size_t kTrailerSize = 32;

double realFromBits32(uint64_t bits) {
    const uint32_t b = static_cast<uint32_t>(bits);
    float f;
    std::memcpy(&f, &b, sizeof f);
    return f;
}

double realFromBits64(uint64_t bits) {
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

}  // namespace

Damage Reader::open(const uint8_t* data, size_t size) {
    data_ = data;
    size_ = size;
    if (size == 0) return Damage::Empty;
    if (size < 7 || std::memcmp(data, "bplist0", 7) != 0) return Damage::UnknownFormat;
    // Header, at least one object byte, one offset byte and the trailer.
    if (size < kHeaderSize + 2 + kTrailerSize) return Damage::TooShort;

    const uint8_t* t = data + size - kTrailerSize;
    offsetSize_ = t[6];
    refSize_ = t[7];
    objectCount_ = readBigEndian(t + 8, 8);
    topObject_ = readBigEndian(t + 16, 8);
    tableOffset_ = readBigEndian(t + 24, 8);
    if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8)
        return Damage::BadTrailer;
    if (objectCount_ == 0 || topObject_ >= objectCount_) return Damage::BadTrailer;
    const uint64_t tableEnd = size - kTrailerSize;
    if (tableOffset_ < kHeaderSize + 1 || tableOffset_ > tableEnd) return Damage::BadTrailer;
    if (objectCount_ > (tableEnd - tableOffset_) / offsetSize_) return Damage::BadTrailer;
    return Damage::None;
}

Damage Reader::readCount(uint8_t low, const uint8_t*& p, uint64_t* count) const {
    if (low != 0xF) {
        *count = low;
        return Damage::None;
    }
    // The count follows as an integer object of 1, 2, 4 or 8 bytes.
    const uint8_t* end = data_ + tableOffset_;
    if (end - p < 1) return Damage::BadObject;
    const uint8_t m = *p;
    if ((m >> 4) != 0x1 || (m & 0xF) > 3) return Damage::BadObject;
    const unsigned width = 1u << (m & 0xF);
    if (static_cast<size_t>(end - p - 1) < width) return Damage::BadObject;
    const uint64_t v = readBigEndian(p + 1, width);
    if (width == 8 && v > uint64_t{INT64_MAX}) return Damage::CountTooLarge;
    *count = v;
    p += 1 + width;
    return Damage::None;
}

Damage Reader::object(uint64_t ref, Object* out) const {
    if (ref >= objectCount_) return Damage::RefOutOfRange;
    const uint64_t offset = readBigEndian(data_ + tableOffset_ + ref * offsetSize_, offsetSize_);
    if (offset < kHeaderSize || offset >= tableOffset_) return Damage::OffsetOutOfRange;

    const uint8_t* p = data_ + offset;
    const uint8_t* const end = data_ + tableOffset_;
    const uint8_t marker = *p++;
    const uint8_t low = marker & 0xF;
    const auto available = [&]() { return static_cast<uint64_t>(end - p); };

    Object& o = *out;
    o = Object{};
    o.start = p - 1;
    switch (marker >> 4) {
        case 0x0:
            if (low == 0x0) {
                o.kind = Kind::Null;
            } else if (low == 0x8 || low == 0x9) {
                o.kind = Kind::Bool;
                o.boolean = low == 0x9;
            } else {
                return Damage::BadObject;
            }
            return Damage::None;
        case 0x1: {
            if (low <= 3) {
                const unsigned width = 1u << low;
                if (available() < width) return Damage::BadObject;
                o.kind = Kind::Int;
                o.integer =
                    static_cast<int64_t>(readBigEndian(p, width));  // 8 bytes: two's complement
                return Damage::None;
            }
            if (low == 4) {
                if (available() < 16) return Damage::BadObject;
                o.kind = Kind::BigInt;
                o.bigHigh = readBigEndian(p, 8);
                o.integer = static_cast<int64_t>(readBigEndian(p + 8, 8));
                o.payload = p;
                return Damage::None;
            }
            return Damage::BadObject;
        }
        case 0x2:
            if (low == 2 && available() >= 4) {
                o.kind = Kind::Real32;
                o.real = realFromBits32(readBigEndian(p, 4));
                return Damage::None;
            }
            if (low == 3 && available() >= 8) {
                o.kind = Kind::Real64;
                o.real = realFromBits64(readBigEndian(p, 8));
                return Damage::None;
            }
            return Damage::BadObject;
        case 0x3:
            if (low != 3 || available() < 8) return Damage::BadObject;
            o.kind = Kind::Date;
            o.real = realFromBits64(readBigEndian(p, 8));
            return Damage::None;
        case 0x4:
        case 0x5:
        case 0x6:
        case 0x7: {
            static constexpr Kind kinds[] = {Kind::Data, Kind::Ascii, Kind::Utf16, Kind::Utf8};
            o.kind = kinds[(marker >> 4) - 4];
            if (Damage d = readCount(low, p, &o.count); d != Damage::None) return d;
            const uint64_t unit = o.kind == Kind::Utf16 ? 2 : 1;
            if (o.count > available() / unit) return Damage::CountTooLarge;
            o.payload = p;
            return Damage::None;
        }
        case 0x8: {
            const unsigned width = low + 1u;
            if (width > 8 || available() < width) return Damage::BadObject;
            const uint64_t v = readBigEndian(p, width);
            if (v > uint64_t{INT64_MAX}) return Damage::RefOutOfRange;
            o.kind = Kind::Uid;
            o.integer = static_cast<int64_t>(v);
            return Damage::None;
        }
        case 0xA:
        case 0xC:
        case 0xD: {
            o.kind = (marker >> 4) == 0xA   ? Kind::Array
                     : (marker >> 4) == 0xC ? Kind::Set
                                            : Kind::Dict;
            if (Damage d = readCount(low, p, &o.count); d != Damage::None) return d;
            const uint64_t perEntry = uint64_t{refSize_} * (o.kind == Kind::Dict ? 2 : 1);
            if (o.count > available() / perEntry) return Damage::CountTooLarge;
            o.payload = p;
            return Damage::None;
        }
        default:
            return Damage::BadObject;
    }
}

bool Reader::equalsAscii(const Object& s, const char* ascii, size_t n) {
    if (s.count != n) return false;
    if (s.kind == Kind::Ascii || s.kind == Kind::Utf8) return std::memcmp(s.payload, ascii, n) == 0;
    if (s.kind == Kind::Utf16) {
        for (size_t i = 0; i < n; ++i)
            if (s.payload[2 * i] != 0 || s.payload[2 * i + 1] != static_cast<uint8_t>(ascii[i]))
                return false;
        return true;
    }
    return false;
}

}  // namespace quandor::archive::bplist
