#pragma once
// Archived objects kept as they were read, for values the program does not
// interpret: objects of unknown classes (OpaqueObject::raw) and archived images
// (Icon::raw). Writing them back reproduces the same property-list values and
// the same object graph (sharing and even cycles included), with the object
// numbers of the new file.
//
// One RawStore holds every kept object of one read; each object is copied once
// however many opaque values reach it, so memory stays proportional to the
// file. A kept object is a small property-list tree of RawNodes whose UIDs
// name other kept objects of the same store (0 = nil).

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace quandor::archive {

struct RawNode {
    enum class Kind : uint8_t {
        Null,
        Bool,
        Int,
        BigInt,
        Real32,
        Real64,
        Date,
        Data,
        String,
        Uid,
        Array,
        Set,
        Dict
    };
    Kind kind = Kind::Null;
    uint32_t index =
        0;  // String: into strings; Data, BigInt: into blobs; containers: first child in children
    uint64_t value =
        0;  // Bool/Int: the value; Real/Date: the bits; Uid: kept object id; containers: entries
};

struct RawStore {
    std::vector<RawNode> nodes;
    std::vector<uint32_t> children;  // node indices; a Dict's entries are key, value pairs
    std::vector<QString> strings;
    std::vector<QByteArray> blobs;
    std::vector<uint32_t> objects{0};  // kept object id → its root node; id 0 is nil
};

// What OpaqueObject::raw and Icon::raw point to: one object of a store.
struct RawRef {
    std::shared_ptr<const RawStore> store;
    uint32_t object = 0;
};

}  // namespace quandor::archive
