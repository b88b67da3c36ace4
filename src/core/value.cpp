#include "core/value.h"

#include "core/record.h"

#include <QHash>

#include <array>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <mutex>

namespace quandor {

namespace {

// Interned key names. Ids index a fixed table of published pointers, so that
// name() needs no lock; interning takes the lock.
constexpr uint32_t kMaxKeys = 1u << 18;

struct KeyTable {
    std::mutex mutex;
    QHash<QString, uint32_t> ids;
    std::array<std::atomic<const QString*>, kMaxKeys> names{};
    uint32_t count = 0;

    KeyTable() {
        static const QString empty;
        names[0].store(&empty, std::memory_order_release);
        ids.insert(empty, 0);
        count = 1;
    }
};

KeyTable& keyTable() {
    static KeyTable* table = new KeyTable;  // never destroyed: keys outlive static destructors
    return *table;
}

}  // namespace

std::optional<Key> Key::tryIntern(QStringView name) {
    KeyTable& t = keyTable();
    std::lock_guard lock(t.mutex);
    const QString s = name.toString();
    auto it = t.ids.constFind(s);
    if (it != t.ids.constEnd()) return Key(it.value(), 0);
    if (t.count >= kMaxKeys) return std::nullopt;
    const uint32_t id = t.count++;
    t.names[id].store(new QString(s), std::memory_order_release);
    t.ids.insert(s, id);
    return Key(id, 0);
}

static_assert(sizeof(Value) == 16 && sizeof(Dict::Entry) == sizeof(Value),
              "a dictionary entry keeps its key in the value's padding");

Key::Key(QStringView name) {
    auto k = tryIntern(name);
    id_ = k ? k->id_ : 0;
}

const QString& Key::name() const {
    return *keyTable().names[id_].load(std::memory_order_acquire);
}

double leadingNumber(QStringView text) {
    // Parsed by hand on the UTF-16 text: the C library would follow the
    // process locale, and the typed text must read the same everywhere.
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n' || text[i] == u'\r'))
        ++i;
    QByteArray ascii;
    ascii.reserve(32);
    if (i < n && (text[i] == u'+' || text[i] == u'-')) ascii.append(char(text[i++].unicode()));
    bool digits = false;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        ascii.append(char(text[i++].unicode()));
        digits = true;
    }
    if (i < n && text[i] == u'.') {
        ascii.append('.');
        ++i;
        while (i < n && text[i].unicode() >= u'0' && text[i].unicode() <= u'9') {
            ascii.append(char(text[i++].unicode()));
            digits = true;
        }
    }
    if (!digits) return 0.0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        QByteArray exp("e");
        if (j < n && (text[j] == u'+' || text[j] == u'-')) exp.append(char(text[j++].unicode()));
        bool expDigits = false;
        while (j < n && text[j].unicode() >= u'0' && text[j].unicode() <= u'9') {
            exp.append(char(text[j++].unicode()));
            expDigits = true;
        }
        if (expDigits) ascii.append(exp);
    }
    return std::strtod(ascii.constData(), nullptr);
}

Value Value::icon(const QString& name) {
    auto icon = std::make_shared<Icon>();
    icon->name = name;
    return Value(std::shared_ptr<const Icon>(std::move(icon)));
}

Value Value::list(ValueList items) {
    return Value(std::make_shared<ValueList>(std::move(items)));
}

bool Value::toBool() const {
    switch (type()) {
        case Type::Bool:
            return asBool();
        case Type::Int:
            return asInt() != 0;
        case Type::Real:
            return asReal().value != 0.0;
        case Type::String: {
            // Text reads as a flag the way typed text always did: "YES", "true" or a non-zero
            // number.
            const QString s = asString().trimmed();
            if (s.startsWith(u'Y', Qt::CaseInsensitive) || s.startsWith(u'T', Qt::CaseInsensitive))
                return true;
            return leadingNumber(s) != 0.0;
        }
        default:
            return false;
    }
}

int64_t Value::toInt() const {
    switch (type()) {
        case Type::Bool:
            return asBool() ? 1 : 0;
        case Type::Int:
            return asInt();
        case Type::Real: {
            const double d = asReal().value;
            if (!std::isfinite(d)) return 0;
            if (d >= 9.2e18) return INT64_MAX;
            if (d <= -9.2e18) return INT64_MIN;
            return static_cast<int64_t>(d);
        }
        case Type::String: {
            const double d = leadingNumber(asString());
            if (d >= 9.2e18) return INT64_MAX;
            if (d <= -9.2e18) return INT64_MIN;
            return static_cast<int64_t>(d);
        }
        default:
            return 0;
    }
}

double Value::toDouble() const {
    switch (type()) {
        case Type::Bool:
            return asBool() ? 1.0 : 0.0;
        case Type::Int:
            return static_cast<double>(asInt());
        case Type::Real:
            return asReal().value;
        case Type::String:
            return leadingNumber(asString());
        default:
            return 0.0;
    }
}

float Value::toFloat() const {
    return static_cast<float>(toDouble());
}

QString Value::toString() const {
    switch (type()) {
        case Type::String:
            return asString();
        case Type::Int:
            return QString::number(asInt());
        case Type::Real:
            return QString::number(asReal().value, 'g', asReal().wide ? 17 : 9);
        case Type::Bool:
            return asBool() ? QStringLiteral("1") : QStringLiteral("0");
        default:
            return QString();
    }
}

Date Value::toDate() const {
    if (type() == Type::Date) return asDate();
    return Date{};
}

QString Value::iconName() const {
    if (type() == Type::Icon) return asIcon().name;
    if (type() == Type::String) return asString();
    return QString();
}

bool Value::operator==(const Value& other) const {
    if (type() != other.type()) return false;
    switch (type()) {
        case Type::Icon:
            return asIcon().name == other.asIcon().name &&
                   asIcon().representations == other.asIcon().representations;
        case Type::List: {
            const auto& a = *asList();
            const auto& b = *other.asList();
            return a == b;
        }
        case Type::Dict:
            return *asDict() == *other.asDict();
        case Type::Record:
            return *asRecord() == *other.asRecord();
        case Type::Opaque:
            return asOpaque()->className == other.asOpaque()->className;
        case Type::Null:
            return true;
        case Type::Bool:
            return asBool() == other.asBool();
        case Type::Int:
            return asInt() == other.asInt();
        case Type::Real:
            return asReal() == other.asReal();
        case Type::String:
            return asString() == other.asString();
        case Type::Date:
            return asDate() == other.asDate();
        case Type::Data:
            return asData() == other.asData();
    }
    return false;
}

void Value::release() noexcept {
    if (p_.box->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete p_.box;
}

const Value* Dict::find(Key key) const {
    for (const Entry& e : entries_)
        if (e.key == key) return &e.value;
    return nullptr;
}

Value* Dict::find(Key key) {
    for (Entry& e : entries_)
        if (e.key == key) return &e.value;
    return nullptr;
}

Value Dict::value(Key key) const {
    const Value* v = find(key);
    return v ? *v : Value();
}

void Dict::set(Key key, Value value) {
    if (Value* v = find(key)) {
        *v = std::move(value);
        return;
    }
    entries_.emplace_back(key, std::move(value));
}

bool Dict::remove(Key key) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->key == key) {
            entries_.erase(it);
            return true;
        }
    }
    return false;
}

QString Dict::text(Key key) const {
    const Value* v = find(key);
    return v ? v->toString() : QString();
}

int64_t Dict::integer(Key key) const {
    const Value* v = find(key);
    return v ? v->toInt() : 0;
}

float Dict::real(Key key) const {
    const Value* v = find(key);
    return v ? v->toFloat() : 0.0f;
}

bool Dict::flag(Key key) const {
    const Value* v = find(key);
    return v ? v->toBool() : false;
}

Date Dict::date(Key key) const {
    const Value* v = find(key);
    return v ? v->toDate() : Date{};
}

bool Dict::operator==(const Dict& other) const {
    if (entries_.size() != other.entries_.size()) return false;
    for (const Entry& e : entries_) {
        const Value* o = other.find(e.key);
        if (!o || !(*o == e.value)) return false;
    }
    return true;
}

}  // namespace quandor
