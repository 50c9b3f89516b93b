#include "ui/pictures.h"

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

// An opaque picture of one colour to draw on.
QImage BlankPicture(int width, int height, const QColor& background) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(background);
  return image;
}

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

// A measuring line with arrow heads at both ends and short end strokes
// across it.
void DrawDimension(QPainter& painter, QPointF from, QPointF to, const QColor& colour,
                   double headSize = 5) {
  const QPointF direction = to - from;
  const double length = std::hypot(direction.x(), direction.y());
  if (length <= 0) return;
  const QPointF unit = direction / length;
  const QPointF normal(-unit.y(), unit.x());
  painter.save();
  painter.setPen(QPen(colour, 1.0, Qt::SolidLine, Qt::FlatCap));
  painter.drawLine(from + unit * (headSize - 1), to - unit * (headSize - 1));
  painter.drawLine(from - normal * 4, from + normal * 4);
  painter.drawLine(to - normal * 4, to + normal * 4);
  painter.restore();
  DrawArrowHead(painter, from, from + unit, colour, headSize);
  DrawArrowHead(painter, to, to - unit, colour, headSize);
}

// A wavy line going up, the usual sign of water escaping as vapour.
void DrawEscapeArrow(QPainter& painter, QPointF bottom, double height, const QColor& colour) {
  QPainterPath path(bottom);
  const int waves = 3;
  const double step = height / (waves * 2);
  for (int i = 0; i < waves * 2; ++i) {
    const double side = (i % 2 == 0) ? 4.5 : -4.5;
    const QPointF end = bottom - QPointF(0, step * (i + 1));
    path.quadTo(QPointF(bottom.x() + side, end.y() + step / 2), end);
  }
  DrawPathArrow(painter, path, colour, 1.8, 7);
}

void DrawLabel(QPainter& painter, const QRectF& box, int flags, const QString& text,
               const QFont& font, const QColor& colour = Ink) {
  painter.save();
  painter.setFont(font);
  painter.setPen(colour);
  painter.drawText(box, flags, text);
  painter.restore();
}

// A label on a small patch of plain colour, so it stays readable over lines and fills.
void DrawLabelOnPatch(QPainter& painter, QPointF centre, const QString& text, const QFont& font,
                      const QColor& colour = Ink, const QColor& patch = Qt::white) {
  const QFontMetricsF metrics(font);
  const QSizeF size(metrics.horizontalAdvance(text) + 6, metrics.height() + 1);
  const QRectF box(centre - QPointF(size.width() / 2, size.height() / 2), size);
  painter.save();
  painter.setPen(Qt::NoPen);
  painter.setBrush(patch);
  painter.drawRoundedRect(box, 3, 3);
  painter.restore();
  DrawLabel(painter, box, Qt::AlignCenter, text, font, colour);
}

// Diagonal hatching clipped to a band, for a layer that lets no water through.
void DrawHatching(QPainter& painter, const QRectF& band, double spacing, const QColor& colour) {
  painter.save();
  painter.setClipRect(band);
  painter.setPen(QPen(colour, 1.0));
  for (double x = band.left() - band.height(); x < band.right() + spacing; x += spacing) {
    painter.drawLine(QPointF(x, band.bottom()), QPointF(x + band.height(), band.top()));
  }
  painter.restore();
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

// The pre-reservoir with what comes in and goes out of it, and the bars
// that mark its storages.
void DrawPreReservoir(QPainter& painter, const QRectF& tank, double fill) {
  const QFont label = PixelFont("Arial", 12);
  const QFont bold = PixelFont("Arial", 12, true);

  // Rain falls from a cloud into the open top.
  const QRectF cloud(tank.left() + 28, 18, 84, 42);
  DrawCloud(painter, cloud);
  DrawLabel(painter, cloud.adjusted(0, 10, 0, 0), Qt::AlignCenter, "Rain", bold, FlowBlue);
  for (double x : {tank.left() + 48, tank.left() + 66, tank.left() + 84}) {
    DrawArrow(painter, QPointF(x, cloud.bottom() + 4), QPointF(x, tank.top() - 4), FlowBlue,
              1.8, 7);
  }

  // Escape rises from the water at the left.
  for (double x : {tank.left() + 12, tank.left() + 28}) {
    DrawEscapeArrow(painter, QPointF(x, tank.top() - 4), 46, EscapeOrange);
  }
  DrawLabel(painter, QRectF(0, tank.top() - 52, tank.left() - 4, 32),
            Qt::AlignRight | Qt::AlignVCenter, "Escape\n(ActEsc)", bold, EscapeOrange);

  const double surface = DrawTank(painter, tank, fill);

  // Storage bars: the actual storage and the deficit inside the tank, the
  // maximum beside it.
  const double barX = tank.right() - 14;
  DrawDimension(painter, QPointF(barX, surface), QPointF(barX, tank.bottom() - 1), Qt::white);
  DrawDimension(painter, QPointF(barX, tank.top() + 1), QPointF(barX, surface), DeficitRed);
  DrawLabel(painter,
            QRectF(tank.left() + 4, surface, barX - tank.left() - 8, tank.bottom() - surface),
            Qt::AlignCenter, "ActSto", bold, Qt::white);
  DrawLabel(painter,
            QRectF(tank.left() + 4, tank.top(), barX - tank.left() - 8, surface - tank.top()),
            Qt::AlignCenter, "StoDef", bold, DeficitRed);
  const double maxX = tank.left() - 12;
  DrawDimension(painter, QPointF(maxX, tank.top()), QPointF(maxX, tank.bottom()), Ink);
  painter.save();
  painter.setPen(QPen(Ink, 0.8, Qt::DotLine));
  painter.drawLine(QPointF(maxX - 4, tank.top()), QPointF(tank.left() - 2, tank.top()));
  painter.restore();
  DrawLabel(painter, QRectF(0, tank.center().y() - 10, maxX - 4, 20),
            Qt::AlignRight | Qt::AlignVCenter, "MaxSto", bold);

  DrawLabel(painter, QRectF(tank.left() - 30, tank.bottom() + 6, tank.width() + 60, 32),
            Qt::AlignHCenter | Qt::AlignTop, "First (pre)\nreservoir", label);
}

}  // namespace

QImage ModelDiagram() {
  QImage image = BlankPicture(473, 390, Qt::white);
  QPainter painter(&image);
  PrepareDrawing(painter);
  const QFont label = PixelFont("Arial", 12);
  const QFont bold = PixelFont("Arial", 12, true);
  const QFont number = PixelFont("Arial", 14, true);

  // The pre-reservoir, and its overflow carried over to the cascade.
  const QRectF preTank(68, 112, 108, 162);
  DrawPreReservoir(painter, preTank, 0.48);

  // The cascade descends like a staircase to the right; the gap before the
  // last tank stands for the reservoirs not drawn.
  const double width = 44, height = 44;
  const QRectF tanks[] = {
      QRectF(206, 140, width, height),
      QRectF(258, 186, width, height),
      QRectF(310, 232, width, height),
      QRectF(378, 292, width, height),
  };
  const char* names[] = {"1", "2", "3", "n"};

  QPainterPath overflow(QPointF(preTank.right() - 6, preTank.top() + 14));
  overflow.cubicTo(QPointF(preTank.right() - 6, preTank.top() - 14),
                   QPointF(preTank.right() + 4, preTank.top() - 14),
                   QPointF(preTank.right() + 24, preTank.top() - 14));
  overflow.lineTo(QPointF(tanks[0].left() + 18, preTank.top() - 14));
  overflow.lineTo(QPointF(tanks[0].left() + 18, tanks[0].top() + 16));
  DrawPathArrow(painter, overflow, FlowBlue, 2.2, 8);
  DrawLabel(painter, QRectF(preTank.right() + 10, preTank.top() - 36, 200, 18),
            Qt::AlignLeft | Qt::AlignVCenter, "Overflow = Recharge (Rech)", bold, FlowBlue);

  for (int i = 0; i < 4; ++i) {
    const QRectF& tank = tanks[i];
    const double surface = DrawTank(painter, tank, 0.55 - 0.06 * i);
    DrawLabel(painter, QRectF(tank.left(), surface, tank.width(), tank.bottom() - surface),
              Qt::AlignCenter, names[i], number, Qt::white);
    const QPointF mouth = DrawOutlet(painter, tank);
    DrawLabel(painter, QRectF(tank.left() - 8, tank.bottom() + 3, tank.width() + 16, 16),
              Qt::AlignHCenter | Qt::AlignTop, "Alpha", label);
    if (i < 3) {
      const QRectF& next = tanks[i + 1];
      const bool skipped = (i == 2);
      DrawFall(painter, mouth, QPointF(next.left() + 22, next.top() + 10),
               skipped ? Qt::DashLine : Qt::SolidLine);
      DrawLabel(painter, QRectF(mouth.x() + 6, mouth.y() - 20, 40, 16),
                Qt::AlignLeft | Qt::AlignVCenter, "Run", bold, FlowBlue);
      if (skipped) {
        // Dots down the staircase for the reservoirs in between.
        painter.setPen(Qt::NoPen);
        painter.setBrush(Ink);
        for (int dot = 0; dot < 3; ++dot) {
          const QPointF centre(mouth.x() - 6 + 6 * dot, mouth.y() + 18 + 6 * dot);
          painter.drawEllipse(centre, 1.7, 1.7);
        }
      }
    } else {
      DrawArrow(painter, mouth, QPointF(image.width() - 2, mouth.y()), FlowBlue, 1.8, 7);
      DrawLabel(painter,
                QRectF(tank.right() + 3, mouth.y() - 19, image.width() - tank.right() - 3, 16),
                Qt::AlignLeft | Qt::AlignVCenter, "Runoff", bold, FlowBlue);
    }
  }

  // What the cascade has in common, in the free space above it.
  const QRectF note(246, 12, 218, 56);
  painter.save();
  painter.setPen(QPen(QColor(170, 180, 195), 1.0));
  painter.setBrush(QColor(244, 248, 253));
  painter.drawRoundedRect(note, 5, 5);
  painter.restore();
  DrawLabel(painter, note.adjusted(8, 5, -6, -5), Qt::AlignLeft | Qt::AlignVCenter,
            "Cascade of n linear reservoirs\nAlpha: reaction factor, the same\nfor every reservoir",
            label);

  // The caption, above the rows the picture box cuts off.
  const QFont caption = PixelFont("Arial", 11, true);
  painter.setPen(QPen(QColor(190, 190, 190), 1.0));
  painter.drawLine(QPointF(8, 360.5), QPointF(image.width() - 8, 360.5));
  DrawLabel(painter, QRectF(0, 363, image.width(), 18), Qt::AlignCenter,
            "Diagram of the Nash model for rainfall-runoff relations with a cascade of reservoirs",
            caption);
  return image;
}

namespace {

// ---------------------------------------------------------------------------
// The drawing of the Input tab: two friends sharing an umbrella.

void DrawRainDrop(QPainter& painter, QPointF top, double length, const QColor& colour) {
  QPainterPath drop(top);
  drop.cubicTo(top + QPointF(2.6, length * 0.55), top + QPointF(2.6, length),
               top + QPointF(0, length));
  drop.cubicTo(top + QPointF(-2.6, length), top + QPointF(-2.6, length * 0.55), top);
  painter.save();
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  painter.drawPath(drop);
  painter.restore();
}

// A small round-headed figure; `armTo` is where its inner hand goes.
void DrawFriend(QPainter& painter, QPointF feet, const QColor& coat, const QColor& hair,
                QPointF armTo, bool facingRight) {
  const QColor skin(250, 215, 180);
  const QPointF neck = feet - QPointF(0, 40);
  painter.save();
  painter.setPen(QPen(Ink, 2.2, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(feet + QPointF(-5, 0), feet + QPointF(-4, -12));
  painter.drawLine(feet + QPointF(5, 0), feet + QPointF(4, -12));
  // The arms: the inner one reaches out, the outer one hangs down.
  const double side = facingRight ? -1 : 1;
  painter.setPen(QPen(coat.darker(140), 3.0, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(neck + QPointF(-side * 7, 8), armTo);
  painter.drawLine(neck + QPointF(side * 7, 8), neck + QPointF(side * 12, 24));
  // The coat.
  painter.setPen(QPen(coat.darker(150), 1.0));
  painter.setBrush(coat);
  painter.drawPolygon(QPolygonF{neck + QPointF(-6, 4), neck + QPointF(6, 4),
                                neck + QPointF(11, 29), neck + QPointF(-11, 29)});
  // The head, with hair, eyes and a smile.
  const QPointF face = neck - QPointF(0, 6);
  painter.setBrush(skin);
  painter.setPen(QPen(skin.darker(140), 1.0));
  painter.drawEllipse(face, 9.5, 9.5);
  painter.setPen(Qt::NoPen);
  painter.setBrush(hair);
  painter.drawChord(QRectF(face.x() - 9.7, face.y() - 9.7, 19.4, 19.4), 20 * 16, 140 * 16);
  painter.setBrush(Ink);
  const double look = facingRight ? 1.2 : -1.2;
  painter.drawEllipse(face + QPointF(-3.3 + look, 1), 1.2, 1.4);
  painter.drawEllipse(face + QPointF(3.3 + look, 1), 1.2, 1.4);
  painter.setPen(QPen(QColor(170, 60, 60), 1.2, Qt::SolidLine, Qt::RoundCap));
  painter.setBrush(Qt::NoBrush);
  painter.drawArc(QRectF(face.x() - 4 + look, face.y() + 1, 8, 6), 200 * 16, 140 * 16);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(245, 150, 150, 140));
  painter.drawEllipse(face + QPointF(-6 + look, 4.5), 1.8, 1.3);
  painter.drawEllipse(face + QPointF(6 + look, 4.5), 1.8, 1.3);
  painter.restore();
}

void DrawUmbrella(QPainter& painter, QPointF top, double halfWidth, double handleBottom) {
  const double rim = top.y() + halfWidth * 0.55;
  painter.save();
  // The shaft and the hooked handle.
  painter.setPen(QPen(QColor(90, 70, 50), 2.0, Qt::SolidLine, Qt::RoundCap));
  painter.setBrush(Qt::NoBrush);
  painter.drawLine(top + QPointF(0, -4), QPointF(top.x(), handleBottom));
  painter.drawArc(QRectF(top.x() - 7, handleBottom - 4, 7, 8), 0, -180 * 16);
  // The canopy, scalloped along its rim.
  QPainterPath canopy(QPointF(top.x() - halfWidth, rim));
  canopy.cubicTo(QPointF(top.x() - halfWidth, top.y() - 2),
                 QPointF(top.x() + halfWidth, top.y() - 2), QPointF(top.x() + halfWidth, rim));
  const int panels = 4;
  const double panel = 2 * halfWidth / panels;
  for (int i = 0; i < panels; ++i) {
    const double x = top.x() + halfWidth - panel * i;
    canopy.quadTo(QPointF(x - panel / 2, rim - 6), QPointF(x - panel, rim));
  }
  QLinearGradient shade(top.x() - halfWidth, 0, top.x() + halfWidth, 0);
  shade.setColorAt(0, QColor(225, 60, 70));
  shade.setColorAt(1, QColor(250, 120, 90));
  painter.setPen(QPen(QColor(150, 30, 40), 1.2));
  painter.setBrush(shade);
  painter.drawPath(canopy);
  painter.setPen(QPen(QColor(150, 30, 40, 160), 1.0));
  for (int i = 1; i < panels; ++i) {
    const double x = top.x() - halfWidth + panel * i;
    painter.drawLine(QPointF(top.x(), top.y() + 1), QPointF(x, rim - 5));
  }
  painter.restore();
}

}  // namespace

QImage InputDrawing() {
  QImage image = BlankPicture(137, 161, QColor(246, 249, 252));
  QPainter painter(&image);
  PrepareDrawing(painter);

  QLinearGradient sky(0, 0, 0, 130);
  sky.setColorAt(0, QColor(226, 236, 246));
  sky.setColorAt(1, QColor(246, 249, 252));
  painter.fillRect(QRectF(0, 0, 137, 130), sky);

  const QFont words = PixelFont("Arial", 12, true);
  DrawLabel(painter, QRectF(0, 2, 137, 16), Qt::AlignCenter, "Rain runs off ...", words,
            FlowBlue);

  // Rain all round, and streams running off the rim of the umbrella.
  const QColor rain(70, 140, 215);
  const QPointF drops[] = {{10, 24}, {24, 36}, {40, 22}, {98, 22}, {116, 34}, {128, 20},
                           {8, 60},  {20, 78}, {126, 62}, {114, 82}, {6, 98},  {130, 100},
                           {62, 20}, {80, 26}};
  for (const QPointF& drop : drops) DrawRainDrop(painter, drop, 7, rain);

  const QPointF umbrellaTop(68, 36);
  const double halfWidth = 46;
  DrawUmbrella(painter, umbrellaTop, halfWidth, 98);
  painter.setPen(QPen(rain, 1.6, Qt::SolidLine, Qt::RoundCap));
  for (double side : {-1.0, 1.0}) {
    const QPointF rim(umbrellaTop.x() + side * halfWidth, umbrellaTop.y() + halfWidth * 0.55);
    painter.drawLine(rim + QPointF(side * 1, 3), rim + QPointF(side * 2, 9));
    DrawRainDrop(painter, rim + QPointF(side * 2.5, 12), 6, rain);
    DrawRainDrop(painter, rim + QPointF(side * 3, 24), 6, rain);
  }

  // The ground, with the puddles the rain ran into.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(140, 195, 110));
  painter.drawRoundedRect(QRectF(-4, 126, 145, 14), 6, 6);
  painter.setBrush(QColor(120, 175, 230));
  painter.drawEllipse(QRectF(6, 128, 26, 6));
  painter.drawEllipse(QRectF(104, 128, 27, 6));

  // The two friends, both holding the handle.
  const QPointF hands(umbrellaTop.x(), 93);
  DrawFriend(painter, QPointF(50, 128), QColor(250, 195, 60), QColor(120, 70, 40),
             hands + QPointF(-2, 0), true);
  DrawFriend(painter, QPointF(86, 128), QColor(80, 170, 120), QColor(40, 40, 50),
             hands + QPointF(2, 2), false);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(250, 215, 180));
  painter.drawEllipse(hands, 2.6, 2.6);

  DrawLabel(painter, QRectF(0, 141, 137, 18), Qt::AlignCenter, "we stay together!", words,
            QColor(60, 120, 60));
  return image;
}

namespace {

// ---------------------------------------------------------------------------
// The drainage cross-section

// Where the water table lies between two drains: the ellipse of steady
// flow to parallel drains, highest midway.
double WaterTableY(double x, double left, double right, double drainY, double midY) {
  const double half = (right - left) / 2;
  const double u = (x - (left + right) / 2) / half;
  const double rise = drainY - midY;
  return drainY - rise * std::sqrt(std::max(0.0, 1 - u * u));
}

void DrawGrass(QPainter& painter, double left, double right, double surface) {
  painter.save();
  painter.setPen(QPen(QColor(70, 140, 60), 1.0));
  for (double x = left + 3; x < right; x += 7) {
    painter.drawLine(QPointF(x, surface), QPointF(x - 2, surface - 4));
    painter.drawLine(QPointF(x + 1, surface), QPointF(x + 3, surface - 3));
  }
  painter.restore();
}

}  // namespace

QImage DrainageSection() {
  QImage image = BlankPicture(400, 185, Qt::white);
  QPainter painter(&image);
  PrepareDrawing(painter);
  const QFont label = PixelFont("Arial", 11);
  const QFont bold = PixelFont("Arial", 12, true);
  // Dry soil is sand-coloured, wet soil bluish; the layer under drain
  // level is a shade darker to set Kb apart from Ka.
  const QColor drySoil(236, 222, 190), wetSoil(206, 220, 226), lowerSoil(188, 204, 216);

  const double left = 8, right = 392;
  const double surface = 30, drainLevel = 86, base = 140;
  const double pipeX = 74, ditchX = 340;
  // The ditch narrows from its top to its bottom; it holds water up to
  // drain level, where the water table meets its side.
  const double ditchTop = 24, ditchBottom = 7, ditchFloor = drainLevel + 14;
  auto ditchHalfWidth = [&](double y) {
    return ditchTop + (ditchBottom - ditchTop) * (y - surface) / (ditchFloor - surface);
  };
  const double waterX = ditchX - ditchHalfWidth(drainLevel);
  const double midX = (pipeX + waterX) / 2, midY = 56;
  auto table = [&](double x) { return WaterTableY(x, pipeX, waterX, drainLevel, midY); };

  // The soil above and below drain level, wet under the water table.
  painter.fillRect(QRectF(left, surface, right - left, drainLevel - surface), drySoil);
  painter.fillRect(QRectF(left, drainLevel, right - left, base - drainLevel), lowerSoil);
  QPainterPath tableLine(QPointF(pipeX, drainLevel));
  for (double x = pipeX; x < waterX; x += 2) tableLine.lineTo(x, table(x));
  tableLine.lineTo(waterX, drainLevel);
  QPainterPath saturated(tableLine);
  saturated.closeSubpath();
  painter.setPen(Qt::NoPen);
  painter.setBrush(wetSoil);
  painter.drawPath(saturated);

  // The ditch, cut into the surface.
  const QPolygonF ditch{{ditchX - ditchTop, surface},
                        {ditchX - ditchBottom, ditchFloor},
                        {ditchX + ditchBottom, ditchFloor},
                        {ditchX + ditchTop, surface}};
  painter.setBrush(Qt::white);
  painter.drawPolygon(ditch);
  QLinearGradient water(0, drainLevel, 0, ditchFloor);
  water.setColorAt(0, WaterLight);
  water.setColorAt(1, WaterDeep);
  painter.setBrush(water);
  painter.drawPolygon(QPolygonF{{ditchX - ditchHalfWidth(drainLevel), drainLevel},
                                {ditchX + ditchHalfWidth(drainLevel), drainLevel},
                                {ditchX + ditchBottom, ditchFloor},
                                {ditchX - ditchBottom, ditchFloor}});
  painter.setPen(QPen(Ink, 1.4));
  painter.setBrush(Qt::NoBrush);
  painter.drawPolyline(ditch);
  painter.drawLine(QPointF(left, surface), ditch.first());
  painter.drawLine(ditch.last(), QPointF(right, surface));
  DrawGrass(painter, left, ditch.first().x() - 2, surface);
  DrawGrass(painter, ditch.last().x() + 2, right, surface);

  // Drain level, and the impermeable base under the layer.
  painter.setPen(QPen(QColor(120, 100, 70), 1.0, Qt::DashLine));
  painter.drawLine(QPointF(left, drainLevel), QPointF(ditch.first().x() + 8, drainLevel));
  painter.drawLine(QPointF(ditch.last().x() - 8, drainLevel), QPointF(right, drainLevel));
  const QRectF rock(left, base, right - left, 12);
  painter.fillRect(rock, QColor(200, 200, 200));
  DrawHatching(painter, rock, 6, QColor(90, 90, 90));
  painter.setPen(QPen(Ink, 1.6));
  painter.drawLine(rock.topLeft(), rock.topRight());
  DrawLabelOnPatch(painter, QPointF(250, base + 6), "impermeable base", label, Ink,
                   QColor(200, 200, 200));

  // The water table, with its usual mark.
  painter.setPen(QPen(WaterDeep, 2.0));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(tableLine);
  const QPointF mark(midX + 52, table(midX + 52));
  painter.setPen(QPen(WaterDeep, 1.0));
  painter.drawPolygon(QPolygonF{mark + QPointF(0, -1.5), mark + QPointF(-4, -7.5),
                                mark + QPointF(4, -7.5)});

  // The pipe drain.
  painter.setPen(QPen(Ink, 1.4));
  painter.setBrush(QColor(90, 90, 95));
  painter.drawEllipse(QPointF(pipeX, drainLevel), 6, 6);
  painter.setBrush(WaterLight);
  painter.drawEllipse(QPointF(pipeX, drainLevel), 3, 3);

  // Recharge falling through the soil onto the water table.
  for (double x : {104.0, 140.0, 176.0, 240.0, 276.0}) {
    DrawArrow(painter, QPointF(x, 5), QPointF(x, table(x) - 2), FlowBlue, 1.3, 6);
  }
  DrawLabelOnPatch(painter, QPointF(122, 11), "R", bold, FlowBlue);

  // Flow lines: from the water table down through the layer and up again
  // into the drains; the last ones, bold, are the discharge Q.
  const QColor flow(40, 115, 200);
  auto flowLine = [&](double fromX, double depth, QPointF end, double width) {
    QPainterPath path(QPointF(fromX, table(fromX) + 3));
    path.cubicTo(QPointF(fromX, depth), QPointF(end.x() + (fromX - end.x()) * 0.3, depth),
                 end);
    DrawPathArrow(painter, path, flow, width, 4 + 2 * width);
  };
  flowLine(150, 118, QPointF(pipeX + 4, drainLevel + 6), 1.0);
  flowLine(118, 104, QPointF(pipeX + 6, drainLevel + 2), 1.0);
  flowLine(252, 118, QPointF(waterX + 2, ditchFloor - 2), 1.0);
  flowLine(286, 106, QPointF(waterX, drainLevel + 6), 1.0);
  DrawArrow(painter, QPointF(pipeX + 28, drainLevel - 11), QPointF(pipeX + 7, drainLevel - 3),
            FlowBlue, 2.2, 8);
  DrawLabel(painter, QRectF(pipeX - 2, drainLevel - 31, 16, 16), Qt::AlignCenter, "Q", bold,
            FlowBlue);
  DrawArrow(painter, QPointF(waterX - 26, drainLevel - 10), QPointF(waterX - 3, drainLevel - 2),
            FlowBlue, 2.2, 8);
  DrawLabel(painter, QRectF(waterX - 30, drainLevel - 36, 16, 16), Qt::AlignCenter, "Q", bold,
            FlowBlue);

  // Depths below the surface: of the drain, of the water table midway and
  // of the base; and the layer D under drain level.
  const double depthX = 18;
  DrawDimension(painter, QPointF(depthX, surface), QPointF(depthX, drainLevel), Ink);
  DrawLabel(painter, QRectF(depthX + 4, surface + 14, 24, 14), Qt::AlignLeft | Qt::AlignVCenter,
            "Dd", label);
  DrawDimension(painter, QPointF(depthX, drainLevel), QPointF(depthX, base), Ink);
  DrawLabel(painter, QRectF(depthX + 4, drainLevel + 18, 24, 16),
            Qt::AlignLeft | Qt::AlignVCenter, "D", bold);
  DrawDimension(painter, QPointF(midX, surface), QPointF(midX, midY), Ink, 4);
  DrawLabel(painter, QRectF(midX + 4, surface + 6, 24, 14), Qt::AlignLeft | Qt::AlignVCenter,
            "Dw", label);
  const double baseDepthX = 382;
  DrawDimension(painter, QPointF(baseDepthX, surface), QPointF(baseDepthX, base), Ink);
  DrawLabel(painter, QRectF(baseDepthX - 24, base - 28, 20, 14),
            Qt::AlignRight | Qt::AlignVCenter, "D1", label);

  // Conductivities above and below drain level.
  DrawLabel(painter, QRectF(148, 68, 30, 16), Qt::AlignCenter, "Ka", bold);
  DrawLabel(painter, QRectF(midX + 8, drainLevel + 3, 30, 16), Qt::AlignCenter, "Kb", bold);

  // The half spacing and the spacing, measured from the drains.
  painter.setPen(QPen(QColor(90, 90, 90), 0.8, Qt::DotLine));
  for (double x : {pipeX, midX, ditchX}) {
    painter.drawLine(QPointF(x, x == ditchX ? ditchFloor : drainLevel + 6), QPointF(x, 134));
  }
  DrawDimension(painter, QPointF(pipeX, 116), QPointF(midX, 116), Ink);
  DrawLabelOnPatch(painter, QPointF((pipeX + midX) / 2, 116), "M = 0.5 L", label, Ink, lowerSoil);
  DrawDimension(painter, QPointF(pipeX, 130), QPointF(ditchX, 130), Ink);
  DrawLabelOnPatch(painter, QPointF((pipeX + ditchX) / 2, 130), "L", bold, Ink, lowerSoil);

  DrawLabel(painter, QRectF(0, 164, image.width(), 18), Qt::AlignCenter,
            "Geometry of a subsurface drainage system by pipes or ditches", bold);
  return image;
}

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
