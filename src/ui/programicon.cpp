// The program's icon, drawn at any size from the model of the Figure tab:
// the desktop's icons (PNG and SVG) are made from it at build time.
#include "ui/programicon.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

#include "render/fonts.h"

namespace {

const QColor Ink(35, 35, 40);
const QColor WaterLight(150, 200, 240);
const QColor WaterDeep(55, 125, 200);
const QColor FlowBlue(25, 85, 175);
const QColor EscapeOrange(205, 95, 25);
const QColor DeficitRed(190, 40, 40);

void PrepareDrawing(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
}

// A filled arrow head with its tip at `tip`, pointing away from `from`.
void DrawArrowHead(QPainter& painter, QPointF tip, QPointF from, const QColor& colour,
                   double size) {
  const QPointF direction = tip - from;
  const double length = std::hypot(direction.x(), direction.y());
  if (length <= 0) return;
  const QPointF unit = direction / length;
  const QPointF normal(-unit.y(), unit.x());
  const QPointF base = tip - unit * size;
  const QPolygonF head{tip, base + normal * (size * 0.45), base - normal * (size * 0.45)};
  painter.save();
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  painter.drawPolygon(head);
  painter.restore();
}

// A path drawn as a line that ends in an arrow head. The line stops short
// of the tip so that thick lines do not poke through the head.
void DrawPathArrow(QPainter& painter, const QPainterPath& path, const QColor& colour,
                   double width, double headSize, Qt::PenStyle style = Qt::SolidLine) {
  const double length = path.length();
  const double headStart = path.percentAtLength(std::max(0.0, length - headSize));
  const QPointF tip = path.pointAtPercent(1.0);
  const QPointF behind = path.pointAtPercent(headStart);
  QPainterPath shaft;
  const int steps = 40;
  for (int i = 0; i <= steps; ++i) {
    const QPointF point = path.pointAtPercent(headStart * i / steps);
    if (i == 0)
      shaft.moveTo(point);
    else
      shaft.lineTo(point);
  }
  painter.save();
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(colour, width, style, Qt::FlatCap, Qt::RoundJoin));
  painter.drawPath(shaft);
  painter.restore();
  DrawArrowHead(painter, tip, behind, colour, headSize);
}

void DrawArrow(QPainter& painter, QPointF from, QPointF to, const QColor& colour,
               double width = 1.5, double headSize = 7) {
  QPainterPath path(from);
  path.lineTo(to);
  DrawPathArrow(painter, path, colour, width, headSize);
}

// ---------------------------------------------------------------------------
// The model diagram

// An open tank with walls, filled to the given fraction of its height.
// Returns where the water surface lies.
double DrawTank(QPainter& painter, const QRectF& tank, double fill) {
  const double surface = tank.bottom() - fill * tank.height();
  QLinearGradient water(0, surface, 0, tank.bottom());
  water.setColorAt(0, WaterLight);
  water.setColorAt(1, WaterDeep);
  painter.fillRect(QRectF(tank.left(), surface, tank.width(), tank.bottom() - surface), water);
  painter.save();
  painter.setPen(QPen(WaterDeep.darker(130), 1.0));
  painter.drawLine(QPointF(tank.left(), surface), QPointF(tank.right(), surface));
  painter.setPen(QPen(Ink, 2.6, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPolyline(QPolygonF{tank.topLeft(), tank.bottomLeft(), tank.bottomRight(),
                                 tank.topRight()});
  painter.restore();
  return surface;
}

// The short pipe at the foot of a cascade tank; returns its mouth.
QPointF DrawOutlet(QPainter& painter, const QRectF& tank) {
  const QRectF pipe(tank.right() + 1, tank.bottom() - 8, 9, 5);
  painter.save();
  painter.setPen(QPen(Ink, 1.2));
  painter.setBrush(WaterDeep);
  painter.drawRect(pipe);
  painter.restore();
  return QPointF(pipe.right(), pipe.center().y());
}

// Water leaving a pipe mouth and falling onto a point lower down.
void DrawFall(QPainter& painter, QPointF mouth, QPointF landing, Qt::PenStyle style) {
  QPainterPath jet(mouth);
  jet.cubicTo(mouth + QPointF((landing.x() - mouth.x()) * 0.8, 0),
              QPointF(landing.x(), mouth.y() + (landing.y() - mouth.y()) * 0.3), landing);
  DrawPathArrow(painter, jet, FlowBlue, 1.8, 7, style);
}

void DrawCloud(QPainter& painter, const QRectF& area) {
  painter.save();
  painter.setPen(QPen(QColor(110, 120, 140), 1.2));
  QRadialGradient shade(area.center() - QPointF(0, area.height() * 0.3), area.width() * 0.7);
  shade.setColorAt(0, QColor(250, 251, 253));
  shade.setColorAt(1, QColor(195, 205, 220));
  painter.setBrush(shade);
  const double w = area.width();
  const double h = area.height();
  // Overlapping puffs, merged so that only the outer edge is drawn.
  const QRectF puffs[] = {
      QRectF(area.left(), area.top() + h * 0.35, w * 0.42, h * 0.65),
      QRectF(area.left() + w * 0.2, area.top(), w * 0.45, h * 0.85),
      QRectF(area.left() + w * 0.5, area.top() + h * 0.15, w * 0.5, h * 0.85),
  };
  QPainterPath outline;
  outline.addRoundedRect(QRectF(area.left() + w * 0.15, area.top() + h * 0.5, w * 0.7, h * 0.5),
                         6, 6);
  for (const QRectF& puff : puffs) {
    QPainterPath piece;
    piece.addEllipse(puff);
    outline = outline.united(piece);
  }
  painter.drawPath(outline);
  painter.restore();
}

}  // namespace

void DrawProgramIcon(QPainter& painter, double size) {
  painter.save();
  PrepareDrawing(painter);
  // Drawn on a 128 unit square: the lines scale with it, so every size
  // shows the same picture.
  painter.scale(size / 128, size / 128);

  // A plate of the Input tab's sky, so that the picture stands out on dark
  // and light panels alike.
  const QRectF plate(4, 4, 120, 120);
  QLinearGradient sky(0, plate.top(), 0, plate.bottom());
  sky.setColorAt(0, QColor(214, 228, 244));
  sky.setColorAt(1, QColor(250, 252, 254));
  painter.setPen(QPen(QColor(130, 150, 175), 2.0));
  painter.setBrush(sky);
  painter.drawRoundedRect(plate, 18, 18);

  // The Figure tab's model, drawn small: rain from a cloud into the
  // pre-reservoir, its overflow into a cascade of two reservoirs, runoff.
  const QRectF preTank(16, 60, 46, 52);
  DrawCloud(painter, QRectF(12, 12, 56, 30));
  for (double x : {27.0, 39.0, 51.0})
    DrawArrow(painter, QPointF(x, 45), QPointF(x, preTank.top() - 2), FlowBlue, 2.6, 7);
  DrawTank(painter, preTank, 0.5);

  const QRectF tanks[] = {QRectF(68, 60, 20, 20), QRectF(86, 88, 20, 20)};
  QPainterPath overflow(QPointF(preTank.right() - 4, preTank.top() + 6));
  overflow.cubicTo(QPointF(preTank.right() - 4, preTank.top() - 8),
                   QPointF(preTank.right() + 2, preTank.top() - 8),
                   QPointF(preTank.right() + 10, preTank.top() - 8));
  overflow.lineTo(QPointF(tanks[0].left() + 10, preTank.top() - 8));
  overflow.lineTo(QPointF(tanks[0].left() + 10, tanks[0].top() + 8));
  DrawPathArrow(painter, overflow, FlowBlue, 2.6, 7);
  for (int i = 0; i < 2; ++i) {
    DrawTank(painter, tanks[i], 0.55 - 0.1 * i);
    const QPointF mouth = DrawOutlet(painter, tanks[i]);
    if (i == 0)
      DrawFall(painter, mouth, QPointF(tanks[1].left() + 13, tanks[1].top() + 6), Qt::SolidLine);
    else
      DrawArrow(painter, mouth, QPointF(plate.right() + 2, mouth.y()), FlowBlue, 2.6, 6);
  }
  painter.restore();
}

QImage ProgramIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  DrawProgramIcon(painter, size);
  painter.end();
  return image;
}

