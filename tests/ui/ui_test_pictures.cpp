// The pictures the program draws for its windows: their sizes, that they
// are opaque, and that they hold a drawing and a caption, not a blank.
#include <QColor>
#include <QImage>
#include <QSet>
#include <QTest>
#include <utility>

#include "ui/pictures.h"
#include "ui/ui_support.h"

namespace {

bool Opaque(const QImage& picture) {
  const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < argb.height(); ++y) {
    for (int x = 0; x < argb.width(); ++x) {
      if (qAlpha(argb.pixel(x, y)) != 255) return false;
    }
  }
  return true;
}

int DistinctColours(const QImage& picture) {
  QSet<QRgb> colours;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) colours.insert(picture.pixel(x, y) | 0xff000000u);
  }
  return static_cast<int>(colours.size());
}

// The share of the pixels in `area` that differ from `background`.
double DrawnShare(const QImage& picture, const QRect& area, QRgb background) {
  int drawn = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if ((picture.pixel(x, y) | 0xff000000u) != (background | 0xff000000u)) ++drawn;
    }
  }
  return static_cast<double>(drawn) / (area.width() * area.height());
}

// The columns of `band` with a dark pixel: a line of text marks most of
// the columns it spans.
int InkedColumns(const QImage& picture, const QRect& band) {
  int inked = 0;
  for (int x = band.left(); x <= band.right(); ++x) {
    for (int y = band.top(); y <= band.bottom(); ++y) {
      if (qGray(picture.pixel(x, y)) < 140) {
        ++inked;
        break;
      }
    }
  }
  return inked;
}

double MeanGrey(const QImage& picture) {
  double sum = 0;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) sum += qGray(picture.pixel(x, y));
  }
  return sum / (picture.width() * picture.height());
}

}  // namespace

class TPicturesTest : public QObject {
  Q_OBJECT

private slots:
  // Every picture: its size, opaque, shaded (not a few flat colours), and
  // the same every time it is drawn.
  void picturesAreOpaqueShadedAndDrawnAlike() {
    const std::pair<QImage (*)(), QSize> pictures[] = {
        {ModelDiagram, {473, 390}}, {InputDrawing, {137, 161}}, {DrainageSection, {400, 185}}};
    for (const auto& [draw, size] : pictures) {
      const QImage picture = draw();
      QCOMPARE(picture.size(), size);
      QVERIFY(Opaque(picture));
      QVERIFY(DistinctColours(picture) > 300);
      QCOMPARE(draw(), picture);
    }
  }

  void modelDiagram() {
    const QImage picture = ModelDiagram();
    const QRgb white = qRgb(255, 255, 255);
    const double drawn = DrawnShare(picture, picture.rect(), white);
    QVERIFY2(drawn > 0.10 && drawn < 0.6, qPrintable(QString::number(drawn)));
    // The caption runs across the width just above the rows the picture
    // box cuts off; those rows stay empty.
    QVERIFY(InkedColumns(picture, QRect(0, 362, 473, 21)) > 250);
    QCOMPARE(DrawnShare(picture, QRect(0, 383, 473, 7), white), 0.0);
    // Both halves are drawn on: the pre-reservoir and the cascade.
    QVERIFY(DrawnShare(picture, QRect(0, 0, 190, 360), white) > 0.10);
    QVERIFY(DrawnShare(picture, QRect(190, 0, 283, 360), white) > 0.10);
  }

  void inputDrawing() {
    const QImage picture = InputDrawing();
    // Light, to sit on the grey window, with its corners lightest.
    QVERIFY(MeanGrey(picture) > 190);
    for (const QPoint& corner : {QPoint(0, 0), QPoint(136, 0), QPoint(0, 160), QPoint(136, 160)}) {
      QVERIFY(qGray(picture.pixel(corner)) > 215);
    }
    // Words above and below the figures, and the figures in between.
    QVERIFY(InkedColumns(picture, QRect(0, 0, 137, 18)) > 35);
    QVERIFY(InkedColumns(picture, QRect(0, 141, 137, 20)) > 45);
    QVERIFY(InkedColumns(picture, QRect(0, 30, 137, 100)) > 40);
  }

  void drainageSection() {
    const QImage picture = DrainageSection();
    const QRgb white = qRgb(255, 255, 255);
    QVERIFY(DrawnShare(picture, QRect(0, 0, 400, 160), white) > 0.4);
    QVERIFY(InkedColumns(picture, QRect(0, 160, 400, 25)) > 200);
  }
};

TOLVANE_UI_TEST(TPicturesTest)

#include "ui_test_pictures.moc"
