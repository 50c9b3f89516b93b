#include "render/graphfile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "files/filepaths.h"
#include "render/qtcanvas.h"
#include "render/svgcanvas.h"

std::optional<TGraphFileFormat> GraphFileFormatOf(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (ext == ".bmp") return TGraphFileFormat::Bmp;
  if (ext == ".png") return TGraphFileFormat::Png;
  if (ext == ".svg") return TGraphFileFormat::Svg;
  return std::nullopt;
}

bool ScaleFitsFormat(TGraphFileFormat format, int scale) {
  return scale == 1 || (format == TGraphFileFormat::Png && scale >= 1 && scale <= MaxGraphScale);
}

TGraphRecording NewGraphRecording() { return TGraphRecording(MeasureGraphText); }

QImage GraphImage(const TGraphRecording& graph, int scale) {
  TQtCanvas canvas(scale);
  graph.DrawOn(canvas);
  return canvas.Image();
}

std::string GraphSvg(const TGraphRecording& graph) {
  TSvgCanvas canvas;
  graph.DrawOn(canvas);
  return canvas.Finish();
}

bool SaveGraph(const TGraphRecording& graph, const std::string& path, TGraphFileFormat format,
               int scale, std::string* error) {
  if (!ScaleFitsFormat(format, scale)) {
    if (error) *error = "a graph of this format cannot be drawn at scale " + std::to_string(scale);
    return false;
  }
  switch (format) {
    case TGraphFileFormat::Bmp:
      return SaveBitmap(GraphImage(graph, 1), path, error);
    case TGraphFileFormat::Png:
      // As many dots per inch more as the scale: the picture prints as
      // large as the bitmap, only sharper.
      return SavePng(GraphImage(graph, scale), path, 96 * scale, error);
    case TGraphFileFormat::Svg:
      return WriteFileAtomically(path, GraphSvg(graph), error);
  }
  return false;
}
