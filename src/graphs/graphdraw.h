// Drawing one finished graph of a graph kind onto a canvas.
#pragma once

#include <string>

#include "files/graphkind.h"
#include "graphs/graphcanvas.h"

class TDMQuorell;
struct TGraphState;

inline constexpr int GraphWidth = 623;
inline constexpr int GraphHeight = 465;

// The project's web page, named in the footer of every graph.
inline constexpr char ProgramWebAddress[] = "https://tolvane.example.org";
std::string FooterText();

// A data point: the bullet, drawn as text.
inline constexpr char GraphMarker[] = "\xE2\x80\xA2";

// Fixed-point with the given decimals, at least decimals + 2 characters,
// padded on the left with blanks, with the decimal separator given.
std::string TickLabel(double value, int decimals, char separator);

// Scales, converts and draws the graph of kind from the graph series of dm
// (which it scales in place, so each graph needs a fresh read). A graph
// that cannot be drawn (no points, an axis without extent) is refused with
// a message and nothing drawn; returns whether it was drawn.
bool ShowGraphics(TGraphState& g, TDMQuorell& dm, TGraphKind kind, TGraphCanvas& canvas);
