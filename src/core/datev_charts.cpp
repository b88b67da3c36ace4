#include "core/datev_charts.h"

#include "core/archive/archive.h"
#include "core/datev_list.h"

#include <QFile>

namespace quandor::datev {

QString chartResource(Chart chart) {
    switch (chart) {
        case Chart::Complete:
            return QStringLiteral(":/datev/DATEV_2013_Complete.kmdb");
        case Chart::Standard:
            return QStringLiteral(":/datev/DATEV_2013_Mini.kmdb");
        case Chart::Minimal:
            return QStringLiteral(":/datev/DATEV_2013_Minimal.kmdb");
    }
    return {};
}

RecordList loadShippedChart(Chart chart) {
    QFile file(chartResource(chart));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const archive::ReadResult read = archive::read(file.readAll());
    RecordList accounts;
    if (!read.ok || !accountsFromRoot(read.root, accounts)) return {};
    return accounts;
}

}  // namespace quandor::datev
