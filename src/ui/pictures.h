// The pictures of the windows, kept as resources of the program.
#pragma once

#include <QImage>

// The Figure tab: the pre-reservoir and the cascade of the model (473 x 390).
QImage ModelDiagram();
// The small drawing of the Input tab (137 x 161).
QImage InputDrawing();
// The calculator: a cross-section of a field drained by a pipe and a ditch
// (400 x 185).
QImage DrainageSection();
