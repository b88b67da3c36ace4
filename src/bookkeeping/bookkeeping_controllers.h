#pragma once
// The bookkeeping controllers of the open books, wired to each other: what the
// desktop program's windows bind to and the tests drive. A command of the
// command line builds only the controllers it needs.
//
//   TotalsController ◀── StatementPrintController ◀── VoranmeldungController
//          ▲─────────────────────────────────────────────────┘

#include "bookkeeping/add_controller.h"
#include "bookkeeping/statement_print_controller.h"
#include "bookkeeping/totals_controller.h"
#include "bookkeeping/voranmeldung_controller.h"
#include "core/books.h"

namespace quandor {

struct BookkeepingControllers {
    explicit BookkeepingControllers(Books& books)
        : items(books), totals(books), print(books, totals), vat(books, totals, print) {}
    BookkeepingControllers(const BookkeepingControllers&) = delete;
    BookkeepingControllers& operator=(const BookkeepingControllers&) = delete;

    AddController items;
    TotalsController totals;
    StatementPrintController print;
    VoranmeldungController vat;
};

}  // namespace quandor
