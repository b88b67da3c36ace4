#include "core/archive/bplist_writer.h"

#include "core/archive/flat_hash.h"

#include <QIODevice>

#include <algorithm>
#include <cassert>
#include <cstring>

namespace quandor::archive::bplist {

namespace {

// The smallest of 1, 2, 4 and 8 bytes that holds `v`: the widths of integers
// and UIDs (CF's _appendInt and _appendUID).
unsigned widthFor(uint64_t v) {
    if (v <= 0xFFu) return 1;
    if (v <= 0xFFFFu) return 2;
    if (v <= 0xFFFFFFFFu) return 4;
    return 8;
}

// The number of bytes `v` needs, 1 to 8: the widths of object references and
// offsets. CF's writer sizes references by the object count and offsets by
// the offset table's own offset, and its reader refuses a file where
// 2^(8·width) does not exceed those.
unsigned bytesFor(uint64_t v) {
    unsigned n = 1;
    while (n < 8 && (v >> (8 * n)) != 0) ++n;
    return n;
}

unsigned log2Width(unsigned width) {
    return width == 1 ? 0 : width == 2 ? 1 : width == 4 ? 2 : 3;
}

void storeBigEndian(uint8_t* p, uint64_t v, unsigned width) {
    for (unsigned i = width; i-- > 0;) {
        p[i] = static_cast<uint8_t>(v);
        v >>= 8;
    }
}

// Bytes of a marker with its count: the count rides in the marker below 15,
// else it follows as an integer object.
size_t countedMarkerSize(uint64_t count) {
    return count < 15 ? 1 : 2 + widthFor(count);
}

uint8_t* writeCountedMarker(uint8_t* p, uint8_t high, uint64_t count) {
    if (count < 15) {
        *p++ = static_cast<uint8_t>(high | count);
        return p;
    }
    *p++ = static_cast<uint8_t>(high | 0xF);
    const unsigned w = widthFor(count);
    *p++ = static_cast<uint8_t>(0x10 | log2Width(w));
    storeBigEndian(p, count, w);
    return p + w;
}

}  // namespace

Builder::Builder() = default;

void Builder::putBigEndian(uint64_t v, unsigned width) {
    const size_t at = scalars_.size();
    scalars_.resizeUninitialized(at + width);
    storeBigEndian(scalars_.data() + at, v, width);
}

void Builder::putCountedMarker(uint8_t high, uint64_t count) {
    if (count < 15) {
        put(static_cast<uint8_t>(high | count));
        return;
    }
    put(static_cast<uint8_t>(high | 0xF));
    const unsigned w = widthFor(count);
    put(static_cast<uint8_t>(0x10 | log2Width(w)));
    putBigEndian(count, w);
}

void Builder::grow() {
    BigVector<Slot> old;
    old.swap(table_);
    table_.assign(old.empty() ? 1024 : old.size() * 2, Slot{0, 0});
    const size_t mask = table_.size() - 1;
    for (const Slot& s : old) {
        if (!s.refPlusOne) continue;
        size_t i = s.hash & mask;
        while (table_[i].refPlusOne) i = (i + 1) & mask;
        table_[i] = s;
    }
}

Builder::Ref Builder::intern(size_t start) {
    if (!merging_) return append(start);
    const size_t length = scalars_.size() - start;
    const uint8_t* bytes = scalars_.data() + start;
    const uint32_t hash = static_cast<uint32_t>(hashBytes(bytes, length));
    if ((tableUsed_ + 1) * 2 > table_.size()) grow();
    const size_t mask = table_.size() - 1;
    size_t i = hash & mask;
    for (;; i = (i + 1) & mask) {
        const Slot& s = table_[i];
        if (!s.refPlusOne) break;
        if (s.hash != hash) continue;
        const Obj& o = objects_[s.refPlusOne - 1];
        if (o.length == length && std::memcmp(scalars_.data() + o.offset, bytes, length) == 0) {
            scalars_.truncate(start);  // an equal scalar exists: drop the new bytes
            return s.refPlusOne - 1;
        }
    }
    const Ref r = static_cast<Ref>(objects_.size());
    objects_.push_back({start, static_cast<uint32_t>(length), ObjKind::Scalar});
    table_[i] = {hash, r + 1};
    ++tableUsed_;
    return r;
}

Builder::Ref Builder::append(size_t start) {
    const Ref r = static_cast<Ref>(objects_.size());
    objects_.push_back({start, static_cast<uint32_t>(scalars_.size() - start), ObjKind::Scalar});
    return r;
}

Builder::Ref Builder::string(QStringView s) {
    const size_t start = begin();
    const char16_t* u = s.utf16();
    const size_t n = static_cast<size_t>(s.size());
    bool ascii = true;
    for (size_t i = 0; i < n; ++i) {
        if (u[i] >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) {
        putCountedMarker(0x50, n);
        const size_t at = scalars_.size();
        scalars_.resizeUninitialized(at + n);
        uint8_t* p = scalars_.data() + at;
        for (size_t i = 0; i < n; ++i) p[i] = static_cast<uint8_t>(u[i]);
    } else {
        putCountedMarker(0x60, n);
        const size_t at = scalars_.size();
        scalars_.resizeUninitialized(at + 2 * n);
        uint8_t* p = scalars_.data() + at;
        for (size_t i = 0; i < n; ++i) {
            p[2 * i] = static_cast<uint8_t>(u[i] >> 8);
            p[2 * i + 1] = static_cast<uint8_t>(u[i]);
        }
    }
    return intern(start);
}

Builder::Ref Builder::ascii(std::string_view s) {
    const size_t start = begin();
    putCountedMarker(0x50, s.size());
    put(s.data(), s.size());
    return intern(start);
}

Builder::Ref Builder::integer(int64_t v) {
    const size_t start = begin();
    if (v < 0 || static_cast<uint64_t>(v) > 0xFFFFFFFFu) {
        put(0x13);
        putBigEndian(static_cast<uint64_t>(v), 8);
    } else {
        const unsigned w = widthFor(static_cast<uint64_t>(v));
        put(static_cast<uint8_t>(0x10 | log2Width(w)));
        putBigEndian(static_cast<uint64_t>(v), w);
    }
    return intern(start);
}

Builder::Ref Builder::real32(float v) {
    const size_t start = begin();
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    put(0x22);
    putBigEndian(bits, 4);
    return intern(start);
}

Builder::Ref Builder::real64(double v) {
    const size_t start = begin();
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    put(0x23);
    putBigEndian(bits, 8);
    return intern(start);
}

Builder::Ref Builder::boolean(bool b) {
    const size_t start = begin();
    put(b ? 0x09 : 0x08);
    return intern(start);
}

Builder::Ref Builder::null() {
    const size_t start = begin();
    put(0x00);
    return intern(start);
}

Builder::Ref Builder::date(double sinceReference) {
    const size_t start = begin();
    uint64_t bits;
    std::memcpy(&bits, &sinceReference, 8);
    put(0x33);
    putBigEndian(bits, 8);
    return intern(start);
}

Builder::Ref Builder::data(const char* bytes, size_t n) {
    const size_t start = begin();
    putCountedMarker(0x40, n);
    put(bytes, n);
    return intern(start);
}

Builder::Ref Builder::uid(uint64_t v) {
    const size_t start = begin();
    const unsigned w = widthFor(v);
    put(static_cast<uint8_t>(0x80 | (w - 1)));
    putBigEndian(v, w);
    return intern(start);
}

Builder::Ref Builder::uidUnmerged(uint64_t v) {
    const size_t start = begin();
    const unsigned w = widthFor(v);
    put(static_cast<uint8_t>(0x80 | (w - 1)));
    putBigEndian(v, w);
    return append(start);
}

Builder::Ref Builder::bigInt(uint64_t high, uint64_t low) {
    const size_t start = begin();
    put(0x14);
    putBigEndian(high, 8);
    putBigEndian(low, 8);
    return intern(start);
}

Builder::Ref Builder::copyScalar(Ref r) {
    const Obj o = objects_[r];
    assert(o.kind == ObjKind::Scalar);
    const size_t start = begin();
    scalars_.resizeUninitialized(start + o.length);
    std::memcpy(scalars_.data() + start, scalars_.data() + o.offset, o.length);
    return append(start);
}

Builder::Ref Builder::container(ObjKind kind, const Ref* refs, size_t n, const Ref* values) {
    const Ref r = static_cast<Ref>(objects_.size());
    objects_.push_back({refs_.size(), static_cast<uint32_t>(n), kind});
    refs_.append(refs, n);
    if (values) refs_.append(values, n);
    return r;
}

Builder::Ref Builder::arrayLike(Ref earlier) {
    const Obj o = objects_[earlier];
    assert(o.kind == ObjKind::Array);
    const Ref r = static_cast<Ref>(objects_.size());
    objects_.push_back(o);
    return r;
}

Builder::Ref Builder::array(const Ref* refs, size_t n) {
    return container(ObjKind::Array, refs, n, nullptr);
}

Builder::Ref Builder::set(const Ref* refs, size_t n) {
    return container(ObjKind::Set, refs, n, nullptr);
}

Builder::Ref Builder::dict(const Ref* keys, const Ref* values, size_t n) {
    return container(ObjKind::Dict, keys, n, values);
}

Builder::Ref Builder::reserve() {
    const Ref r = static_cast<Ref>(objects_.size());
    objects_.push_back({0, 0, ObjKind::Unset});
    return r;
}

void Builder::setDict(Ref r, const Ref* keys, const Ref* values, size_t n) {
    assert(objects_[r].kind == ObjKind::Unset);
    objects_[r] = {refs_.size(), static_cast<uint32_t>(n), ObjKind::Dict};
    refs_.append(keys, n);
    refs_.append(values, n);
}

namespace {

void storeRefs(uint8_t* p, const uint32_t* r, size_t n, unsigned refSize) {
    switch (refSize) {
        case 1:
            for (size_t i = 0; i < n; ++i) *p++ = static_cast<uint8_t>(r[i]);
            break;
        case 2:
            for (size_t i = 0; i < n; ++i, p += 2) {
                p[0] = static_cast<uint8_t>(r[i] >> 8);
                p[1] = static_cast<uint8_t>(r[i]);
            }
            break;
        case 3:
            for (size_t i = 0; i < n; ++i, p += 3) {
                p[0] = static_cast<uint8_t>(r[i] >> 16);
                p[1] = static_cast<uint8_t>(r[i] >> 8);
                p[2] = static_cast<uint8_t>(r[i]);
            }
            break;
        default:
            for (size_t i = 0; i < n; ++i, p += refSize) storeBigEndian(p, r[i], refSize);
            break;
    }
}

// Outputs of Builder::emitTo. take(n) hands out n writable bytes (n ≤ kPiece);
// put() copies a block of any size.
constexpr size_t kPiece = 64 * 1024;

struct WholeBuffer {
    uint8_t* p;
    uint8_t* take(size_t n) {
        uint8_t* r = p;
        p += n;
        return r;
    }
    void put(const void* data, size_t n) {
        if (n) std::memcpy(take(n), data, n);
    }
};

struct ChunkedDevice {
    explicit ChunkedDevice(QIODevice& d) : device(d), buffer(1 << 20) {}
    QIODevice& device;
    std::vector<uint8_t> buffer;
    size_t used = 0;
    bool failed = false;

    uint8_t* take(size_t n) {
        if (used + n > buffer.size()) flush();
        uint8_t* r = buffer.data() + used;
        used += n;
        return r;
    }
    void put(const void* data, size_t n) {
        if (n <= kPiece) {
            if (n) std::memcpy(take(n), data, n);
            return;
        }
        flush();
        write(static_cast<const char*>(data), n);
    }
    void flush() {
        write(reinterpret_cast<const char*>(buffer.data()), used);
        used = 0;
    }
    void write(const char* data, size_t n) {
        if (failed || !n) return;
        if (device.write(data, static_cast<qint64>(n)) != static_cast<qint64>(n)) failed = true;
    }
};

}  // namespace

Builder::Layout Builder::layout() const {
    Layout l;
    l.count = objects_.size();
    l.refSize = bytesFor(l.count);
    uint64_t position = 8;
    for (const Obj& o : objects_) position += sizeOf(o, l.refSize);
    l.tableOffset = position;
    l.offsetSize = bytesFor(l.tableOffset);
    l.total = l.tableOffset + l.count * l.offsetSize + 32;
    return l;
}

uint64_t Builder::sizeOf(const Obj& o, unsigned refSize) {
    switch (o.kind) {
        case ObjKind::Scalar:
            return o.length;
        case ObjKind::Array:
        case ObjKind::Set:
            return countedMarkerSize(o.length) + uint64_t{o.length} * refSize;
        case ObjKind::Dict:
            return countedMarkerSize(o.length) + 2 * uint64_t{o.length} * refSize;
        case ObjKind::Unset:
            return 1;  // never left so by the writer; an empty dictionary
    }
    return 1;
}

template <class Out>
void Builder::emitTo(const Layout& l, Ref top, Out& out) const {
    out.put("bplist00", 8);
    for (const Obj& o : objects_) {
        switch (o.kind) {
            case ObjKind::Scalar:
                out.put(scalars_.data() + o.offset, o.length);
                break;
            case ObjKind::Array:
            case ObjKind::Set:
            case ObjKind::Dict: {
                const uint8_t high = o.kind == ObjKind::Array ? 0xA0
                                     : o.kind == ObjKind::Set ? 0xC0
                                                              : 0xD0;
                writeCountedMarker(out.take(countedMarkerSize(o.length)), high, o.length);
                const uint64_t n = o.kind == ObjKind::Dict ? 2 * uint64_t{o.length} : o.length;
                const Ref* r = refs_.data() + o.offset;
                const size_t batch = kPiece / l.refSize;
                for (uint64_t done = 0; done < n; done += batch) {
                    const size_t m = static_cast<size_t>(std::min<uint64_t>(batch, n - done));
                    storeRefs(out.take(m * l.refSize), r + done, m, l.refSize);
                }
                break;
            }
            case ObjKind::Unset:
                *out.take(1) = 0xD0;
                break;
        }
    }
    uint64_t position = 8;
    for (const Obj& o : objects_) {
        storeBigEndian(out.take(l.offsetSize), position, l.offsetSize);
        position += sizeOf(o, l.refSize);
    }
    assert(position == l.tableOffset);
    uint8_t* trailer = out.take(32);
    std::memset(trailer, 0, 6);
    trailer[6] = static_cast<uint8_t>(l.offsetSize);
    trailer[7] = static_cast<uint8_t>(l.refSize);
    storeBigEndian(trailer + 8, l.count, 8);
    storeBigEndian(trailer + 16, top, 8);
    storeBigEndian(trailer + 24, l.tableOffset, 8);
}

QByteArray Builder::finish(Ref top) const {
    const Layout l = layout();
    QByteArray bytes;
    bytes.resize(static_cast<qsizetype>(l.total));
    adviseHugePages(bytes.data(), l.total);
    WholeBuffer out{reinterpret_cast<uint8_t*>(bytes.data())};
    emitTo(l, top, out);
    assert(out.p == reinterpret_cast<uint8_t*>(bytes.data()) + l.total);
    return bytes;
}

bool Builder::finish(Ref top, QIODevice& device) const {
    const Layout l = layout();
    ChunkedDevice out(device);
    emitTo(l, top, out);
    out.flush();
    return !out.failed;
}

}  // namespace quandor::archive::bplist
