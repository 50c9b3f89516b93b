// Charts written by the batch commands, drawn by the graph program beside
// this one: the batch tool itself does not load Qt.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "graphs/chart.h"

// Writes each chart to its path (PNG or SVG by extension) by running the drawing program
// beside this one once for all of them; false with error set when any could not be written.
bool SaveCharts(const std::vector<std::pair<TChart, std::string>>& charts, std::string& error);
// The same with the drawing program named.
bool SaveChartsWith(const std::filesystem::path& program,
                    const std::vector<std::pair<TChart, std::string>>& charts, std::string& error);
// ".png" or ".svg" (any case); false otherwise.
bool IsChartPath(const std::string& path);

// tolvane-batch-graph in the folder of the running program (argv0's when
// that cannot be found out): where the build and an installed package put it.
std::filesystem::path GraphProgram(const char* argv0 = nullptr);
