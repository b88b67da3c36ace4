#pragma once
// The three DATEV charts of accounts shipped with the program, embedded as
// Qt resources (":/datev/DATEV_2013_*.kmdb", generated at build time from
// resources/datev/*.txt by kmdbgen).

#include "core/value.h"

#include <QString>

namespace quandor::datev {

enum class Chart { Complete, Standard, Minimal };

// The resource path of a chart, e.g. ":/datev/DATEV_2013_Complete.kmdb".
QString chartResource(Chart chart);

// The chart's accounts, freshly read, so the caller may change them freely.
// Empty only when the program was built without its charts.
RecordList loadShippedChart(Chart chart);

}  // namespace quandor::datev
