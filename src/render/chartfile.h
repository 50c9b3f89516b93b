// Report charts saved as pictures: PNG or SVG, chosen by the file's
// extension.
#pragma once

#include <QImage>
#include <string>

#include "graphs/chart.h"

// The chart drawn as an image of its size.
QImage ChartImage(const TChart& chart);
// The chart as an SVG document whose view box is its size.
std::string ChartSvg(const TChart& chart);

// Saves the chart as a PNG or SVG file by the extension of path (in any
// case), replacing an existing file whole or not at all. False, with error
// filled, for another extension, a size out of bounds or a failed write.
bool SaveChart(const TChart& chart, const std::string& path, std::string* error);
