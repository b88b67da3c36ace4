#include "core/archive/xml_plist.h"

#include "core/archive/bplist_writer.h"
#include "core/archive/format.h"

#include <plist/plist.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace quandor::archive {

namespace {

// libplist parses nested containers recursively; a hostile file could exhaust
// the stack before it returns. Keyed archives nest four levels deep.
constexpr int kMaxXmlDepth = 64;

bool startsWith(const char* p, const char* end, const char* word) {
    const size_t n = std::strlen(word);
    return static_cast<size_t>(end - p) >= n && std::memcmp(p, word, n) == 0;
}

// The deepest nesting of <array> and <dict> elements, counted on the text
// (comments and CDATA are not special-cased: they can only make it larger).
int nestingDepth(const QByteArray& xml) {
    const char* p = xml.constData();
    const char* const end = p + xml.size();
    int depth = 0, deepest = 0;
    while ((p = static_cast<const char*>(std::memchr(p, '<', static_cast<size_t>(end - p)))) !=
           nullptr) {
        const bool closing = p + 1 < end && p[1] == '/';
        const char* name = p + (closing ? 2 : 1);
        const bool container = startsWith(name, end, "array") || startsWith(name, end, "dict");
        const char* close =
            static_cast<const char*>(std::memchr(p, '>', static_cast<size_t>(end - p)));
        if (!close) break;
        if (container) {
            const char* after = name + (name[0] == 'a' ? 5 : 4);
            const bool wholeName =
                after <= close && (*after == '>' || *after == '/' || *after == ' ' ||
                                   *after == '\t' || *after == '\r' || *after == '\n');
            const bool selfClosing = close[-1] == '/';
            if (wholeName && closing) {
                --depth;
            } else if (wholeName && !selfClosing) {
                deepest = std::max(deepest, ++depth);
            }
        }
        p = close + 1;
    }
    return deepest;
}

struct PlistFree {
    void operator()(void* p) const { plist_free(static_cast<plist_t>(p)); }
};

class Converter {
  public:
    bplist::Builder builder;

    bplist::Builder::Ref convert(plist_t node, int depth) {
        if (depth > kMaxXmlDepth) throw Damage::TooDeep;
        switch (plist_get_node_type(node)) {
            case PLIST_BOOLEAN: {
                uint8_t b = 0;
                plist_get_bool_val(node, &b);
                return builder.boolean(b != 0);
            }
            case PLIST_UINT: {
                uint64_t v = 0;
                plist_get_uint_val(node, &v);
                return builder.integer(
                    static_cast<int64_t>(v));  // libplist keeps negatives as two's complement
            }
            case PLIST_REAL: {
                double v = 0;
                plist_get_real_val(node, &v);
                const float f = static_cast<float>(v);
                return static_cast<double>(f) == v ? builder.real32(f) : builder.real64(v);
            }
            case PLIST_STRING:
            case PLIST_KEY: {
                uint64_t n = 0;
                const char* s = plist_get_string_ptr(node, &n);
                return builder.string(QString::fromUtf8(s, static_cast<qsizetype>(n)));
            }
            case PLIST_DATA: {
                uint64_t n = 0;
                const char* d = plist_get_data_ptr(node, &n);
                return builder.data(d ? d : "", d ? n : 0);
            }
            case PLIST_DATE: {
                int32_t sec = 0, usec = 0;
                plist_get_date_val(node, &sec, &usec);
                return builder.date(sec + usec / 1e6);
            }
            case PLIST_UID: {
                uint64_t v = 0;
                plist_get_uid_val(node, &v);
                return builder.uid(v);
            }
            case PLIST_ARRAY: {
                std::vector<bplist::Builder::Ref> refs;
                plist_array_iter it = nullptr;
                plist_array_new_iter(node, &it);
                for (plist_t item = nullptr;;) {
                    plist_array_next_item(node, it, &item);
                    if (!item) break;
                    refs.push_back(convert(item, depth + 1));
                }
                std::free(it);
                return builder.array(refs.data(), refs.size());
            }
            case PLIST_DICT:
                return dict(node, depth);
            default:
                throw Damage::BadXml;
        }
    }

  private:
    bplist::Builder::Ref dict(plist_t node, int depth) {
        if (plist_dict_get_size(node) == 1) {
            plist_t uid = plist_dict_get_item(node, names::xmlUid);
            if (uid && plist_get_node_type(uid) == PLIST_UINT) {
                uint64_t v = 0;
                plist_get_uint_val(uid, &v);
                return builder.uid(v);
            }
        }
        std::vector<bplist::Builder::Ref> keys, values;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        for (;;) {
            char* key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, it, &key, &value);
            if (!value) {
                std::free(key);
                break;
            }
            keys.push_back(builder.string(QString::fromUtf8(key ? key : "")));
            std::free(key);
            values.push_back(convert(value, depth + 1));
        }
        std::free(it);
        return builder.dict(keys.data(), values.data(), keys.size());
    }
};

}  // namespace

Damage xmlToBinary(const QByteArray& xml, QByteArray* out) {
    if (xml.size() > static_cast<qsizetype>(UINT32_MAX)) return Damage::TooLarge;
    if (nestingDepth(xml) > kMaxXmlDepth) return Damage::TooDeep;
    plist_t root = nullptr;
    plist_from_xml(xml.constData(), static_cast<uint32_t>(xml.size()), &root);
    if (!root) return Damage::BadXml;
    std::unique_ptr<void, PlistFree> owner(root);
    try {
        Converter c;
        const auto top = c.convert(root, 0);
        *out = c.builder.finish(top);
    } catch (Damage d) {
        return d;
    }
    return Damage::None;
}

}  // namespace quandor::archive
