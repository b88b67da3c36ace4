#pragma once
// The figures of the four annual reports of a year, computed once into plain
// structs. The pages (report_pages.h), the reports window, `quandor-cli
// report-data` and the export of the reports all read these structs; nothing
// here touches a window, the settings or a file.
//
//   Year ─┬─ statements (list order) ─┬─ items (by "date", oldest first)
//         │                           └─ advance return ("taxBool", payments)
//         └─ accounts of the account list (list order), matched by title
//
// Summing order (32-bit floats, each addition rounded, never reassociated):
//
// - Statement sums: a statement's items by "date" ascending (ties keep list
//   order), each of "expenseWith", "expenseWithout", "incomeWith",
//   "incomeWithout" added to its sum starting at 0.
// - Year totals: the statement sums added in statement list order, starting at 0.
// - Balances: total "incomeWith" + total "expenseWith" and total
//   "incomeWithout" + total "expenseWithout" (expenses are stored negative).
// - VAT per rate 1 to 3 of a statement: its items by "date", only those with
//   "taxBool"; "taxFeePay" of a non-expense item to the income sum of its
//   "taxTag", "taxFeeGet" of an expense item (kind 1) to the expense sum;
//   balance = income − expense. The year's balance per rate: the statements'
//   balances added in list order.
// - Advance returns: "payment", "additionalPayment", "rePayment", "balance"
//   of each statement whose return was created, added in list order.
// - Profit basis: the year's items (statements in list order, each by
//   "date") per account in account-list order; an account's sums add
//   "finalAmount" and "finalAmountWithout" of its items in that order; the
//   balances add the accounts' sums in section order, the section "Ohne
//   Konto" (items whose "account" names no account) last.

#include "core/record.h"

#include <QString>

#include <array>
#include <vector>

namespace quandor {

// The four sums of a set of items.
struct ReportSums {
    float expenseWith = 0;
    float expenseWithout = 0;
    float incomeWith = 0;
    float incomeWithout = 0;
};

// An item as a report lists it, with its running number.
struct NumberedItem {
    int number = 0;
    const Record* item = nullptr;
};

// Revenue ("Umsatz") and monthly report ("Übersicht Abrechnungen"): the year's
// statements with their sums; the monthly report also lists every item,
// numbered from 1 across all statements.
struct StatementsReport {
    struct Statement {
        QString title;
        ReportSums sums;
        std::vector<NumberedItem> items;  // by "date", numbered across the report
    };
    QString yearName;
    std::vector<Statement> statements;  // in list order
    ReportSums totals;
    float balanceWith = 0;
    float balanceWithout = 0;
};

// Tax report ("Übersicht Steuern").
struct TaxReport {
    struct AdvanceReturn {
        float payment = 0;
        float additionalPayment = 0;
        float rePayment = 0;
        float balance = 0;
    };
    struct Statement {
        QString title;
        bool returnCreated = false;        // the statement's "taxBool"
        Date returnDate;                   // its "date"
        AdvanceReturn advanceReturn;       // zero when no return was created
        std::array<float, 3> incomeTax{};  // rates 1 to 3
        std::array<float, 3> expenseTax{};
        std::array<float, 3> saldo{};
    };
    QString yearName;
    std::vector<Statement> statements;
    std::array<float, 3> saldo{};  // "Saldo Steuersätze"
    AdvanceReturn advanceReturn;   // "Saldo Umsatzsteuer"
};

// Profit basis ("Grundlage Gewinnermittlung").
struct ProfitReport {
    struct Account {
        QString title;
        QString number;
        bool withoutAccount = false;      // the last section, "Ohne Konto"
        std::vector<NumberedItem> items;  // numbered from 1 in each section
        float sumWith = 0;                // "finalAmount"
        float sumWithout = 0;             // "finalAmountWithout"
    };
    QString yearName;
    std::vector<Account> accounts;  // accounts with items, in list order; "Ohne Konto" last
    float balanceWith = 0;
    float balanceWithout = 0;
};

// The title of the section of items whose account names no account.
extern const QString kWithoutAccountTitle;

// A statement's items by "date", oldest first (ties keep list order).
std::vector<const Record*> itemsByDate(const Record& statement);

// `withItems`: the monthly report's item lists and numbers (the revenue report needs none).
StatementsReport statementsReport(const Record& year, bool withItems);
TaxReport taxReport(const Record& year);
ProfitReport profitReport(const Record& year, const RecordList& accounts);

}  // namespace quandor
