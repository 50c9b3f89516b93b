#include "render/chartfile.h"

#include "files/filepaths.h"
#include "render/graphfile.h"
#include "render/qtcanvas.h"
#include "render/svgcanvas.h"

QImage ChartImage(const TChart& chart) {
  TQtCanvas canvas(chart.Width, chart.Height);
  DrawChart(chart, canvas);
  return canvas.Image();
}

std::string ChartSvg(const TChart& chart) {
  TSvgCanvas canvas(chart.Width, chart.Height, chart.Title.empty() ? "Tolvane chart" : chart.Title);
  DrawChart(chart, canvas);
  return canvas.Finish();
}

bool SaveChart(const TChart& chart, const std::string& path, std::string* error) {
  auto fail = [error](const std::string& text) {
    if (error) *error = text;
    return false;
  };
  const auto format = GraphFileFormatOf(path);
  if (!format || *format == TGraphFileFormat::Bmp) return fail("a chart is saved as .png or .svg");
  for (const int size : {chart.Width, chart.Height})
    if (size < MinChartSize || size > MaxChartSize)
      return fail("a chart is " + std::to_string(MinChartSize) + " to " +
                  std::to_string(MaxChartSize) + " pixels wide and high");
  if (*format == TGraphFileFormat::Png) return SavePng(ChartImage(chart), path, 96, error);
  return WriteFileAtomically(path, ChartSvg(chart), error);
}
