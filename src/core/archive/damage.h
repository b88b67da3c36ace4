#pragma once
// What can be wrong with an archive file, and the German text the person reads.
//
// Every refusal of the reader is one of these codes; the message is always
// "Die Datei ist beschädigt oder keine Quandor-Datei." followed by the short
// detail in parentheses, so the person and the support both learn what broke.

#include <QString>

#include <cstdint>

namespace quandor::archive {

enum class Damage : uint8_t {
    None,
    Empty,             // no bytes at all
    UnknownFormat,     // neither "bplist0…" nor XML
    TooShort,          // shorter than header + trailer
    BadTrailer,        // trailer fields out of range
    OffsetOutOfRange,  // an offset table entry points outside the object area
    RefOutOfRange,     // a reference names no object
    BadObject,         // an unknown marker or a malformed object
    CountTooLarge,     // a count larger than the bytes that follow
    TooDeep,           // nesting beyond the limit
    Cycle,             // an object that contains itself
    TooLarge,          // more values than the file can honestly describe
    TooManyKeys,       // the program's table of dictionary keys is full
    NotKeyedArchive,   // "$archiver" is not "NSKeyedArchiver"
    BadVersion,        // "$version" is not 100000
    MissingTop,        // no "$top" dictionary with "root"
    MissingObjects,    // no "$objects" array
    NotDictionary,     // a dictionary was expected (top, properties, class, object)
    NotList,           // a list was expected
    UnexpectedObject,  // a value of a kind that cannot stand where it stands
    MissingClass,      // an object without a usable "$class"
    BadText,           // a text that cannot be decoded
    BadXml,            // the XML form could not be parsed
    UnknownEntry,      // a record lacks an entry of its class and holds an unknown one instead
};

// The short German detail of a damage code.
QString damageDetail(Damage d);

// "Die Datei ist beschädigt oder keine Quandor-Datei. (detail)"
QString damageMessage(Damage d);

}  // namespace quandor::archive
