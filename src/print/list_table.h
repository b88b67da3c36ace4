#pragma once
// A long list of rows (the item lists of statements and reports), painted by
// the print pipeline itself after a page's styled text: laying out thousands
// of table rows as styled text costs seconds per thousand rows, painting them
// directly costs milliseconds. The list starts on a new page, repeats its
// heading row on every page and splits a row between pages only when it is
// taller than a page. Texts are printed whole: a text too wide for its column
// wraps at blanks, a word too wide for it where it must. A cell's second text
// stays in the cell's lower line, also when the first text is empty.

#include <QString>
#include <Qt>

#include <vector>

namespace quandor::print {

struct ListColumn {
    QString title;
    double width = 0;  // points; the columns together are scaled to the printable width
    Qt::Alignment align = Qt::AlignLeft;
    QString below;  // a second title under the first, for the cells' second texts
};

struct ListCell {
    enum class Size : unsigned char { Normal, Small, Tiny };
    QString text;
    QString below;  // a second text under the first, in small type
    bool bold = false;
    Size size = Size::Normal;
};

struct ListTable {
    QString heading;  // bold, above the list on its first page
    std::vector<ListColumn> columns;
    std::vector<std::vector<ListCell>> rows;  // one cell per column
    double fontSize = 7;                      // points; small type 6, tiny type 5
    bool border = false;
    double padding = 2;
    // Only in the page's HTML: the table's width in points, and the line
    // breaks before the heading (the painted list starts on a new page).
    int width = 575;
    int breaksBefore = 0;

    bool empty() const { return columns.empty(); }
};

}  // namespace quandor::print
