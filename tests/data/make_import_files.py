#!/usr/bin/env python3
"""Writes invoice documents and invoice lists of the two invoicing programs
whose invoices Quandor imports, and CSV files for the item import,
independent of the program (Python's plistlib), from the keys the import
reads. The programs themselves are not involved.

    make_import_files.py OUTDIR

Fennick documents (keyed archives, root dictionary with "fennickDic"):
  invoice.fennick        R-2024-7, unpaid, rates 0.19 / 0.07 / 0.16, four
                         positions: 19 %, 7 %, 16 % and without tax
  paid.fennick           the same invoice, paid ("status" 3)
  no-positions.fennick   an invoice without "items"
  wrong-root.fennick     the root holds no "fennickDic"
  bad-amount.fennick     one position's amount is a text that is no number
  truncated.fennick      invoice.fennick cut in half
  not-archive.fennick    a property list that is no keyed archive

GrandTotal lists (property lists, root array of invoice dictionaries):
  invoices.gtexport      three invoices (binary), the first with a PDF
  invoices-xml.plist     the same in the XML form
  odd-entries.gtlist     a text among the invoices, one without "gross"
  dict-root.gtexport     the root is a dictionary
  cycle.gtexport         binary, an array that contains itself
  R-2024-1.pdf           the first invoice's PDF

CSV files:
  examples.csv           the worked examples of the import (Windows-1252)
  utf8.csv               the same rows in UTF-8 with a byte order mark
  bad-rows.csv           a header line, short rows, bad dates and sums
  unclosed.csv           a quote that is never closed
  long-line.csv          a 1 MB title and a row of 10,000 columns
  utf16.csv              Unicode text (UTF-16 with byte order mark)
  binary.csv             bytes of a PNG picture
  empty.csv              nothing
"""
import datetime
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

    def cls(self, name, chain):
        if name not in self.classes:
            self.classes[name] = self.add({"$classname": name, "$classes": chain})
        return self.classes[name]

    def value(self, v):
        if isinstance(v, dict):
            return self.dict(v)
        if isinstance(v, list):
            return self.array([self.value(x) for x in v])
        if isinstance(v, datetime.datetime):
            since = (v - datetime.datetime(2001, 1, 1, tzinfo=datetime.timezone.utc)).total_seconds()
            return self.add({"$class": self.cls("NSDate", ["NSDate", "NSObject"]), "NS.time": since})
        return self.add(v)

    def array(self, uids):
        c = self.cls("NSMutableArray", ["NSMutableArray", "NSArray", "NSObject"])
        return self.add({"$class": c, "NS.objects": list(uids)})

    def dict(self, d):
        c = self.cls("NSMutableDictionary", ["NSMutableDictionary", "NSDictionary", "NSObject"])
        keys = [self.add(k) for k in d]
        values = [self.value(v) for v in d.values()]
        return self.add({"$class": c, "NS.keys": keys, "NS.objects": values})

    def bytes(self, root):
        top = {"$archiver": "NSKeyedArchiver", "$version": 100000, "$top": {"root": self.value(root)},
               "$objects": self.objects}
        return plistlib.dumps(top, fmt=plistlib.FMT_BINARY, sort_keys=False)


UTC = datetime.timezone.utc


def position(title, amount, rate):
    return {"title": title, "amount": amount, "isTax1Applied": rate == 1, "isTax2Applied": rate == 2,
            "isTax3Applied": rate == 3}


def invoice(status=1, items=None):
    inv = {"title": "Webseite", "number": "R-2024-7",
           "address": "Kunde GmbH\r\nHauptstraße 1\r\n12345 Stadt",
           "tax1Percent": 0.19, "tax2Percent": 0.07, "tax3Percent": 0.16,
           "due": datetime.datetime(2024, 4, 1, tzinfo=UTC), "sent": datetime.datetime(2024, 3, 18, tzinfo=UTC),
           "paid": datetime.datetime(2024, 4, 8, tzinfo=UTC), "status": status}
    inv["items"] = items if items is not None else [
        position("Entwurf", 1190.0, 1), position("Fachbuch", 107.0, 2), position("Altvertrag", 116.0, 3),
        position("Porto", 4.5, 0)]
    return inv


def fennick(root):
    return Archive().bytes(root)


def grand_total_invoices(folder):
    return [
        {"name": "R-2024-1", "gross": 1190.0, "formattedAddress": "Kunde GmbH\nz. Hd. Frau Sonnenschein-Müller\n"
         "Hauptstraße 1\n12345 Stadt", "PDFPath": os.path.join(folder, "R-2024-1.pdf"),
         "dateDue": datetime.datetime(2024, 4, 1), "dateSent": datetime.datetime(2024, 3, 18),
         "datePaid": datetime.datetime(2024, 4, 8), "taxClass": 1, "taxClass3": 0},
        {"name": "R-2024-2", "gross": 107, "formattedAddress": "Zweite AG", "PDFPath": "",
         "dateDue": datetime.datetime(2024, 4, 15), "dateSent": datetime.datetime(2024, 4, 1)},
        {"name": "R-2024-3", "gross": 99.99, "formattedAddress": "Dritter e. K.\n\nMarkt 3",
         "dateDue": datetime.datetime(2024, 4, 30), "dateSent": datetime.datetime(2024, 4, 2),
         "datePaid": datetime.datetime(2024, 4, 20)},
    ]


def cycle_plist():
    # Hand-built binary property list: object 0 is an array holding itself.
    objects = [b"\xa1\x00"]
    offsets, body = [], b"bplist00"
    for o in objects:
        offsets.append(len(body))
        body += o
    table = len(body)
    body += bytes(offsets)
    body += bytes(6) + bytes([1, 1]) + (1).to_bytes(8, "big") + (0).to_bytes(8, "big") + table.to_bytes(8, "big")
    return body


EXAMPLES = [
    "05.03.14;B-1;Druckerpapier;R-311;Büro;6815;Bürobedarf;19;-119,00",
    "06.03.14;B-2;Fachbuch;2014-42;Fortbildung;6820;Zeitschriften, Bücher;7;107,00",
    "07.03.14;B-3;Porto;;Büro;6800;Porto;0;-50",
    "08.03.14;B-4;Nullsumme;;;;;19;0",
    '09.03.14;B-5;"Miete, März";M-3;Raum;6310;Miete;19;-1.234,56',
    "10.03.14;B-6;Beratung;RE-9;Honorar;4400;Erlöse 19 % USt;19;1,234.56",
    "11.03.14;B-7;Kleinbetrag;;;;;0;-0,50",
    "12.03.14;B-8;Alter Satz;;;;;16;-116",
]


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    j = lambda name: os.path.join(out, name)
    good = fennick({"fennickDic": invoice()})
    write(j("invoice.fennick"), good)
    write(j("paid.fennick"), fennick({"fennickDic": invoice(status=3)}))
    no_items = invoice()
    del no_items["items"]
    write(j("no-positions.fennick"), fennick({"fennickDic": no_items}))
    write(j("wrong-root.fennick"), fennick({"andererDic": invoice()}))
    write(j("bad-amount.fennick"), fennick({"fennickDic": invoice(items=[
        position("Gut", 10.0, 1), {"title": "Schlecht", "amount": "zehn", "isTax1Applied": True}])}))
    write(j("truncated.fennick"), good[: len(good) // 2])
    write(j("not-archive.fennick"), plistlib.dumps({"fennickDic": "x"}, fmt=plistlib.FMT_BINARY))

    invoices = grand_total_invoices(out)
    write(j("invoices.gtexport"), plistlib.dumps(invoices, fmt=plistlib.FMT_BINARY))
    write(j("invoices-xml.plist"), plistlib.dumps(invoices, fmt=plistlib.FMT_XML))
    odd = [invoices[0], "keine Rechnung", {"name": "R-2024-9", "formattedAddress": "Ohne Betrag"}]
    write(j("odd-entries.gtlist"), plistlib.dumps(odd, fmt=plistlib.FMT_BINARY))
    write(j("dict-root.gtexport"), plistlib.dumps({"invoices": invoices}, fmt=plistlib.FMT_BINARY))
    write(j("cycle.gtexport"), cycle_plist())
    write(j("R-2024-1.pdf"), b"%PDF-1.4\n% Rechnung R-2024-1\n%%EOF\n")

    write(j("examples.csv"), ("\r\n".join(EXAMPLES) + "\r\n").encode("cp1252"))
    write(j("utf8.csv"), ("\ufeff" + "\n".join(EXAMPLES) + "\n").encode("utf-8"))
    write(j("bad-rows.csv"), "\r\n".join([
        "Datum;Beleg;Bezeichnung;Rechnungsnummer;Kategorie;Konto;Kontobezeichnung;Steuersatz;Summe",
        "05.03.14;B-1;Gut;;;;;19;-119,00",
        "06.03.14;B-2;zu kurz",
        "31.02.14;B-3;Kein Tag;;;;;19;-10",
        "07.03.14;B-4;Text;;;;;19;abc",
        "07.03.14;B-5;Strich;;;;;19;-",
        "07.03.14;B-6;Satz;;;;;neunzehn;10",
    ]).encode("cp1252") + b"\r\n")
    write(j("unclosed.csv"), b'05.03.14;B-1;Gut;;;;;0;1\n06.03.14;B-2;"offen;;;;;0;2\n07.03.14;B-3;weg;;;;;0;3\n')
    write(j("long-line.csv"), b"05.03.14;B-1;" + b"x" * (1 << 20) + b";;;;;0;1\n" +
          b"06.03.14;B-2;breit;;;;;0;2;" + b";" * 10000 + b"\n")
    write(j("utf16.csv"), ("\n".join(EXAMPLES) + "\n").encode("utf-16"))
    write(j("binary.csv"), b"\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR\x00\x00\x01\x00")
    write(j("empty.csv"), b"")


if __name__ == "__main__":
    main()
