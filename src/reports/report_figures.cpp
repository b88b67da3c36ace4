#include "reports/report_figures.h"

#include "core/keys.h"

#include <QHash>

#include <algorithm>

namespace quandor {

const QString kWithoutAccountTitle = QStringLiteral("Ohne Konto");

std::vector<const Record*> itemsByDate(const Record& statement) {
    // Each item's date is read once: a comparison that looked it up in the
    // item's fields would do so some twenty times per item.
    struct Dated {
        double date;
        const Record* item;
    };
    std::vector<Dated> dated;
    dated.reserve(statement.items().size());
    for (const RecordPtr& item : statement.items())
        if (item) dated.push_back({item->date(keys::date).sinceReference, item.get()});
    std::stable_sort(dated.begin(), dated.end(),
                     [](const Dated& a, const Dated& b) { return a.date < b.date; });
    std::vector<const Record*> items;
    items.reserve(dated.size());
    for (const Dated& d : dated) items.push_back(d.item);
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
        for (const Record* item : itemsByDate(*list)) {
            s.sums.expenseWith += item->real(keys::expenseWith);
            s.sums.expenseWithout += item->real(keys::expenseWithout);
            s.sums.incomeWith += item->real(keys::incomeWith);
            s.sums.incomeWithout += item->real(keys::incomeWithout);
            if (withItems) s.items.push_back({++number, item});
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
        for (const Record* item : itemsByDate(*list)) {
            if (!item->flag(keys::taxBool)) continue;
            const int64_t tag = item->integer(keys::taxTag);
            if (tag < 1 || tag > 3) continue;
            const size_t r = static_cast<size_t>(tag - 1);
            if (item->integer(keys::kind) == 1)
                s.expenseTax[r] += item->real(keys::taxFeeGet);
            else
                s.incomeTax[r] += item->real(keys::taxFeePay);
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
    // The working list: every item of the year, statements in list order.
    std::vector<const Record*> working;
    for (const RecordPtr& list : year.thelists())
        if (list)
            for (const Record* item : itemsByDate(*list)) working.push_back(item);

    // Items by account title, in working-list order: each distinct title a
    // group, each item's group remembered for the section "Ohne Konto".
    QHash<QString, size_t> groupOf;
    std::vector<std::vector<const Record*>> groups;
    std::vector<size_t> itemGroup;
    itemGroup.reserve(working.size());
    for (const Record* item : working) {
        const QString title = item->text(keys::account);
        auto it = groupOf.find(title);
        if (it == groupOf.end()) {
            it = groupOf.insert(title, groups.size());
            groups.emplace_back();
        }
        groups[*it].push_back(item);
        itemGroup.push_back(*it);
    }
    std::vector<bool> groupShown(groups.size(), false);

    auto addSection = [&report](ProfitReport::Account section,
                                const std::vector<const Record*>& items) {
        int number = 0;
        section.items.reserve(items.size());
        for (const Record* item : items) {
            section.items.push_back({++number, item});
            section.sumWith += item->real(keys::finalAmount);
            section.sumWithout += item->real(keys::finalAmountWithout);
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
    std::vector<const Record*> rest;
    for (size_t i = 0; i < working.size(); ++i)
        if (!groupShown[itemGroup[i]]) rest.push_back(working[i]);
    if (!rest.empty()) {
        ProfitReport::Account section;
        section.title = kWithoutAccountTitle;
        section.withoutAccount = true;
        addSection(std::move(section), rest);
    }
    return report;
}

}  // namespace quandor
