#pragma once
// The sheet the main window shows over its lists: the year sheet, the
// statement sheet or the item sheet, one at a time. The years controller and
// the item entry share it, so neither opens its sheet over another one.

#include "core/record.h"

namespace quandor {

struct OpenSheet {
    enum class Kind { None, Year, Statement, Item };

    Kind kind = Kind::None;
    // The year, statement or item the sheet edits in place.
    RecordPtr record;
    // Opened on a fresh record: cancelling removes it again.
    bool isNew = false;
    bool helpDrawer = false;  // open the help drawer beside the sheet
    bool dateDrawer = false;  // item sheet: open the date drawer beside it

    bool isOpen() const { return kind != Kind::None; }
};

}  // namespace quandor
