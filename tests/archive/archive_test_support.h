#pragma once
// Helpers shared by the keyed-archive tests and the sample writer of the
// independent (Python) cross-check.

#include "core/value.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace quandor::archive::test {

// tests/data/keyed-archive/NAME
QString fixturePath(const QString& name);
QByteArray fixtureBytes(const QString& name);
// NAME.expected.json without its final newline.
QByteArray expectedDump(const QString& name);

// A database root with every record class, every value type, shared records,
// nil and missing entries, astral characters and control characters. Kept
// subtrees (an image made of representations, an object of an unknown class)
// are spliced in from archives read by archive::read.
Value sampleDatabase();

// A keyed archive (built with libplist, independent of our writer) whose root
// dictionary holds {"future": object of class "QuandorFuture"} with a nested
// array, a self-reference, a text, a real and a reference to an Item record
// that is also in "items".
QByteArray archiveWithUnknownClass();

// A hand-made binary property list: objects given as raw bytes, assembled with
// an offset table and trailer. Used to build damaged files byte by byte.
struct HandPlist {
    std::vector<std::string> objects;
    uint64_t top = 0;
    unsigned refSize = 1;
    unsigned offsetSize = 2;

    size_t add(std::string bytes) {
        objects.push_back(std::move(bytes));
        return objects.size() - 1;
    }
    QByteArray bytes() const;

    // Encoders of single objects (references are refSize wide).
    static std::string ascii(const std::string& s);
    static std::string integer(int64_t v);
    static std::string uid(uint64_t v);
    static std::string real32(float v);
    static std::string real64(double v);
    static std::string date(double sinceReference);
    static std::string utf16(const std::u16string& s);
    static std::string utf8(const std::string& s);  // marker 0x7n
    static std::string data(const std::string& bytes);
    std::string array(std::initializer_list<uint64_t> refs) const;
    std::string array(const std::vector<uint64_t>& refs) const;
    std::string dict(std::initializer_list<uint64_t> keys,
                     std::initializer_list<uint64_t> values) const;
    std::string dict(const std::vector<uint64_t>& keys, const std::vector<uint64_t>& values) const;
};

// A keyed archive assembled by hand: "$objects" entries given as HandPlist
// objects; the top dictionary, "$top" and the "$objects" array are added.
struct HandArchive {
    HandPlist plist;
    std::vector<uint64_t> objectRefs;  // archive index → plist object
    uint64_t rootIndex = 1;
    std::string archiver = "NSKeyedArchiver";
    int64_t version = 100000;
    bool withTop = true;

    HandArchive();
    // Adds an archive object (one plist object) and returns its archive index.
    uint64_t object(std::string bytes);
    // Adds a plist object that is not itself an archive object (keys, arrays).
    uint64_t plistObject(std::string bytes) { return plist.add(std::move(bytes)); }
    QByteArray bytes();

    // Shapes of Foundation archives. Entry values are plist object refs
    // (make them with uidRef() or plistObject()).
    uint64_t text(const std::string& s) { return object(HandPlist::ascii(s)); }
    uint64_t key(const std::string& name);  // a plist string, shared by name
    uint64_t uidRef(uint64_t index) { return plistObject(HandPlist::uid(index)); }
    uint64_t classDict(const std::string& name, const std::vector<std::string>& chain);
    uint64_t classDict(const std::string& name) { return classDict(name, {name, "NSObject"}); }
    uint64_t instance(uint64_t classIndex,
                      const std::vector<std::pair<std::string, uint64_t>>& entries);
    uint64_t nsArray(const std::vector<uint64_t>& elementIndices);
    uint64_t nsDictionary(const std::vector<uint64_t>& keyIndices,
                          const std::vector<uint64_t>& valueIndices);
    uint64_t record(const std::string& cls,
                    const std::vector<std::pair<std::string, uint64_t>>& entries);

  private:
    std::vector<std::pair<std::string, uint64_t>> keys_;
    std::vector<std::pair<std::string, uint64_t>> classes_;
};

}  // namespace quandor::archive::test
