#include "ui/list_models.h"

#include "core/keys.h"
#include "ui/main_window_rules.h"

#include <QBrush>
#include <QColor>
#include <QDateTime>
#include <QIcon>
#include <QLocale>
#include <QPainter>
#include <QPixmap>

namespace quandor::ui {

namespace {

QColor toQColor(const Rgb& c) {
    return QColor::fromRgbF(float(c.red), float(c.green), float(c.blue));
}

// The small list icons of items, drawn once: a dot in the item's colour, with a
// ring when VAT is charged.
const QIcon& itemIcon(QStringView name) {
    static const auto make = [](QColor fill, bool ring) {
        QPixmap pixmap(28, 28);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawEllipse(QRectF(7, 7, 14, 14));
        if (ring) {
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(fill, 2.4));
            p.drawEllipse(QRectF(2.5, 2.5, 23, 23));
        }
        return QIcon(pixmap);
    };
    static const QIcon grey = make(QColor(150, 150, 150), false);
    static const QIcon red = make(toQColor(kSumNegativeColor), false);
    static const QIcon redTax = make(toQColor(kSumNegativeColor), true);
    static const QIcon green = make(toQColor(kSumPositiveColor), false);
    static const QIcon greenTax = make(toQColor(kSumPositiveColor), true);
    if (name == QStringView(keys::icon::itemRed)) return red;
    if (name == QStringView(keys::icon::itemRedTax)) return redTax;
    if (name == QStringView(keys::icon::itemGreen)) return green;
    if (name == QStringView(keys::icon::itemGreenTax)) return greenTax;
    return grey;
}

QString shortDate(const Date& d) {
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(qint64(d.toUnix() * 1000.0));
    QLocale locale;
    if (locale.language() == QLocale::C) locale = QLocale(QLocale::German, QLocale::Germany);
    return locale.toString(when.toLocalTime().date(), QLocale::ShortFormat);
}

}  // namespace

// ---- years -----------------------------------------------------------------

YearListModel::YearListModel(const Database& db, QObject* parent)
    : QAbstractListModel(parent), db_(db) {}

int YearListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(db_.years.size());
}

QVariant YearListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || size_t(index.row()) >= db_.years.size()) return {};
    const auto& year = db_.years[size_t(index.row())];
    if (!year) return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return year->text(keys::dateValue);
    return {};
}

void YearListModel::reload() {
    beginResetModel();
    endResetModel();
}

// ---- statements --------------------------------------------------------------

StatementListModel::StatementListModel(const Selection& selection, QObject* parent)
    : QAbstractListModel(parent), selection_(selection) {}

const RecordList* StatementListModel::statements() const {
    const RecordPtr year = selection_.selectedYear();
    return year ? &year->thelists() : nullptr;
}

int StatementListModel::rowCount(const QModelIndex& parent) const {
    const RecordList* list = statements();
    return parent.isValid() || !list ? 0 : int(list->size());
}

QVariant StatementListModel::data(const QModelIndex& index, int role) const {
    const RecordList* list = statements();
    if (!index.isValid() || !list || size_t(index.row()) >= list->size()) return {};
    const auto& statement = (*list)[size_t(index.row())];
    if (!statement) return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return statement->text(keys::title);
    return {};
}

void StatementListModel::reload() {
    beginResetModel();
    endResetModel();
}

// ---- items -------------------------------------------------------------------

ItemTableModel::ItemTableModel(const Selection& selection, QObject* parent)
    : QAbstractTableModel(parent), selection_(selection) {}

int ItemTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(selection_.listedCount());
}

int ItemTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

const Record* ItemTableModel::itemAt(int row) const {
    // Reads the row in place (no shared-pointer copy per cell).
    const auto& rows = selection_.listedIndexes();
    const RecordPtr statement = selection_.selectedStatement();
    if (row < 0 || size_t(row) >= rows.size() || !statement) return nullptr;
    const RecordList& items = statement->items();
    const uint32_t i = rows[size_t(row)];
    return i < items.size() ? items[i].get() : nullptr;
}

QVariant ItemTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const Record* item = itemAt(index.row());
    if (!item) return {};
    switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
                case Date:
                    return shortDate(item->date(keys::date));
                case Title:
                    return item->text(keys::title);
                case Group:
                    return item->text(keys::group);
                case Account:
                    return item->text(keys::account);
                case Amount:
                    return moneyText(item->real(keys::finalAmount));
                case Tax:
                    return moneyText(item->real(keys::taxFee));
            }
            return {};
        case Qt::DecorationRole:
            if (index.column() == Date) {
                const Value* image = item->properties().find(keys::image);
                return image ? itemIcon(image->iconName()) : itemIcon(u"");
            }
            return {};
        case Qt::TextAlignmentRole:
            if (index.column() == Amount || index.column() == Tax)
                return int(Qt::AlignRight | Qt::AlignVCenter);
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::ForegroundRole:
            if (index.column() == Amount) {
                const float amount = item->real(keys::finalAmount);
                if (amount < 0.0f) return QBrush(toQColor(kSumNegativeColor));
            }
            return {};
        case Qt::ToolTipRole:
            if (index.column() == Title) return item->text(keys::comment);
            return {};
    }
    return {};
}

QVariant ItemTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::TextAlignmentRole)
        return int((section == Amount || section == Tax ? Qt::AlignRight : Qt::AlignLeft) |
                   Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    switch (section) {
        case Date:
            return QStringLiteral("Datum");
        case Title:
            return QStringLiteral("Bezeichnung");
        case Group:
            return QStringLiteral("Kategorie");
        case Account:
            return QStringLiteral("Konto");
        case Amount:
            return QStringLiteral("Betrag");
        case Tax:
            return QStringLiteral("MwSt");
    }
    return {};
}

void ItemTableModel::reload() {
    beginResetModel();
    endResetModel();
}

}  // namespace quandor::ui
