#pragma once
// The export texts of a statement's listed items: CSV with commas, CSV with
// semicolons and a running number, and XML. Items are written in the order
// given (the item list's order).
//
// Every text passes the export text cleaning. Fields typed by the person are
// cleaned so that each item stays one line of the file: "," and "‚" become
// " | ", quotes and line ends become blanks. Receipt numbers, numbers and
// account numbers are written as stored, except that quotes and line ends in
// them become blanks too, so that they cannot end a field or a line early.
// Numbers the program formats itself (rates, amounts, dates) are not cleaned.

#include "core/record.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <vector>

namespace quandor {

using ItemRefs = std::vector<const Record*>;

QString csvString(const ItemRefs& items, const QLocale& locale);
QString csvStringMac(const ItemRefs& items, const QLocale& locale);
QString xmlString(const ItemRefs& items, const QLocale& locale);

// CSV files of statements are Windows-1252; characters it lacks become "?".
QByteArray windows1252(const QString& text);

// The cleaning of person-typed CSV fields; `isTitle` also turns every other
// kind of line break into a blank.
QString cleanCsvField(const QString& text, bool isTitle);
// A title reduced to plain ASCII: accents dropped ("ä" → "a"), "ß" → "ss",
// everything else outside ASCII → "?".
QString plainAscii(const QString& text);
// Text as XML element content: "&", "<" and ">" escaped, characters XML
// does not allow dropped.
QString xmlEscaped(const QString& text);

}  // namespace quandor
