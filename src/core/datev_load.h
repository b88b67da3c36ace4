#pragma once
// Replacing the account list by one of the shipped DATEV charts, after the
// question the program asks (or without it, from the first-steps assistant).

#include "core/datev_charts.h"
#include "core/uiport.h"

namespace quandor::datev {

enum class Ask { Question, NoQuestion };

// Replaces `accounts` by the chart's accounts. With Ask::Question the chart's
// alert is shown first and only its default button goes on. Items keep their
// copied account texts. Returns true when the accounts were replaced; an
// unreadable chart leaves them as they were and says so.
bool loadChart(UiPort& ui, RecordList& accounts, Chart chart, Ask ask);

}  // namespace quandor::datev
