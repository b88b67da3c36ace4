#pragma once
// A small database for the window tests: two years, statements, items with
// dates out of order and both signs.

#include "core/database.h"
#include "core/keys.h"

#include <QDateTime>
#include <QTimeZone>

namespace quandor::test {

inline Date dayStamp(int year, int month, int day) {
    return Date::fromUnix(
        double(QDateTime(QDate(year, month, day), QTime(12, 0), Qt::UTC).toSecsSinceEpoch()));
}

inline RecordPtr sampleItem(const QString& title, const QString& group, float finalAmount,
                            Date date) {
    RecordPtr item = Record::create(RecordClass::Item, date);
    item->set(keys::title, title);
    item->set(keys::group, group);
    item->set(keys::account, QStringLiteral("Bank"));
    item->set(keys::finalAmount, finalAmount);
    item->set(keys::amount, finalAmount < 0 ? -finalAmount : finalAmount);
    item->set(keys::date, date);
    return item;
}

inline RecordPtr sampleStatement(const QString& title, RecordList items) {
    RecordPtr statement = Record::create(RecordClass::Thelist, dayStamp(2024, 1, 1));
    statement->set(keys::title, title);
    statement->items() = std::move(items);
    return statement;
}

inline Database sampleDatabase() {
    Database db;
    RecordPtr y2023 = Record::create(RecordClass::Year, dayStamp(2023, 1, 1));
    y2023->set(keys::dateValue, QStringLiteral("2023"));
    y2023->thelists().push_back(
        sampleStatement(QStringLiteral("Dezember"),
                        {sampleItem(QStringLiteral("Miete"), QStringLiteral("Raumkosten"), -800.0f,
                                    dayStamp(2023, 12, 1))}));
    RecordPtr y2024 = Record::create(RecordClass::Year, dayStamp(2024, 1, 1));
    y2024->set(keys::dateValue, QStringLiteral("2024"));
    y2024->thelists().push_back(
        sampleStatement(QStringLiteral("Januar"),
                        {
                            sampleItem(QStringLiteral("Rechnung Müller"), QStringLiteral("Erlöse"),
                                       1190.0f, dayStamp(2024, 1, 20)),
                            sampleItem(QStringLiteral("Druckerpapier"),
                                       QStringLiteral("Bürobedarf"), -23.80f, dayStamp(2024, 1, 3)),
                            sampleItem(QStringLiteral("Bahnfahrt"), QStringLiteral("Reisekosten"),
                                       -89.0f, dayStamp(2024, 1, 11)),
                        }));
    y2024->thelists().push_back(sampleStatement(QStringLiteral("Februar"), {}));
    db.years = {y2023, y2024};
    return db;
}

}  // namespace quandor::test
