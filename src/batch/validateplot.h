// The hydrograph of a validation as a chart: measured and calculated runoff
// over the record's dates (or times), and with a slow flow path its quick
// and slow parts apart.
#pragma once

#include "batch/validatecmd.h"
#include "graphs/chart.h"

TChart ValidationChart(const TValidationData& data, const TValidation& v);
