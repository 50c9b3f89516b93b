// The figure of a large-sample study: the cumulative distribution of NSE
// and of KGE over the catchments of a summary, calibration and validation.
#pragma once

#include <string>

#include "batch/batchargs.h"
#include "graphs/chart.h"

// The charts of the summary's text, to folder/cdf-nse.EXT and
// folder/cdf-kge.EXT (extension "png" or "svg"); catchments not ok and
// criteria that do not exist are left out.
TChartFiles RegionalCdfCharts(const std::string& summary, const std::string& folder,
                              const std::string& extension);

// Draws them (the folder made when missing); false with error set when
// they could not be written.
bool SaveRegionalPlots(const std::string& summary, const std::string& folder,
                       const std::string& extension, std::string& error);

// --plots DIR [--plot-format png|svg] of args, for the summary's text: says
// what it wrote; false with error set when it could not. A usage error
// (a bad format) is checked by PlotFormatFault first.
bool PlotsOfArgs(const TArgs& args, const std::string& summary, std::string& error);
