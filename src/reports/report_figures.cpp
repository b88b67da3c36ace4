#include "reports/report_figures.h"

#include "core/keys.h"

#include <QHash>

#include <algorithm>

namespace quandor {

const QString kWithoutAccountTitle = QStringLiteral("Ohne Konto");

namespace {

// An item of a statement with its date and the fields a report reads.
template <typename Fields>
struct Dated {
    double date;
    const Record* item;
    Fields fields;
};

// A statement's items by "date" (ties keep list order), each with `read`'s
// fields. Every field is read in one visit per item, in the order the items
// are stored: sorting first and reading after would visit the items' fields
// in date order, and a comparison that looked up the dates some twenty times
// per item.
template <typename Fields, typename Read>
std::vector<Dated<Fields>> datedItems(const Record& statement, Read read) {
    std::vector<Dated<Fields>> dated;
    dated.reserve(statement.items().size());
    for (const RecordPtr& item : statement.items())
        if (item) dated.push_back({item->date(keys::date).sinceReference, item.get(), read(*item)});
    std::stable_sort(
        dated.begin(), dated.end(),
        [](const Dated<Fields>& a, const Dated<Fields>& b) { return a.date < b.date; });
    return dated;
}

struct NoFields {};

}  // namespace

std::vector<const Record*> itemsByDate(const Record& statement) {
    std::vector<const Record*> items;
    items.reserve(statement.items().size());
    for (const auto& d : datedItems<NoFields>(statement, [](const Record&) { return NoFields{}; }))
        items.push_back(d.item);
    return items;
}

StatementsReport statementsReport(const Record& year, bool withItems) {
    StatementsReport report;
    report.yearName = year.text(keys::dateValue);
    int number = 0;
    for (const RecordPtr& list : year.thelists()) {
        if (!list) continue;
        StatementsReport::Statement s;
        s.title = list->text(keys::title);
        const auto items = datedItems<ReportSums>(*list, [](const Record& item) {
            return ReportSums{item.real(keys::expenseWith), item.real(keys::expenseWithout),
                              item.real(keys::incomeWith), item.real(keys::incomeWithout)};
        });
        if (withItems) s.items.reserve(items.size());
        for (const auto& d : items) {
            s.sums.expenseWith += d.fields.expenseWith;
            s.sums.expenseWithout += d.fields.expenseWithout;
            s.sums.incomeWith += d.fields.incomeWith;
            s.sums.incomeWithout += d.fields.incomeWithout;
            if (withItems) s.items.push_back({++number, d.item});
        }
        report.totals.expenseWith += s.sums.expenseWith;
        report.totals.expenseWithout += s.sums.expenseWithout;
        report.totals.incomeWith += s.sums.incomeWith;
        report.totals.incomeWithout += s.sums.incomeWithout;
        report.statements.push_back(std::move(s));
    }
    report.balanceWith = report.totals.incomeWith + report.totals.expenseWith;
    report.balanceWithout = report.totals.incomeWithout + report.totals.expenseWithout;
    return report;
}

TaxReport taxReport(const Record& year) {
    TaxReport report;
    report.yearName = year.text(keys::dateValue);
    struct VatFields {
        bool vat = false;
        int64_t tag = 0;
        bool expense = false;
        float fee = 0;  // "taxFeeGet" of an expense, "taxFeePay" of any other item
    };
    for (const RecordPtr& list : year.thelists()) {
        if (!list) continue;
        TaxReport::Statement s;
        s.title = list->text(keys::title);
        s.returnCreated = list->flag(keys::taxBool);
        s.returnDate = list->date(keys::date);
        if (s.returnCreated) {
            s.advanceReturn = {list->real(keys::payment), list->real(keys::additionalPayment),
                               list->real(keys::rePayment), list->real(keys::balance)};
            report.advanceReturn.payment += s.advanceReturn.payment;
            report.advanceReturn.additionalPayment += s.advanceReturn.additionalPayment;
            report.advanceReturn.rePayment += s.advanceReturn.rePayment;
            report.advanceReturn.balance += s.advanceReturn.balance;
        }
        const auto items = datedItems<VatFields>(*list, [](const Record& item) {
            VatFields f;
            f.vat = item.flag(keys::taxBool);
            if (!f.vat) return f;
            f.tag = item.integer(keys::taxTag);
            f.expense = item.integer(keys::kind) == 1;
            f.fee = item.real(f.expense ? keys::taxFeeGet : keys::taxFeePay);
            return f;
        });
        for (const auto& d : items) {
            if (!d.fields.vat) continue;
            if (d.fields.tag < 1 || d.fields.tag > 3) continue;
            const size_t r = static_cast<size_t>(d.fields.tag - 1);
            if (d.fields.expense)
                s.expenseTax[r] += d.fields.fee;
            else
                s.incomeTax[r] += d.fields.fee;
        }
        for (size_t r = 0; r < 3; ++r) {
            s.saldo[r] = s.incomeTax[r] - s.expenseTax[r];
            report.saldo[r] += s.saldo[r];
        }
        report.statements.push_back(std::move(s));
    }
    return report;
}

ProfitReport profitReport(const Record& year, const RecordList& accounts) {
    ProfitReport report;
    report.yearName = year.text(keys::dateValue);
    struct ProfitFields {
        QString account;
        float sumWith = 0;
        float sumWithout = 0;
    };
    // The working list: every item of the year, statements in list order.
    std::vector<Dated<ProfitFields>> working;
    for (const RecordPtr& list : year.thelists()) {
        if (!list) continue;
        auto items = datedItems<ProfitFields>(*list, [](const Record& item) {
            return ProfitFields{item.text(keys::account), item.real(keys::finalAmount),
                                item.real(keys::finalAmountWithout)};
        });
        if (working.empty())
            working = std::move(items);
        else
            working.insert(working.end(), std::make_move_iterator(items.begin()),
                           std::make_move_iterator(items.end()));
    }

    // Items by account title, in working-list order: each distinct title a
    // group, each item's group remembered for the section "Ohne Konto".
    QHash<QString, size_t> groupOf;
    std::vector<std::vector<size_t>> groups;
    std::vector<size_t> itemGroup;
    itemGroup.reserve(working.size());
    for (size_t i = 0; i < working.size(); ++i) {
        const QString& title = working[i].fields.account;
        auto it = groupOf.find(title);
        if (it == groupOf.end()) {
            it = groupOf.insert(title, groups.size());
            groups.emplace_back();
        }
        groups[*it].push_back(i);
        itemGroup.push_back(*it);
    }
    std::vector<bool> groupShown(groups.size(), false);

    auto addSection = [&report, &working](ProfitReport::Account section,
                                          const std::vector<size_t>& items) {
        int number = 0;
        section.items.reserve(items.size());
        for (const size_t i : items) {
            section.items.push_back({++number, working[i].item});
            section.sumWith += working[i].fields.sumWith;
            section.sumWithout += working[i].fields.sumWithout;
        }
        report.balanceWith += section.sumWith;
        report.balanceWithout += section.sumWithout;
        report.accounts.push_back(std::move(section));
    };

    // An account title shown once: a second account of the same title would
    // show (and count) the same items again.
    for (const RecordPtr& account : accounts) {
        if (!account) continue;
        const QString title = account->text(keys::title);
        const auto it = groupOf.constFind(title);
        if (it == groupOf.constEnd() || groupShown[*it]) continue;
        groupShown[*it] = true;
        ProfitReport::Account section;
        section.title = title;
        section.number = account->text(keys::number);
        addSection(std::move(section), groups[*it]);
    }
    std::vector<size_t> rest;
    for (size_t i = 0; i < working.size(); ++i)
        if (!groupShown[itemGroup[i]]) rest.push_back(i);
    if (!rest.empty()) {
        ProfitReport::Account section;
        section.title = kWithoutAccountTitle;
        section.withoutAccount = true;
        addSection(std::move(section), rest);
    }
    return report;
}

}  // namespace quandor
