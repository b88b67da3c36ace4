#pragma once
// The values a record's properties, the database root and the transfer files hold.
//
// A Value is one of: nil (a key encoded with a nil object: present but empty),
// boolean, integer, real (money and percentages are 32-bit floats; a real read
// as an 8-byte double keeps that width), text, date, binary data, icon, list,
// dictionary, record or an opaque object of a class the program does not know.
//
// Readers of the program treat a missing key as empty text, 0 or false; the
// to*() accessors implement exactly that, so callers never branch on the type.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace quandor {

class Record;
class Value;
class Dict;
using RecordPtr = std::shared_ptr<Record>;
using RecordList = std::vector<RecordPtr>;
using ValueList = std::vector<Value>;

// A point in time, kept as seconds since 2001-01-01T00:00:00Z (the reference
// date of the archive format), so a date survives read and write bit for bit.
struct Date {
    double sinceReference = 0.0;

    static constexpr double kReferenceFromUnix = 978307200.0;
    static Date fromUnix(double unixSeconds) { return {unixSeconds - kReferenceFromUnix}; }
    double toUnix() const { return sinceReference + kReferenceFromUnix; }
    bool operator==(const Date&) const = default;
};

struct Real {
    double value = 0.0;
    bool wide = false;  // stored as an 8-byte double rather than a 32-bit float
    bool operator==(const Real&) const = default;
};

// An archived object kept as it was read, so that it is written back unchanged.
// The archive layer owns the meaning of `raw`.
struct OpaqueObject {
    QString className;
    std::shared_ptr<const void> raw;
};

// A record's list icon. New records carry a name only; an icon read from a file
// also keeps the archived image object so that it is written back unchanged.
struct Icon {
    QString name;             // empty when the archived image has no name
    int representations = 0;  // number of image representations of an unnamed image
    std::shared_ptr<const void> raw;
};

struct Null {
    bool operator==(const Null&) const = default;
};

class Value {
  public:
    enum class Type : uint8_t {
        Null,
        Bool,
        Int,
        Real,
        String,
        Date,
        Data,
        Icon,
        List,
        Dict,
        Record,
        Opaque
    };

    Value() = default;  // nil
    Value(bool b) : v_(b) {}
    Value(int i) : v_(int64_t{i}) {}
    Value(int64_t i) : v_(i) {}
    Value(float f) : v_(Real{f, false}) {}
    Value(Real r) : v_(r) {}
    Value(const QString& s) : v_(s) {}
    Value(const char16_t* s) : v_(QString::fromUtf16(s)) {}
    Value(Date d) : v_(d) {}
    Value(const QByteArray& data) : v_(data) {}
    Value(std::shared_ptr<const Icon> icon) : v_(std::move(icon)) {}
    Value(std::shared_ptr<ValueList> list) : v_(std::move(list)) {}
    Value(std::shared_ptr<Dict> dict) : v_(std::move(dict)) {}
    Value(RecordPtr record) : v_(std::move(record)) {}
    Value(std::shared_ptr<const OpaqueObject> opaque) : v_(std::move(opaque)) {}

    static Value real(double d, bool wide) { return Value(Real{d, wide}); }
    static Value icon(const QString& name);
    static Value list(ValueList items);

    Type type() const { return static_cast<Type>(v_.index()); }
    bool isNull() const { return type() == Type::Null; }

    // Lenient readers: a value of another type reads as the program always read it.
    bool toBool() const;
    int64_t toInt() const;
    float toFloat() const;
    double toDouble() const;
    QString toString() const;  // numbers as their plain text, other kinds empty
    Date toDate() const;       // non-dates read as the reference date

    // Exact accessors; valid only for the matching type.
    bool asBool() const { return std::get<bool>(v_); }
    int64_t asInt() const { return std::get<int64_t>(v_); }
    const Real& asReal() const { return std::get<Real>(v_); }
    const QString& asString() const { return std::get<QString>(v_); }
    const Date& asDate() const { return std::get<Date>(v_); }
    const QByteArray& asData() const { return std::get<QByteArray>(v_); }
    const Icon& asIcon() const { return *std::get<std::shared_ptr<const Icon>>(v_); }
    const std::shared_ptr<const Icon>& iconPtr() const {
        return std::get<std::shared_ptr<const Icon>>(v_);
    }
    const std::shared_ptr<ValueList>& asList() const {
        return std::get<std::shared_ptr<ValueList>>(v_);
    }
    const std::shared_ptr<Dict>& asDict() const { return std::get<std::shared_ptr<Dict>>(v_); }
    const RecordPtr& asRecord() const { return std::get<RecordPtr>(v_); }
    const std::shared_ptr<const OpaqueObject>& asOpaque() const {
        return std::get<std::shared_ptr<const OpaqueObject>>(v_);
    }

    // Icon name, or empty when the value is no icon (also used for plain-text icons).
    QString iconName() const;

    // Structural equality: records, lists and dictionaries compare by content.
    bool operator==(const Value& other) const;

  private:
    // The variant's 24 bytes of storage and its one-byte index leave 7 bytes
    // of tail padding; marked so, an enclosing struct may place a small member
    // there (Dict::Entry keeps its key in it: 32 bytes an entry, not 40).
    [[no_unique_address]] std::variant<Null, bool, int64_t, Real, QString, Date, QByteArray,
                                       std::shared_ptr<const Icon>, std::shared_ptr<ValueList>,
                                       std::shared_ptr<Dict>, RecordPtr,
                                       std::shared_ptr<const OpaqueObject>>
        v_;
};

// A key of a dictionary, interned: equal texts share one id, so a properties
// map stores 4 bytes per key and looks keys up by integer comparison.
class Key {
  public:
    Key() = default;  // the empty key
    explicit Key(QStringView name);
    Key(const char16_t* name) : Key(QStringView(name)) {}
    Key(const QString& name) : Key(QStringView(name)) {}

    // Interns `name` unless the table is full (only a hostile file gets there).
    static std::optional<Key> tryIntern(QStringView name);

    const QString& name() const;
    uint32_t id() const { return id_; }
    bool operator==(const Key&) const = default;

  private:
    explicit Key(uint32_t id, int) : id_(id) {}
    uint32_t id_ = 0;
};

// An ordered text-keyed map. Order is the order of insertion (or of the file);
// the archive format does not give it a meaning, but keeping it makes output stable.
class Dict {
  public:
    // The value comes first so that the key fills its tail padding: a
    // database of 100,000 items holds millions of entries.
    struct Entry {
        Entry() = default;
        Entry(Key k, Value&& v) : value(std::move(v)), key(k) {}
        Entry(Key k, const Value& v) : value(v), key(k) {}
        [[no_unique_address]] Value value;
        Key key;
    };

    Dict() = default;
    Dict(std::initializer_list<Entry> entries) : entries_(entries) {}

    const Value* find(Key key) const;
    Value* find(Key key);
    bool contains(Key key) const { return find(key) != nullptr; }
    Value value(Key key) const;  // nil when missing
    void set(Key key, Value value);
    bool remove(Key key);

    void reserve(size_t n) { entries_.reserve(n); }
    // Appends without looking for an existing entry (readers of fresh maps).
    // (Built in place: a value moved through a temporary entry costs two more
    // moves, which a large file's reading pays millions of times.)
    void append(Key key, Value value) { entries_.emplace_back(key, std::move(value)); }
    size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    const std::vector<Entry>& entries() const { return entries_; }
    std::vector<Entry>::const_iterator begin() const { return entries_.begin(); }
    std::vector<Entry>::const_iterator end() const { return entries_.end(); }

    // Lenient readers of one key (missing = empty text, 0, false).
    QString text(Key key) const;
    int64_t integer(Key key) const;
    float real(Key key) const;
    bool flag(Key key) const;
    Date date(Key key) const;

    bool operator==(const Dict& other) const;

  private:
    std::vector<Entry> entries_;
};

// Reads a number the way the program always read typed text: leading white
// space, an optional sign, digits with "." as the decimal point and an optional
// exponent; anything after that is ignored and text without a number reads 0.
double leadingNumber(QStringView text);

}  // namespace quandor
