// Graph files: the formats a graph is saved in, chosen by the file's
// extension, and the saving of a drawn graph in any of them.
#pragma once

#include <QImage>
#include <optional>
#include <string>

#include "graphs/graphrecording.h"

enum class TGraphFileFormat { Bmp, Png, Svg };

// The format the extension of path asks for, in any case; empty for any
// other extension.
std::optional<TGraphFileFormat> GraphFileFormatOf(const std::string& path);
// The extensions, for messages.
inline constexpr const char* GraphFileExtensions = ".bmp, .png or .svg";

// PNG graphs may be drawn at 1 to MaxGraphScale times the size of the
// bitmap; BMP and SVG graphs are drawn at scale 1 only.
inline constexpr int MaxGraphScale = 3;
bool ScaleFitsFormat(TGraphFileFormat format, int scale);

// A recording of a drawn graph measured by MeasureGraphText, so that
// every canvas lays it out alike.
TGraphRecording NewGraphRecording();

// The graph drawn as an image at the scale.
QImage GraphImage(const TGraphRecording& graph, int scale);
// The graph as an SVG document.
std::string GraphSvg(const TGraphRecording& graph);

// Saves the graph in the format, replacing an existing file whole or not at
// all. False, with error filled, when it could not be written or the scale
// does not fit the format.
bool SaveGraph(const TGraphRecording& graph, const std::string& path, TGraphFileFormat format,
               int scale, std::string* error);
