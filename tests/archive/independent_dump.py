#!/usr/bin/env python3
"""An independent decoder of keyed archives into the canonical JSON of
docs/FILE_FORMAT.md.

Written from the format description alone (docs/FILE_FORMAT.md) and using only the standard library: plistlib parses the binary
property list (UIDs come as plistlib.UID); everything above it is here. It
shares no code with the C++ reader, so when both print the same text for a
file, both read the file the same way.

Usage: independent_dump.py FILE   (prints the dump and a newline)
"""

import datetime
import json
import math
import plistlib
import struct
import sys

# Record classes and the child lists each archives.
RECORD_LISTS = {
    "Year": ("thelists", "files", "items"),
    "Thelist": ("items", "files"),
    "Cashbook": ("items", "files"),
    "Item": (),
    "Group": (),
    "Account": (),
    "File": (),
    "CashBookItem": (),
    "Allowance": (),
    "InventoryItem": (),
}
DICTIONARIES = {"NSDictionary", "NSMutableDictionary"}
ARRAYS = {"NSArray", "NSMutableArray"}
STRINGS = {"NSString", "NSMutableString"}
DATAS = {"NSData", "NSMutableData"}
REFERENCE_DATE = datetime.datetime(2001, 1, 1)
UNIX_FROM_REFERENCE = 978307200.0


class Raw:
    """A piece of JSON text that is emitted as it is."""

    def __init__(self, text):
        self.text = text


def real_text(x):
    try:
        f = struct.unpack(">f", struct.pack(">f", x))[0]
    except OverflowError:
        return "null"
    if math.isnan(f) or math.isinf(f):
        return "null"
    s = "%.9g" % f
    if "." not in s and "e" not in s:
        s += ".0"
    return s


def date_text(unix_seconds):
    if math.isnan(unix_seconds) or math.isinf(unix_seconds):
        return "null"
    s = "%.3f" % unix_seconds
    s = s.rstrip("0").rstrip(".")
    return '{"$date":%s}' % s


class Decoder:
    def __init__(self, archive):
        if archive.get("$archiver") != "NSKeyedArchiver" or archive.get("$version") != 100000:
            raise ValueError("not a keyed archive")
        self.objects = archive["$objects"]
        self.root = archive["$top"]["root"]

    def resolve(self, ref):
        """The archived object a value names: UIDs are looked up, inline values stand for themselves."""
        if isinstance(ref, plistlib.UID):
            return None if ref.data == 0 else self.objects[ref.data]
        return ref

    def class_name(self, obj):
        return self.objects[obj["$class"].data]["$classname"]

    def value(self, ref):
        obj = self.resolve(ref)
        if obj is None:
            return None
        if isinstance(obj, dict):
            return self.object(obj)
        if isinstance(obj, bool):
            return obj
        if isinstance(obj, int):
            return obj
        if isinstance(obj, float):
            return Raw(real_text(obj))
        if isinstance(obj, str):
            return obj
        if isinstance(obj, bytes):
            return {"$data": obj.hex()}
        if isinstance(obj, datetime.datetime):
            return Raw(date_text((obj - REFERENCE_DATE).total_seconds() + UNIX_FROM_REFERENCE))
        raise ValueError("unexpected %r" % (obj,))

    def object(self, obj):
        name = self.class_name(obj)
        if name in RECORD_LISTS:
            out = {"$class": name}
            if "properties" in obj:
                out["properties"] = self.value(obj["properties"])
            for key in RECORD_LISTS[name]:
                if key in obj:
                    out[key] = self.value(obj[key])
            return out
        if name in DICTIONARIES:
            keys = [self.resolve(k) for k in obj.get("NS.keys", [])]
            if not all(isinstance(k, str) for k in keys):
                return {"$unknown": name}
            return {k: self.value(v) for k, v in zip(keys, obj.get("NS.objects", []))}
        if name in ARRAYS:
            return [self.value(v) for v in obj.get("NS.objects", [])]
        if name in STRINGS:
            if "NS.string" in obj:
                s = self.resolve(obj["NS.string"])
                return s if isinstance(s, str) else self.value(obj["NS.string"])
            return self.resolve(obj["NS.bytes"]).decode("utf-8") if "NS.bytes" in obj else ""
        if name in DATAS:
            return {"$data": self.resolve(obj.get("NS.data", b"")).hex()}
        if name == "NSDate":
            t = self.resolve(obj.get("NS.time", 0.0))
            return Raw(date_text(float(t) + UNIX_FROM_REFERENCE))
        if name == "NSImage":
            for key in ("NSName", "NSImageName"):
                if key in obj:
                    n = self.value(obj[key])
                    if isinstance(n, str) and n:
                        return {"$icon": n}
            return {"$icon": "<reps:%d>" % self.representations(obj)}
        return {"$unknown": name}

    def representations(self, image):
        """NSReps: a list holding lists [type, rep...]; the reps are counted."""
        outer = self.resolve(image.get("NSReps"))
        if not isinstance(outer, dict):
            return 0
        count = 0
        for element in outer.get("NS.objects", []):
            inner = self.resolve(element)
            if isinstance(inner, dict) and self.class_name(inner) in ARRAYS:
                count += max(len(inner.get("NS.objects", [])) - 1, 0)
            else:
                count += 1
        return count


def emit(v, out):
    if v is None:
        out.append("null")
    elif isinstance(v, Raw):
        out.append(v.text)
    elif isinstance(v, bool):
        out.append("true" if v else "false")
    elif isinstance(v, int):
        out.append(str(v))
    elif isinstance(v, str):
        out.append(json.dumps(v, ensure_ascii=False))
    elif isinstance(v, list):
        out.append("[")
        for i, e in enumerate(v):
            if i:
                out.append(",")
            emit(e, out)
        out.append("]")
    elif isinstance(v, dict):
        out.append("{")
        for i, k in enumerate(sorted(v)):  # Python compares strings by code point
            if i:
                out.append(",")
            out.append(json.dumps(k, ensure_ascii=False))
            out.append(":")
            emit(v[k], out)
        out.append("}")
    else:
        raise ValueError("cannot emit %r" % (v,))


def dump(data):
    d = Decoder(plistlib.loads(data))
    out = []
    emit(d.value(d.root), out)
    return "".join(out)


def main():
    with open(sys.argv[1], "rb") as f:
        sys.stdout.write(dump(f.read()) + "\n")


if __name__ == "__main__":
    main()
