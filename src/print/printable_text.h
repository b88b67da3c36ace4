#pragma once
// Texts as a printed page can show them. Every text a person typed passes
// here before it reaches a page (the page builders' HTML, the painted lists,
// headings and footers):
//
//  - line ends, tabs and the Unicode line and paragraph separators become a
//    blank; every other control character (NUL included) is dropped;
//  - a character as seen on screen (an emoji with its modifiers and joiners,
//    a letter with its accents) that no installed font can draw on a PDF page
//    becomes the visible placeholder "�" (U+FFFD; "?" should no font hold
//    that either). Characters missing from the page font but present in
//    another font stay: the layout draws them from that font (emoji from
//    Symbola, which scripts/setup installs). Fonts that hold only coloured
//    bitmaps (Noto Color Emoji) count as missing: Qt's PDF writer embeds them
//    without outlines, so their glyphs would print as nothing.
//
// Plain ASCII costs one scan; every other character is looked up once per
// process and remembered. Without a QGuiApplication no font can be asked, and
// only the control characters are replaced.

#include <QString>

namespace quandor::print {

QString printableText(const QString& text);

// Only the first rule: line ends and tabs as blanks, no control characters.
// For texts that are printed later (the rows of a ListTable, which the
// pipeline passes through printableText when it paints them) and for texts
// that also go to RTF, where the word processor picks its own fonts.
QString singleLine(const QString& text);

// The placeholder for characters no font can draw.
QString missingGlyphPlaceholder();

}  // namespace quandor::print
