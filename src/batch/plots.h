// Charts written by the batch commands, drawn by the graph program beside
// this one: the batch tool itself does not load Qt.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "batch/batchargs.h"
#include "files/tabledates.h"
#include "graphs/chart.h"

// Writes each chart to its path (PNG or SVG by extension) by running the drawing program
// beside this one once for all of them; false with error set when any could not be written.
bool SaveCharts(const std::vector<std::pair<TChart, std::string>>& charts, std::string& error);
// The same with the drawing program named.
bool SaveChartsWith(const std::filesystem::path& program,
                    const std::vector<std::pair<TChart, std::string>>& charts, std::string& error);
// The x of a time of a record on a chart: days since 1970-01-01 when it
// has dates, the time itself otherwise.
double ChartX(const std::optional<TRecordDates>& dates, double time);

// --plot-format of args: "png" or "svg", "png" when not given.
std::string PlotFormat(const TArgs& args);
// Empty when --plot-format is good (or not given), else the usage error.
std::string PlotFormatFault(const TArgs& args);

// ".png" or ".svg" (any case); false otherwise.
bool IsChartPath(const std::string& path);

// tolvane-batch-graph in the folder of the running program (argv0's when
// that cannot be found out): where the build and an installed package put it.
std::filesystem::path GraphProgram(const char* argv0 = nullptr);
