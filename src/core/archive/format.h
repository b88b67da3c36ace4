#pragma once
// Every name of the keyed-archive format in one place (docs/FILE_FORMAT.md): the top
// keys, the keys Foundation classes archive under, the class names and the
// class chains the writer stores. Record keys and class names of the program's
// own records live in core/keys.h; the four record entry names are repeated
// here as plain ASCII because the reader compares them with file bytes.

#include <cstdint>

namespace quandor::archive::names {

// Top dictionary.
inline constexpr char archiver[] = "$archiver";
inline constexpr char keyedArchiver[] = "NSKeyedArchiver";
inline constexpr char version[] = "$version";
inline constexpr int64_t kVersion = 100000;
inline constexpr char top[] = "$top";
inline constexpr char root[] = "root";
inline constexpr char objects[] = "$objects";
inline constexpr char null[] = "$null";

// Object and class dictionaries.
inline constexpr char classKey[] = "$class";
inline constexpr char classname[] = "$classname";
inline constexpr char classes[] = "$classes";

// Foundation entries.
inline constexpr char nsKeys[] = "NS.keys";
inline constexpr char nsObjects[] = "NS.objects";
inline constexpr char nsString[] = "NS.string";
inline constexpr char nsBytes[] = "NS.bytes";
inline constexpr char nsTime[] = "NS.time";
inline constexpr char nsData[] = "NS.data";
inline constexpr char nsName[] = "NSName";
inline constexpr char nsImageName[] = "NSImageName";
inline constexpr char nsReps[] = "NSReps";

// Record entries (the same texts as keys::properties, thelists, items, files).
inline constexpr char properties[] = "properties";
inline constexpr char thelists[] = "thelists";
inline constexpr char items[] = "items";
inline constexpr char files[] = "files";

// XML form: a UID is written as {"CF$UID": n}.
inline constexpr char xmlUid[] = "CF$UID";

// Classes.
inline constexpr char NSObject[] = "NSObject";
inline constexpr char NSDictionary[] = "NSDictionary";
inline constexpr char NSMutableDictionary[] = "NSMutableDictionary";
inline constexpr char NSArray[] = "NSArray";
inline constexpr char NSMutableArray[] = "NSMutableArray";
inline constexpr char NSString[] = "NSString";
inline constexpr char NSMutableString[] = "NSMutableString";
inline constexpr char NSDate[] = "NSDate";
inline constexpr char NSData[] = "NSData";
inline constexpr char NSMutableData[] = "NSMutableData";
inline constexpr char NSImage[] = "NSImage";

}  // namespace quandor::archive::names
