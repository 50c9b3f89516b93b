// The program's icon: the model of the Figure tab in a square of the given
// size, on a transparent ground; the SVG icon is drawn by the same.
#pragma once

#include <QImage>

class QPainter;

void DrawProgramIcon(QPainter& painter, double size);
QImage ProgramIcon(int size);
