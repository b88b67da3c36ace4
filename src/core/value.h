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

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <type_traits>
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
    Value(bool b) : type_(Type::Bool) { p_.b = b; }
    Value(int i) : type_(Type::Int) { p_.i = i; }
    Value(int64_t i) : type_(Type::Int) { p_.i = i; }
    Value(float f) : type_(Type::Real) { p_.d = f; }
    Value(Real r) : type_(Type::Real), wide_(r.wide) { p_.d = r.value; }
    Value(const QString& s) : Value(Type::String, new Box<QString>(s)) {}
    Value(const char16_t* s) : Value(QString::fromUtf16(s)) {}
    Value(Date d) : type_(Type::Date) { p_.date = d; }
    Value(const QByteArray& data) : Value(Type::Data, new Box<QByteArray>(data)) {}
    Value(std::shared_ptr<const Icon> icon) : Value(Type::Icon, boxed(std::move(icon))) {}
    Value(std::shared_ptr<ValueList> list) : Value(Type::List, boxed(std::move(list))) {}
    Value(std::shared_ptr<Dict> dict) : Value(Type::Dict, boxed(std::move(dict))) {}
    Value(RecordPtr record) : Value(Type::Record, boxed(std::move(record))) {}
    Value(std::shared_ptr<const OpaqueObject> opaque)
        : Value(Type::Opaque, boxed(std::move(opaque))) {}

    Value(const Value& other) noexcept : p_(other.p_), type_(other.type_), wide_(other.wide_) {
        if (isBoxed()) p_.box->refs.fetch_add(1, std::memory_order_relaxed);
    }
    Value(Value&& other) noexcept : p_(other.p_), type_(other.type_), wide_(other.wide_) {
        other.type_ = Type::Null;
    }
    Value& operator=(const Value& other) noexcept {
        Value copy(other);
        swap(copy);
        return *this;
    }
    Value& operator=(Value&& other) noexcept {
        Value moved(std::move(other));
        swap(moved);
        return *this;
    }
    ~Value() {
        if (isBoxed()) release();
    }

    static Value real(double d, bool wide) { return Value(Real{d, wide}); }
    static Value icon(const QString& name);
    static Value list(ValueList items);

    Type type() const { return type_; }
    bool isNull() const { return type_ == Type::Null; }

    // Lenient readers: a value of another type reads as the program always read it.
    bool toBool() const;
    int64_t toInt() const;
    float toFloat() const;
    double toDouble() const;
    QString toString() const;  // numbers as their plain text, other kinds empty
    Date toDate() const;       // non-dates read as the reference date

    // Exact accessors; valid only for the matching type (another throws std::bad_variant_access).
    bool asBool() const { return expect(Type::Bool).b; }
    int64_t asInt() const { return expect(Type::Int).i; }
    Real asReal() const { return Real{expect(Type::Real).d, wide_}; }
    const QString& asString() const { return unbox<QString>(Type::String); }
    const Date& asDate() const { return expect(Type::Date).date; }
    const QByteArray& asData() const { return unbox<QByteArray>(Type::Data); }
    const Icon& asIcon() const { return *iconPtr(); }
    const std::shared_ptr<const Icon>& iconPtr() const {
        return unbox<std::shared_ptr<const Icon>>(Type::Icon);
    }
    const std::shared_ptr<ValueList>& asList() const {
        return unbox<std::shared_ptr<ValueList>>(Type::List);
    }
    const std::shared_ptr<Dict>& asDict() const { return unbox<std::shared_ptr<Dict>>(Type::Dict); }
    const RecordPtr& asRecord() const { return unbox<RecordPtr>(Type::Record); }
    const std::shared_ptr<const OpaqueObject>& asOpaque() const {
        return unbox<std::shared_ptr<const OpaqueObject>>(Type::Opaque);
    }

    // Icon name, or empty when the value is no icon (also used for plain-text icons).
    QString iconName() const;

    // Structural equality: records, lists and dictionaries compare by content.
    bool operator==(const Value& other) const;

  private:
    // A database of 100,000 items holds millions of values, so a value is 16
    // bytes: numbers, flags and dates inline; texts, data and shared objects
    // in a reference-counted box that copies of the value share (a text read
    // from a file once is one box however many entries hold it). The bytes
    // after the type are tail padding an enclosing struct may use (Dict::Entry
    // keeps its key there: 16 bytes an entry).
    struct BoxBase {
        virtual ~BoxBase() = default;  // the last holder deletes the box through this
        std::atomic<uint32_t> refs{1};
    };
    template <typename T>
    struct Box : BoxBase {
        template <typename A>
        explicit Box(A&& a) : value(std::forward<A>(a)) {}
        T value;
    };
    union Payload {
        Payload() : i(0) {}
        bool b;
        int64_t i;
        double d;  // Real: widened from the 32-bit float unless wide_
        Date date;
        BoxBase* box;
    };

    template <typename T>
    static BoxBase* boxed(T&& value) {
        return new Box<std::decay_t<T>>(std::forward<T>(value));
    }
    Value(Type type, BoxBase* box) : type_(type) { p_.box = box; }
    bool isBoxed() const { return type_ >= Type::String && type_ != Type::Date; }
    const Payload& expect(Type type) const {
        if (type_ != type) throw std::bad_variant_access();
        return p_;
    }
    template <typename T>
    const T& unbox(Type type) const {
        return static_cast<const Box<T>*>(expect(type).box)->value;
    }
    void swap(Value& other) noexcept {
        std::swap(p_, other.p_);
        std::swap(type_, other.type_);
        std::swap(wide_, other.wide_);
    }
    void release() noexcept;  // drops this value's reference to its box

    Payload p_;
    Type type_ = Type::Null;
    bool wide_ = false;  // Real: stored as an 8-byte double rather than a 32-bit float
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
