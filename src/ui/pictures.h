// The pictures of the windows, drawn by the program itself.
#pragma once

#include <QImage>

class QPainter;

// The Figure tab: the pre-reservoir and the cascade of the model (473 x 390).
QImage ModelDiagram();
// The small drawing of the Input tab (137 x 161).
QImage InputDrawing();
// The calculator: a cross-section of a field drained by a pipe and a ditch
// (400 x 185).
QImage DrainageSection();
// The program's icon: the model of the Figure tab in a square of the
// given size, on a transparent ground; the SVG icon is drawn by the same.
void DrawProgramIcon(QPainter& painter, double size);
QImage ProgramIcon(int size);
