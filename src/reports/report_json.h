#pragma once
// The report figures as a value tree for the canonical JSON (`quandor-cli
// report-data`): every sum and balance as the 32-bit float the report holds,
// so outside checks compare them to the bit.

#include "core/value.h"
#include "reports/report_figures.h"

namespace quandor {

Value umsatzData(const StatementsReport& report);
Value monateData(const StatementsReport& report);
Value steuernData(const TaxReport& report);
Value gewinneData(const ProfitReport& report);

}  // namespace quandor
