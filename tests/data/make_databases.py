#!/usr/bin/env python3
"""Writes small database files in the keyed-archive layout, independent of the
program's writer (Python's plistlib), for the golden cases on damaged and
newer files.

    make_databases.py OUTDIR

Files written:
  sound.mdb            one year, one statement with two items, one category
  future.mdb           as sound.mdb, with objects of an unknown class
                       ("QuandorFuture") between the two items and at the
                       head of "groups"
  no-years.mdb         the root lacks "years"
  empty-root.mdb       the root is an empty dictionary
  years-text.mdb       "years" holds a text instead of a list
  years-nil.mdb        "years" holds nil
  group-in-years.mdb   a category stands in "years"
  year-in-items.mdb    a year stands among a statement's items
  text-in-items.mdb    a text stands among a statement's items
  number-in-groups.mdb a number stands in "groups"
  renamed-list.mdb     the year's "thelists" entry is spelled "thelistz"
  foreign-key.mdb      the root holds an unknown entry beside the seven
  year-root.mdb        the root is a year, not the dictionary
"""
import os
import plistlib
import sys
from plistlib import UID


class Archive:
    def __init__(self):
        self.objects = ["$null"]
        self.classes = {}

    def add(self, obj):
        self.objects.append(obj)
        return UID(len(self.objects) - 1)

    def cls(self, name, chain=None):
        if name not in self.classes:
            self.classes[name] = self.add({"$classname": name, "$classes": chain or [name, "NSObject"]})
        return self.classes[name]

    def text(self, s):
        return self.add(s)

    def array(self, uids):
        c = self.cls("NSMutableArray", ["NSMutableArray", "NSArray", "NSObject"])
        return self.add({"$class": c, "NS.objects": list(uids)})

    def dict(self, pairs):
        c = self.cls("NSMutableDictionary", ["NSMutableDictionary", "NSDictionary", "NSObject"])
        keys = [self.text(k) for k, _ in pairs]
        return self.add({"$class": c, "NS.keys": keys, "NS.objects": [v for _, v in pairs]})

    def record(self, cls, props, **lists):
        obj = {"$class": self.cls(cls), "properties": self.dict([(k, self.add(v)) for k, v in props])}
        for name, uids in lists.items():
            obj[name] = self.array(uids) if isinstance(uids, list) else uids
        return self.add(obj)

    def future(self, label):
        return self.add({"$class": self.cls("QuandorFuture"), "label": self.text(label)})

    def write(self, path, root):
        top = {"$archiver": "NSKeyedArchiver", "$version": 100000, "$top": {"root": root},
               "$objects": self.objects}
        with open(path, "wb") as f:
            plistlib.dump(top, f, fmt=plistlib.FMT_BINARY, sort_keys=False)


def item(a, title, amount):
    return a.record("Item", [("title", title), ("kind", 1), ("amount", amount),
                             ("finalAmount", -amount)])


def database(variant=""):
    a = Archive()
    items = [item(a, "Druckerpapier", 11.9), item(a, "Porto", 0.85)]
    if variant == "future":
        items.insert(1, a.future("zwischen den Posten"))
    if variant == "year-in-items":
        items.append(a.record("Year", [("dateValue", "2025")]))
    if variant == "text-in-items":
        items.append(a.text("kein Posten"))
    statement = a.record("Thelist", [("title", "Januar")], items=items, files=[])
    year_lists = {"thelists": [statement], "files": [], "items": []}
    if variant == "renamed-list":
        year_lists = {"thelistz": [statement], "files": [], "items": []}
    year = a.record("Year", [("dateValue", "2026")], **year_lists)
    if variant == "year-root":
        return a, year
    groups = [a.record("Group", [("title", "Büro")])]
    if variant == "future":
        groups.insert(0, a.future("vor den Kategorien"))
    if variant == "number-in-groups":
        groups.append(a.add(42))
    years = [year]
    if variant == "group-in-years":
        years.append(a.record("Group", [("title", "Reisen")]))
    pairs = [("years", a.array(years)), ("groups", a.array(groups)), ("accounts", a.array([])),
             ("items", a.array([])), ("cashbooks", a.array([])), ("allowances", a.array([])),
             ("inventorys", a.array([]))]
    if variant == "no-years":
        pairs = pairs[1:]
    if variant == "empty-root":
        pairs = []
    if variant == "years-text":
        pairs[0] = ("years", a.text("2026"))
    if variant == "years-nil":
        pairs[0] = ("years", UID(0))
    if variant == "foreign-key":
        pairs.append(("yeaps", a.array([])))
    return a, a.dict(pairs)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    variants = {"sound": "", "future": "future", "no-years": "no-years", "empty-root": "empty-root",
                "years-text": "years-text", "years-nil": "years-nil",
                "group-in-years": "group-in-years", "year-in-items": "year-in-items",
                "text-in-items": "text-in-items", "number-in-groups": "number-in-groups",
                "renamed-list": "renamed-list", "foreign-key": "foreign-key",
                "year-root": "year-root"}
    for name, variant in variants.items():
        a, root = database(variant)
        a.write(os.path.join(out, name + ".mdb"), root)


if __name__ == "__main__":
    main()
