#pragma once
// The one place that decides what a CSV cell may hold. Every CSV writer of the
// program (statements here; reports, cash books, depreciation and inventory
// later) builds its cells with csv::cell and turns the finished text into
// bytes with csv::encode:
//
//   QString line;
//   line += u'"' + csv::cell(item.text(keys::title), csv::Field::Typed, csv::Charset::Windows1252)
//   + u'"'; line += ','; line += u'"' + csv::cell(amountText(v), csv::Field::Formatted,
//   csv::Charset::Windows1252) + u'"'; … const QByteArray bytes =
//   csv::encode(zapGremlinsInString(text), csv::Charset::Windows1252);
//
// The rules, the same in every field:
//  - Characters the file's character set holds stay as they are ("Müller",
//    "€", "…" in Windows-1252). Only what it cannot hold is folded: accents
//    the set lacks are dropped ("ő" → "o"), compatibility forms are spelled
//    out ("ﬂ" → "fl", "①" → "1"), a few letters and dashes get their plain
//    look-alike ("ł" → "l", "ẞ" → "SS", "‐" → "-"), and whatever is left
//    (emoji, Cyrillic, …) becomes one "?" per character as seen on screen.
//  - Control characters never reach the file: line ends, tabs and the Unicode
//    line and paragraph separators become a blank, every other control
//    character (NUL included) and every format character is dropped (the
//    joiners inside an emoji sequence go with the sequence). Unpaired
//    surrogates and non-characters are dropped too, and unassigned code
//    points at a cell's ends, as zapGremlinsInString does.
//  - A double quote becomes a blank (cells are quoted without escaping).
//    Texts typed by the person also get "," and "‚" replaced by " | ".
//  - A cell whose first non-blank character is "=", "+", "-" or "@" and which
//    is not a number gets a leading "'", so that no spreadsheet reads it as a
//    formula (the advice of OWASP on CSV injection). "-12,50" and "+49 30 1234"
//    stay numbers and are left alone.

#include <QByteArray>
#include <QString>

namespace quandor::csv {

// The character set of a CSV file.
enum class Charset {
    Windows1252,  // statement and report exports
    MacRoman,     // the tax-advisor package's CSV file
    Utf8,         // cash book, depreciation and inventory lists
};

// What a cell holds, which decides its cleaning.
enum class Field {
    Typed,      // texts typed by the person (titles, categories, accounts): "," → " | "
    Stored,     // codes written as stored (receipt, item and account numbers)
    Formatted,  // texts the program formats itself (dates, amounts, rates)
};

// The text of one cell, to be written between double quotes.
QString cell(const QString& text, Field field, Charset charset);

// The finished file text as bytes of `charset`; characters the set cannot
// hold are folded as in cell() (line ends and separators of the file are kept).
QByteArray encode(const QString& text, Charset charset);

// The pieces of cell(), for writers with rules of their own.
// Whether `charset` holds the code point.
bool holds(Charset charset, char32_t codePoint);
// `text` with what `charset` cannot hold folded.
QString folded(const QString& text, Charset charset);
// `text` with a leading "'" when a spreadsheet would read it as a formula.
QString formulaSafe(const QString& text);
// Whether `text` is a plain number: a sign, digits with "." "," "'" or blanks
// between them, and at most a "%" or a currency sign after them.
bool isNumber(const QString& text);

}  // namespace quandor::csv
