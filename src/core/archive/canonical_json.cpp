#include "core/archive/canonical_json.h"

#include "core/archive/archive.h"
#include "core/archive/format.h"
#include "core/record.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace quandor::archive {

namespace {

// UTF-16 code units compare in code point order except that surrogates
// (astral characters) must sort above U+E000…U+FFFF; shift both ranges when
// both units are at or above U+D800 (the fix-up ICU's u_strCompare uses).
int compareCodePoints(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        char16_t ca = a[i].unicode(), cb = b[i].unicode();
        if (ca == cb) continue;
        if (ca >= 0xD800 && cb >= 0xD800) {
            ca = ca >= 0xE000 ? ca - 0x800 : ca + 0x2000;
            cb = cb >= 0xE000 ? cb - 0x800 : cb + 0x2000;
        }
        return ca < cb ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

class JsonWriter {
  public:
    QByteArray out;

    void value(const Value& v) {
        switch (v.type()) {
            case Value::Type::Null:
                out += "null";
                break;
            case Value::Type::Bool:
                out += v.asBool() ? "true" : "false";
                break;
            case Value::Type::Int:
                integer(v.asInt());
                break;
            case Value::Type::Real:
                real(v.asReal().value);
                break;
            case Value::Type::String:
                string(v.asString());
                break;
            case Value::Type::Date:
                date(v.asDate());
                break;
            case Value::Type::Data:
                data(v.asData());
                break;
            case Value::Type::Icon:
                icon(v.asIcon());
                break;
            case Value::Type::List:
                if (v.asList())
                    list(*v.asList());
                else
                    out += "null";
                break;
            case Value::Type::Dict:
                if (v.asDict())
                    dict(*v.asDict());
                else
                    out += "null";
                break;
            case Value::Type::Record:
                record(v.asRecord());
                break;
            case Value::Type::Opaque:
                out += "{\"$unknown\":";
                string(v.asOpaque() ? v.asOpaque()->className : QString());
                out += '}';
                break;
        }
    }

  private:
    void integer(int64_t i) {
        char buf[24];
        const auto r = std::to_chars(buf, buf + sizeof buf, i);
        out.append(buf, r.ptr - buf);
    }

    // %.9g of the value rounded to a float; to_chars is printf in the C
    // locale, whatever locale the process runs in.
    void real(double d) {
        const float f = static_cast<float>(d);
        if (!std::isfinite(f)) {
            out += "null";
            return;
        }
        char buf[48];
        const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<double>(f),
                                     std::chars_format::general, 9);
        const QByteArrayView text(buf, r.ptr - buf);
        out += text;
        if (!text.contains('.') && !text.contains('e')) out += ".0";
    }

    void date(Date d) {
        const double unix = d.toUnix();
        if (!std::isfinite(unix)) {
            out += "null";
            return;
        }
        char buf[400];  // %.3f of the largest double has 309 digits before the point
        const auto r = std::to_chars(buf, buf + sizeof buf, unix, std::chars_format::fixed, 3);
        const char* end = r.ptr;
        while (end[-1] == '0') --end;
        if (end[-1] == '.') --end;
        out += "{\"$date\":";
        out.append(buf, end - buf);
        out += '}';
    }

    void data(const QByteArray& d) {
        out += "{\"$data\":\"";
        out += d.toHex();
        out += "\"}";
    }

    void icon(const Icon& i) {
        out += "{\"$icon\":";
        if (!i.name.isEmpty()) {
            string(i.name);
        } else {
            string(QStringLiteral("<reps:%1>").arg(i.representations));
        }
        out += '}';
    }

    void escapeUnit(char16_t u) {
        static const char hex[] = "0123456789abcdef";
        const char e[] = {
            '\\',        'u', hex[(u >> 12) & 0xF], hex[(u >> 8) & 0xF], hex[(u >> 4) & 0xF],
            hex[u & 0xF]};
        out.append(e, 6);
    }

    void string(QStringView s) {
        out += '"';
        const qsizetype n = s.size();
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t u = s[i].unicode();
            if (u < 0x80) {
                switch (u) {
                    case '"':
                        out += "\\\"";
                        break;
                    case '\\':
                        out += "\\\\";
                        break;
                    case '\b':
                        out += "\\b";
                        break;
                    case '\f':
                        out += "\\f";
                        break;
                    case '\n':
                        out += "\\n";
                        break;
                    case '\r':
                        out += "\\r";
                        break;
                    case '\t':
                        out += "\\t";
                        break;
                    default:
                        if (u < 0x20)
                            escapeUnit(u);
                        else
                            out += static_cast<char>(u);
                }
            } else if (u < 0x800) {
                out += static_cast<char>(0xC0 | (u >> 6));
                out += static_cast<char>(0x80 | (u & 0x3F));
            } else if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n && s[i + 1].unicode() >= 0xDC00 &&
                       s[i + 1].unicode() <= 0xDFFF) {
                const char32_t cp =
                    0x10000 + ((char32_t(u) - 0xD800) << 10) + (s[i + 1].unicode() - 0xDC00);
                ++i;
                out += static_cast<char>(0xF0 | (cp >> 18));
                out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
                out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (cp & 0x3F));
            } else if (u >= 0xD800 && u <= 0xDFFF) {
                escapeUnit(u);  // a lone surrogate has no UTF-8 form
            } else {
                out += static_cast<char>(0xE0 | (u >> 12));
                out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (u & 0x3F));
            }
        }
        out += '"';
    }

    void list(const ValueList& l) {
        out += '[';
        bool first = true;
        for (const Value& v : l) {
            if (!first) out += ',';
            first = false;
            value(v);
        }
        out += ']';
    }

    void dict(const Dict& d) {
        std::vector<const Dict::Entry*> entries;
        entries.reserve(d.size());
        for (const Dict::Entry& e : d) entries.push_back(&e);
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Dict::Entry* a, const Dict::Entry* b) {
                             return compareCodePoints(a->key.name(), b->key.name()) < 0;
                         });
        out += '{';
        bool first = true;
        for (const Dict::Entry* e : entries) {
            if (!first) out += ',';
            first = false;
            string(e->key.name());
            out += ':';
            value(e->value);
        }
        out += '}';
    }

    void childList(const Record& r, ChildList l, const char* name) {
        if (!r.hasChildList(l)) return;
        const RecordList& children = r.children(l);
        const ForeignElements* foreign = r.foreign(l);
        const EntryState state = writtenState(r.childState(l), children.empty() && !foreign);
        if (state == EntryState::Missing) return;
        out += ",\"";
        out += name;
        out += "\":";
        if (state == EntryState::Nil) {
            out += "null";
            return;
        }
        out += '[';
        bool first = true;
        const auto comma = [&] {
            if (!first) out += ',';
            first = false;
        };
        visitWritten(
            children, foreign,
            [&](const RecordPtr& child) {
                comma();
                record(child);
            },
            [&](const Value& v) {
                comma();
                value(v);
            });
        out += ']';
    }

    // Keys in code point order: "$class" < "files" < "items" < "properties" < "thelists".
    void record(const RecordPtr& r) {
        if (!r) {
            out += "null";
            return;
        }
        out += "{\"$class\":";
        string(r->className());
        childList(*r, ChildList::Files, names::files);
        childList(*r, ChildList::Items, names::items);
        switch (writtenState(r->propertiesState(), r->properties().empty())) {
            case EntryState::Missing:
                break;
            case EntryState::Nil:
                out += ",\"properties\":null";
                break;
            case EntryState::Present:
                out += ",\"properties\":";
                dict(r->properties());
                break;
        }
        childList(*r, ChildList::Thelists, names::thelists);
        out += '}';
    }
};

}  // namespace

QByteArray canonicalJson(const Value& value) {
    JsonWriter w;
    w.value(value);
    return w.out;
}

}  // namespace quandor::archive
