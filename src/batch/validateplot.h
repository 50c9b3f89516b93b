// The hydrograph of a validation as a chart: measured and calculated runoff
// over the record's dates (or times), and with a slow flow path its quick
// and slow parts apart.
#pragma once

#include <optional>

#include "batch/validatecmd.h"
#include "files/tabledates.h"
#include "graphs/chart.h"

// The x of a time of a record: days since 1970-01-01 when it has dates,
// the time itself otherwise.
double ChartX(const std::optional<TRecordDates>& dates, double time);

TChart ValidationChart(const TValidationData& data, const TValidation& v);
