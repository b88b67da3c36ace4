#include "reports/report_json.h"

#include "bookkeeping/voranmeldung.h"
#include "core/keys.h"

namespace quandor {

namespace {

using DictPtr = std::shared_ptr<Dict>;

DictPtr dict() {
    return std::make_shared<Dict>();
}

void putSums(Dict& d, const ReportSums& s) {
    d.set(u"expenseWith", s.expenseWith);
    d.set(u"expenseWithout", s.expenseWithout);
    d.set(u"incomeWith", s.incomeWith);
    d.set(u"incomeWithout", s.incomeWithout);
}

Value rates(const std::array<float, 3>& v) {
    return Value::list({Value(v[0]), Value(v[1]), Value(v[2])});
}

Value items(const std::vector<NumberedItem>& list) {
    ValueList out;
    out.reserve(list.size());
    // The keys interned once, not once per item.
    static const Key number(u"number"), title(u"title"), date(u"date"), finalAmount(u"finalAmount"),
        finalAmountWithout(u"finalAmountWithout");
    for (const NumberedItem& n : list) {
        DictPtr d = dict();
        d->reserve(5);
        d->append(number, n.number);
        d->append(title, n.item->text(keys::title));
        d->append(date, n.item->date(keys::date));
        d->append(finalAmount, n.item->real(keys::finalAmount));
        d->append(finalAmountWithout, n.item->real(keys::finalAmountWithout));
        out.emplace_back(std::move(d));
    }
    return Value::list(std::move(out));
}

Value statementsData(const StatementsReport& r, const QString& kind, bool withItems) {
    DictPtr root = dict();
    root->set(u"kind", kind);
    root->set(u"year", r.yearName);
    ValueList statements;
    for (const StatementsReport::Statement& s : r.statements) {
        DictPtr d = dict();
        d->set(u"title", s.title);
        putSums(*d, s.sums);
        if (withItems) d->set(u"items", items(s.items));
        statements.emplace_back(std::move(d));
    }
    root->set(u"statements", Value::list(std::move(statements)));
    DictPtr totals = dict();
    putSums(*totals, r.totals);
    root->set(u"totals", Value(totals));
    root->set(u"balanceWith", r.balanceWith);
    root->set(u"balanceWithout", r.balanceWithout);
    return Value(root);
}

Value advanceReturn(const TaxReport::AdvanceReturn& a) {
    DictPtr d = dict();
    d->set(u"payment", a.payment);
    d->set(u"additionalPayment", a.additionalPayment);
    d->set(u"rePayment", a.rePayment);
    d->set(u"balance", a.balance);
    return Value(d);
}

}  // namespace

Value umsatzData(const StatementsReport& r) {
    return statementsData(r, QStringLiteral("umsatz"), false);
}
Value monateData(const StatementsReport& r) {
    return statementsData(r, QStringLiteral("monate"), true);
}

Value steuernData(const TaxReport& r) {
    DictPtr root = dict();
    root->set(u"kind", QStringLiteral("steuern"));
    root->set(u"year", r.yearName);
    ValueList statements;
    for (const TaxReport::Statement& s : r.statements) {
        DictPtr d = dict();
        d->set(u"title", s.title);
        d->set(u"returnCreated", s.returnCreated);
        if (s.returnCreated) {
            d->set(u"returnDate", s.returnDate);
            d->set(u"advanceReturn", advanceReturn(s.advanceReturn));
        }
        d->set(u"incomeTax", rates(s.incomeTax));
        d->set(u"expenseTax", rates(s.expenseTax));
        d->set(u"saldo", rates(s.saldo));
        // The figures the page labels with the official form's Kennzahlen.
        DictPtr kz = dict();
        auto put = [&kz](float StatementTotals::*total, float v) {
            kz->set(Key(QStringLiteral("Kz") + kennzahlOf(total).toString()), v);
        };
        put(&StatementTotals::tax3Amount, s.incomeTax[2]);
        if (s.returnCreated) {
            put(&StatementTotals::abziehbareBetraegeSteuer, s.advanceReturn.rePayment);
            put(&StatementTotals::saldo, s.advanceReturn.balance);
        }
        d->set(u"kennzahlen", Value(kz));
        statements.emplace_back(std::move(d));
    }
    root->set(u"statements", Value::list(std::move(statements)));
    root->set(u"saldo", rates(r.saldo));
    root->set(u"advanceReturn", advanceReturn(r.advanceReturn));
    return Value(root);
}

Value gewinneData(const ProfitReport& r) {
    DictPtr root = dict();
    root->set(u"kind", QStringLiteral("gewinne"));
    root->set(u"year", r.yearName);
    ValueList accounts;
    for (const ProfitReport::Account& a : r.accounts) {
        DictPtr d = dict();
        d->set(u"title", a.title);
        d->set(u"number", a.number);
        d->set(u"withoutAccount", a.withoutAccount);
        d->set(u"items", items(a.items));
        d->set(u"sumWith", a.sumWith);
        d->set(u"sumWithout", a.sumWithout);
        accounts.emplace_back(std::move(d));
    }
    root->set(u"accounts", Value::list(std::move(accounts)));
    root->set(u"balanceWith", r.balanceWith);
    root->set(u"balanceWithout", r.balanceWithout);
    return Value(root);
}

}  // namespace quandor
