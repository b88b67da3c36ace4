#pragma once
// The bookkeeping controllers of the open books, wired to each other: what the
// desktop program's windows bind to and the tests drive. A command of the
// command line builds only the controllers it needs.
//
//   YearsController ──┐
//                     ├── share the main window's OpenSheet
//   AddController ────┘ ◀── SplitController
//   ArrayController
//   TotalsController ◀── StatementPrintController ◀── VoranmeldungController
//          ▲─────────────────────────────────────────────────┘
//   FirstStepsController ──▶ YearsController

#include "bookkeeping/add_controller.h"
#include "bookkeeping/array_controller.h"
#include "bookkeeping/first_steps_controller.h"
#include "bookkeeping/open_sheet.h"
#include "bookkeeping/split_controller.h"
#include "bookkeeping/statement_print_controller.h"
#include "bookkeeping/totals_controller.h"
#include "bookkeeping/voranmeldung_controller.h"
#include "bookkeeping/years_controller.h"
#include "core/books.h"

namespace quandor {

struct BookkeepingControllers {
    explicit BookkeepingControllers(Books& books)
        : years(books, sheet),
          items(books, sheet),
          split(books, items),
          lists(books),
          totals(books),
          print(books, totals),
          vat(books, totals, print),
          firstSteps(books, years) {}
    BookkeepingControllers(const BookkeepingControllers&) = delete;
    BookkeepingControllers& operator=(const BookkeepingControllers&) = delete;

    OpenSheet sheet;  // the main window's year, statement or item sheet
    YearsController years;
    AddController items;
    SplitController split;
    ArrayController lists;
    TotalsController totals;
    StatementPrintController print;
    VoranmeldungController vat;
    FirstStepsController firstSteps;  // the first-steps assistant over the main window
};

}  // namespace quandor
