#include "ui/calibrationform.h"

#include <QAreaSeries>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGraphicsItem>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "base/numformat.h"
#include "files/filepaths.h"
#include "files/modelfile.h"
#include "files/tabledates.h"
#include "model/dmquorell.h"
#include "model/routing.h"
#include "ui/baseform.h"
#include "ui/criteriatext.h"
#include "ui/extensionsgroup.h"
#include "ui/uncertaintypanel.h"
#include "ui/prompts.h"
#include "ui/rainform.h"

namespace {

// Slider positions are hundredths: the input file's step from 1 mm on.
constexpr double SliderScale = 100;
// Progress of the search is shown at most this often.
constexpr auto ProgressInterval = std::chrono::milliseconds(50);

int Position(double value) { return static_cast<int>(std::lround(value * SliderScale)); }

QString Text(const std::string& text) { return QString::fromStdString(text); }

// The warnings one a line.
std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text;
}

// "maximum storage 100, initial storage 80, escape rate 2", as stored.
QString Parameters(const TStoreParameters& s) {
  return Text("maximum storage " + FormatParameter(s.MaxSto, 0) + ", initial storage " +
              FormatParameter(s.IniSto, 0) + ", escape rate " + FormatParameter(s.MaxEsc, 0));
}

// Each bar spans half the step to either neighbour, so that bars of an
// uneven record neither overlap nor leave gaps: the bars are one step line
// over a base from the first to the last, a quarter of the corners of bars
// drawn apart (the chart paints the bars of 1500 points in a third of the
// time).
QList<QPointF> Bars(const std::vector<double>& time, const std::vector<double>& value) {
  QList<QPointF> points;
  const std::size_t n = std::min(time.size(), value.size());
  points.reserve(static_cast<qsizetype>(2 * n + 2));
  for (std::size_t i = 0; i < n; ++i) {
    const double before = i > 0 ? (time[i] - time[i - 1]) / 2 : (n > 1 ? (time[1] - time[0]) / 2 : 0.5);
    const double after = i + 1 < n ? (time[i + 1] - time[i]) / 2 : before;
    const double v = std::max(value[i], 0.0);
    if (i == 0) points << QPointF(time[i] - before, 0);
    points << QPointF(time[i] - before, v) << QPointF(time[i] + after, v);
    if (i + 1 == n) points << QPointF(time[i] + after, 0);
  }
  return points;
}

QList<QPointF> Base(const QList<QPointF>& top) {
  if (top.isEmpty()) return {};
  return {QPointF(top.front().x(), 0), QPointF(top.back().x(), 0)};
}

QList<QPointF> Line(const std::vector<double>& time, const std::vector<double>& value) {
  QList<QPointF> points;
  const std::size_t n = std::min(time.size(), value.size());
  points.reserve(static_cast<qsizetype>(n));
  for (std::size_t i = 0; i < n; ++i) points << QPointF(time[i], value[i]);
  return points;
}

double Highest(const std::vector<double>& values) {
  double high = 0;
  for (double v : values)
    if (std::isfinite(v)) high = std::max(high, v);
  return high;
}

// ", slow flow share 0.25, reaction factor 0.0123" when the slow path is on.
QString SlowPathText(const TExtensions& e) {
  if (!e.SlowPath) return {};
  return QString(", slow flow share %1, reaction factor %2")
      .arg(FixedFigure(e.BaseShare, 3), FixedFigure(e.BaseAlpha, 4));
}

// Thrown from the search's progress report to end it.
struct TSearchCancelled {};

}  // namespace

// ---- The chart

// The view gets its chart at construction: a chart set later takes the
// place of the view's own one without deleting it.
TCalibrationChart::TCalibrationChart(QWidget* parent) : QChartView(new QChart, parent) {
  setObjectName("CalibrationChart");
  setAccessibleName("Measured and calculated runoff");
  QChart* chart = this->chart();
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->setMargins(QMargins(4, 4, 4, 4));
  setRenderHint(QPainter::Antialiasing, false);
  setRubberBand(QChartView::RectangleRubberBand);

  TimeAxis = new QValueAxis;
  TimeAxis->setTitleText("Time");
  TimeAxis->setLabelFormat("%g");
  RunoffAxis = new QValueAxis;
  RunoffAxis->setTitleText("Runoff (mm per time unit)");
  RunoffAxis->setLabelFormat("%g");
  RainAxis = new QValueAxis;
  RainAxis->setTitleText("Rain, recharge (mm per time unit)");
  RainAxis->setLabelFormat("%g");
  RainAxis->setReverse(true);
  chart->addAxis(TimeAxis, Qt::AlignBottom);
  chart->addAxis(RunoffAxis, Qt::AlignLeft);
  chart->addAxis(RainAxis, Qt::AlignRight);

  auto bars = [&](QLineSeries*& top, QLineSeries*& base, QAreaSeries*& area, const char* name,
                  QColor colour) {
    top = new QLineSeries(chart);
    // An area without a lower line is filled to the bottom of the plot,
    // which on a reversed axis is its far end: the bars have a line at 0.
    base = new QLineSeries(chart);
    area = new QAreaSeries(top, base);
    area->setName(name);
    colour.setAlpha(150);
    area->setBrush(colour);
    area->setPen(QPen(colour.darker(), 0));
    chart->addSeries(area);
    area->attachAxis(TimeAxis);
    area->attachAxis(RainAxis);
  };
  bars(RainTop, RainBase, RainBars, "Rain", QColor(80, 140, 230));
  bars(RechargeTop, RechargeBase, RechargeBars, "Recharge", QColor(60, 180, 90));

  // The band first: drawn behind the runoff.
  BandLow = new QLineSeries(chart);
  BandHigh = new QLineSeries(chart);
  Band = new QAreaSeries(BandHigh, BandLow);
  Band->setName("5-95 % band of the behavioural samples");
  Band->setBrush(QColor(250, 170, 60, 110));
  // No outline: the fill alone shows the band, and the outline of 3000
  // points would cost a frame's quarter at every new threshold.
  Band->setPen(Qt::NoPen);
  chart->addSeries(Band);
  Band->attachAxis(TimeAxis);
  Band->attachAxis(RunoffAxis);
  ShowBand(nullptr);

  Measured = new QScatterSeries;
  Measured->setName("Measured runoff");
  Measured->setMarkerSize(5);
  Measured->setColor(Qt::black);
  Measured->setBorderColor(Qt::black);
  Calculated = new QLineSeries;
  Calculated->setName("Calculated runoff");
  Calculated->setPen(QPen(QColor(200, 30, 30), 2));
  // The slow path's two parts under their sum, shown only while it is on.
  Quick = new QLineSeries;
  Quick->setName("Quick flow");
  Quick->setPen(QPen(QColor(230, 140, 20), 1, Qt::DashLine));
  Slow = new QLineSeries;
  Slow->setName("Slow flow");
  Slow->setPen(QPen(QColor(30, 90, 200), 2));
  for (QXYSeries* series : {static_cast<QXYSeries*>(Measured), static_cast<QXYSeries*>(Quick),
                            static_cast<QXYSeries*>(Slow), static_cast<QXYSeries*>(Calculated)}) {
    chart->addSeries(series);
    series->attachAxis(TimeAxis);
    series->attachAxis(RunoffAxis);
  }
  ShowParts(false);
  CacheItems();
  // A zoom moves every series: their pictures are made again.
  for (QValueAxis* axis : {TimeAxis, RunoffAxis, RainAxis})
    connect(axis, &QValueAxis::rangeChanged, this, [this] {
      if (CacheResetPending) return;
      CacheResetPending = true;
      QTimer::singleShot(0, this, [this] {
        CacheResetPending = false;
        for (QGraphicsItem* item : scene()->items())
          if (item->cacheMode() == QGraphicsItem::DeviceCoordinateCache) {
            item->setCacheMode(QGraphicsItem::NoCache);
            item->setCacheMode(QGraphicsItem::DeviceCoordinateCache);
          }
        viewport()->update();
      });
    });
}

// Each series painted from a picture of its own until it changes: a new
// band or fit then repaints that series alone, not the rain and the
// measured runoff of every day. The markers of a scatter series are items
// of their own, made as its points come.
// Texts, the legend and the axes keep being painted as they are: their
// layout changes with the fit, and a picture of them would go stale.
void TCalibrationChart::CacheItems() {
  QLegend* legend = chart()->legend();
  for (QGraphicsItem* item : scene()->items()) {
    if (item->cacheMode() == QGraphicsItem::DeviceCoordinateCache) continue;
    if (item->type() == QGraphicsTextItem::Type || item->type() == QGraphicsSimpleTextItem::Type ||
        item == legend || legend->isAncestorOf(item) || item->isWidget())
      continue;
    item->setCacheMode(QGraphicsItem::DeviceCoordinateCache);
  }
}

void TCalibrationChart::ShowParts(bool on) {
  for (QLineSeries* series : {Quick, Slow}) {
    series->setVisible(on);
    for (QLegendMarker* marker : chart()->legend()->markers(series)) marker->setVisible(on);
  }
}

void TCalibrationChart::ShowBand(const TBands* bands) {
  const bool on = bands && bands->Q05.size() == Times.size() && !Times.empty();
  BandLow->replace(on ? Line(Times, bands->Q05) : QList<QPointF>());
  BandHigh->replace(on ? Line(Times, bands->Q95) : QList<QPointF>());
  Band->setVisible(on);
  for (QLegendMarker* marker : chart()->legend()->markers(Band)) marker->setVisible(on);
}

int TCalibrationChart::BandPoints() const { return Band->isVisible() ? static_cast<int>(BandHigh->count()) : 0; }

void TCalibrationChart::ShowRecord(const TLiveFit& fit) {
  Times = fit.Time;
  Measured->replace(Line(fit.Time, fit.Measured));
  RainTop->replace(Bars(fit.Time, fit.Rain));
  RainBase->replace(Base(RainTop->points()));
  HighestMeasured = Highest(fit.Measured);
  const std::size_t n = fit.Time.size();
  const double first = n > 0 ? fit.Time.front() : 0, last = n > 0 ? fit.Time.back() : 1;
  const double margin = n > 1 ? (last - first) / static_cast<double>(n - 1) : 0.5;
  TimeAxis->setRange(first - margin, last + margin);
  // Ticks at round times (1, 2 or 5 times a power of ten), the record
  // filling the width.
  const double span = std::max(last - first, 1.0);
  const double power = std::pow(10.0, std::floor(std::log10(span / 5)));
  double step = power;
  for (double factor : {2.0, 5.0, 10.0})
    if (span / step > 8) step = power * factor;
  TimeAxis->setTickType(QValueAxis::TicksDynamic);
  TimeAxis->setTickAnchor(0);
  TimeAxis->setTickInterval(step);
  TimeAxis->setLabelFormat("%g");
  // The bars take the upper part of the chart, the runoff the lower.
  const double rain = Highest(fit.Rain);
  RainAxis->setRange(0, rain > 0 ? rain * 2.5 : 1);
  RainAxis->applyNiceNumbers();
  FitAxes();
  CacheItems();
}

void TCalibrationChart::ShowFit(const TLiveFit& fit) {
  Calculated->replace(Line(fit.Time, fit.Calculated));
  const bool parts = !fit.Slow.empty();
  Quick->replace(parts ? Line(fit.Time, fit.Quick) : QList<QPointF>());
  Slow->replace(parts ? Line(fit.Time, fit.Slow) : QList<QPointF>());
  ShowParts(parts);
  RechargeTop->replace(Bars(fit.Time, fit.Recharge));
  if (const auto base = Base(RechargeTop->points()); RechargeBase->points() != base) RechargeBase->replace(base);
  HighestCalculated = Highest(fit.Calculated);
  if (!chart()->isZoomed()) FitAxes();
}

void TCalibrationChart::FitAxes() {
  const double high = std::max(HighestMeasured, HighestCalculated);
  RunoffAxis->setRange(0, high > 0 ? high * 1.6 : 1);
  RunoffAxis->applyNiceNumbers();
}

void TCalibrationChart::ResetZoom() {
  chart()->zoomReset();
  FitAxes();
}

int TCalibrationChart::CalculatedPoints() const { return static_cast<int>(Calculated->count()); }

// ---- The window

TCalibrationForm* TCalibrationForm::Open(const TRunInput& record, const std::string& fileName,
                                         QWidget* owner, const TSheetPet& pet) {
  auto dm = std::make_unique<TDMQuorell>();
  // The determination says what stops it, as Save/Run's run would; the
  // points read are the sheet's business, not this window's.
  TWindowDialogs dialogs;
  dm->SetDialogs(&dialogs);
  dm->FileName = fileName;
  bool ready = false;
  try {
    ready = dm->PrepareDetermination(record) &&
            // Once with the messages shown, as calibrate does: a wrong time
            // sequence ends it here; no fit for the sheet's own values does not.
            (dm->FitCascade() || !dm->Analysis().AnaTimeError);
  } catch (const std::exception& error) {
    Prompts().ShowMessage(Text(error.what()));
  }
  if (!ready) return nullptr;
  auto* form =
      new TCalibrationForm(record, pet, DMQuorell ? DMQuorell->GetWorkPool() : nullptr, owner);
  form->Source = fileName;
  form->show();
  form->activateWindow();
  return form;
}

TCalibrationForm::TCalibrationForm(const TRunInput& record, const TSheetPet& pet, TWorkPool* pool,
                                   QWidget* owner)
    : QWidget(owner, Qt::Window), Record(record), Data(RecordOf(record.Points)), Pool(pool),
      Bounds(BoundsAround(record.Store)),
      Pet(pet.Values.size() == record.Points.size() ? pet : TSheetPet()) {
  setObjectName("CalibrationForm");
  setWindowTitle("Calibration");
  setAttribute(Qt::WA_DeleteOnClose);
  resize(960, 760);

  Chart = new TCalibrationChart(this);
  Chart->setMinimumHeight(320);

  MaxStorage = MakeParameter("MaxStorage", "Maximum storage", Bounds.MaxStoLow < 1 ? 3 : 2);
  InitialStorage = MakeParameter("InitialStorage", "Initial storage", 3);
  EscapeRate = MakeParameter("EscapeRate", "Maximum escape rate", 3);
  MaxStorage.Spin->setRange(Bounds.MaxStoLow, Bounds.MaxStoHigh);
  MaxStorage.Slider->setRange(Position(Bounds.MaxStoLow), Position(Bounds.MaxStoHigh));
  auto* parameters = new QGridLayout;
  int row = 0;
  for (TParameterControl* c : {&MaxStorage, &InitialStorage, &EscapeRate}) {
    parameters->addWidget(c->Caption, row, 0);
    parameters->addWidget(c->Spin, row, 1);
    parameters->addWidget(c->Slider, row, 2);
    ++row;
  }
  parameters->setColumnStretch(2, 1);
  // The mean the calibration scales the escape by too: a search's best and
  // its refit here are the same to the last digit.
  ExtensionsGroup = new TExtensionsGroup(PetMeanOf(Pet.Values), this);
  parameters->addWidget(ExtensionsGroup, row, 0, 1, 3);

  auto label = [this](const char* name, const char* accessible) {
    auto* l = new QLabel(this);
    l->setObjectName(name);
    MakeFigure(l, accessible);
    l->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    return l;
  };
  ReservoirsLabel = label("ReservoirsLabel", "Reservoirs");
  AlphaLabel = label("AlphaLabel", "Alpha");
  for (const auto& info : Criteria)
    CriterionLabels[static_cast<std::size_t>(info.Id)] =
        label((std::string(info.Tag) + "Label").c_str(), qPrintable(CriterionCaption(info)));
  WarningsLabel = label("WarningsLabel", "Warnings");
  WarningsLabel->setWordWrap(true);
  WarningsLabel->setStyleSheet("color: #800000");
  auto* figures = new QGridLayout;
  std::vector<QLabel*> shown = {ReservoirsLabel, AlphaLabel};
  shown.insert(shown.end(), CriterionLabels.begin(), CriterionLabels.end());
  for (std::size_t i = 0; i < shown.size(); ++i)
    figures->addWidget(shown[i], static_cast<int>(i / 2), static_cast<int>(i % 2));
  figures->setColumnMinimumWidth(0, 130);
  figures->setColumnMinimumWidth(1, 150);
  auto* middle = new QHBoxLayout;
  middle->addLayout(parameters, 3);
  middle->addSpacing(16);
  middle->addLayout(figures, 2);
  middle->addWidget(WarningsLabel, 2);

  auto* objectiveCaption = new QLabel("&Objective", this);
  ObjectiveBox = new QComboBox(this);
  ObjectiveBox->setObjectName("ObjectiveBox");
  ObjectiveBox->setAccessibleName("Objective");
  objectiveCaption->setBuddy(ObjectiveBox);
  for (const auto& info : Criteria)
    if (info.Objective) ObjectiveBox->addItem(info.Name, static_cast<int>(info.Id));
  CalibrateButton = new QPushButton("C&alibrate", this);
  CalibrateButton->setObjectName("CalibrateButton");
  ProgressBar = new QProgressBar(this);
  ProgressBar->setObjectName("ProgressBar");
  MakeFigure(ProgressBar, "Calibration progress");
  ProgressBar->setRange(0, 1);
  ProgressBar->setValue(0);
  ShowFigure(ProgressBar, "");
  ProgressBar->setTextVisible(true);
  CancelButton = new QPushButton("Ca&ncel", this);
  CancelButton->setObjectName("CancelButton");
  CancelButton->setEnabled(false);
  auto* search = new QHBoxLayout;
  search->addWidget(objectiveCaption);
  search->addWidget(ObjectiveBox);
  search->addWidget(CalibrateButton);
  search->addWidget(ProgressBar, 1);
  search->addWidget(CancelButton);
  ComparisonLabel = label("ComparisonLabel", "Before and after");
  ComparisonLabel->setWordWrap(true);

  ResetZoomButton = new QPushButton("&Reset zoom", this);
  ResetZoomButton->setObjectName("ResetZoomButton");
  SaveModelButton = new QPushButton("&Save model ...", this);
  SaveModelButton->setObjectName("SaveModelButton");
  OpenModelButton = new QPushButton("Open &model ...", this);
  OpenModelButton->setObjectName("OpenModelButton");
  ApplyButton = new QPushButton("A&pply to sheet", this);
  ApplyButton->setObjectName("ApplyButton");
  CloseButton = new QPushButton("&Close", this);
  CloseButton->setObjectName("CloseButton");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ResetZoomButton);
  buttons->addStretch(1);
  buttons->addWidget(OpenModelButton);
  buttons->addWidget(SaveModelButton);
  buttons->addWidget(ApplyButton);
  buttons->addWidget(CloseButton);

  // The fit by hand and by search on one page, how sure it is on another.
  FitPage = new QWidget(this);
  FitPage->setObjectName("FitPage");
  auto* fitLayout = new QVBoxLayout(FitPage);
  fitLayout->setContentsMargins(4, 4, 4, 4);
  fitLayout->addLayout(middle);
  fitLayout->addLayout(search);
  fitLayout->addWidget(ComparisonLabel);
  Uncertainty = new TUncertaintyPanel(Data, Pool, [this] { return SamplingSettings(); }, this);
  Tabs = new QTabWidget(this);
  Tabs->setObjectName("CalibrationTabs");
  Tabs->addTab(FitPage, "F&it");
  Tabs->addTab(Uncertainty, "&Uncertainty");

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Chart, 1);
  layout->addWidget(Tabs);
  layout->addLayout(buttons);

  connect(CalibrateButton, &QPushButton::clicked, this, &TCalibrationForm::CalibrateButtonClick);
  connect(CancelButton, &QPushButton::clicked, this, &TCalibrationForm::CancelButtonClick);
  connect(ApplyButton, &QPushButton::clicked, this, &TCalibrationForm::ApplyButtonClick);
  connect(SaveModelButton, &QPushButton::clicked, this, &TCalibrationForm::SaveModelButtonClick);
  connect(OpenModelButton, &QPushButton::clicked, this, &TCalibrationForm::OpenModelButtonClick);
  connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
  connect(ExtensionsGroup, &TExtensionsGroup::Changed, this, &TCalibrationForm::ExtensionsChange);
  connect(Uncertainty, &TUncertaintyPanel::SamplingChanged, this, &TCalibrationForm::SetSampling);
  connect(Uncertainty, &TUncertaintyPanel::BandChanged, Chart, &TCalibrationChart::ShowBand);
  connect(ResetZoomButton, &QPushButton::clicked, Chart, &TCalibrationChart::ResetZoom);
  MakeSideWindow(this);

  SetShown(Record.Store);
  Refit();
  Chart->ShowRecord(FLastFit);
  Chart->ShowFit(FLastFit);
  MaxStorage.Spin->setFocus();
}

TCalibrationForm::~TCalibrationForm() {
  Uncertainty->StopAndWait();
  if (Worker) {
    CancelRequested = true;
    Worker->wait();
  }
}

TCalibrationForm::TParameterControl TCalibrationForm::MakeParameter(const char* name,
                                                                    const char* caption,
                                                                    int decimals) {
  TParameterControl c;
  c.Caption = new QLabel(caption, this);
  c.Spin = new QDoubleSpinBox(this);
  c.Spin->setObjectName(QString(name) + "Spin");
  const QString unit = QString(name) == "EscapeRate" ? "mm per time unit" : "mm";
  // The unit is read with the name: the value is read without the suffix.
  c.Spin->setAccessibleName(QString("%1 (%2)").arg(caption, unit));
  c.Spin->setDecimals(decimals);
  c.Spin->setSingleStep(0.01);
  c.Spin->setKeyboardTracking(false);
  c.Spin->setSuffix(" " + unit);
  c.Caption->setBuddy(c.Spin);
  c.Slider = new QSlider(Qt::Horizontal, this);
  c.Slider->setObjectName(QString(name) + "Slider");
  c.Slider->setAccessibleName(QString(caption) + " slider");
  connect(c.Spin, &QDoubleSpinBox::valueChanged, this, &TCalibrationForm::ParameterChange);
  QDoubleSpinBox* spin = c.Spin;
  connect(c.Slider, &QSlider::valueChanged, this, [this, spin](int position) {
    if (!Setting) spin->setValue(position / SliderScale);
  });
  return c;
}

void TCalibrationForm::ParameterChange() {
  SetShown({MaxStorage.Spin->value(), InitialStorage.Spin->value(), EscapeRate.Spin->value()});
}

void TCalibrationForm::ExtensionsChange() {
  const TExtensions e = ExtensionsGroup->Chosen();
  if (e == FShownExtensions) return;
  FShownExtensions = e;
  RequestRefit();
}

void TCalibrationForm::SetShown(const TStoreParameters& wanted) {
  const TStoreParameters s = StoredWithinBounds(wanted, Bounds);
  // Set without echoes: each control is set once, here.
  const QSignalBlocker b1(MaxStorage.Spin), b2(InitialStorage.Spin), b3(EscapeRate.Spin);
  Setting = true;
  MaxStorage.Spin->setValue(s.MaxSto);
  InitialStorage.Spin->setRange(0.001, s.MaxSto);
  InitialStorage.Spin->setValue(s.IniSto);
  EscapeRate.Spin->setRange(0, s.MaxSto / 10);
  EscapeRate.Spin->setValue(s.MaxEsc);
  InitialStorage.Slider->setRange(1, Position(s.MaxSto));
  EscapeRate.Slider->setRange(0, static_cast<int>(std::floor(s.MaxSto / 10 * SliderScale)));
  for (TParameterControl* c : {&MaxStorage, &InitialStorage, &EscapeRate}) {
    const int span = c->Slider->maximum() - c->Slider->minimum();
    c->Slider->setSingleStep(std::max(1, span / 100));
    c->Slider->setPageStep(std::max(1, span / 10));
  }
  // A slider at the position of its value unless the value lies between
  // two positions and the slider is already on one of them.
  auto place = [](QSlider* slider, double value) {
    if (std::abs(slider->value() / SliderScale - value) >= 1 / SliderScale) slider->setValue(Position(value));
  };
  place(MaxStorage.Slider, s.MaxSto);
  place(InitialStorage.Slider, s.IniSto);
  place(EscapeRate.Slider, s.MaxEsc);
  Setting = false;
  if (s == FShown && FRefits > 0) return;
  FShown = s;
  RequestRefit();
}

// A drag sends changes faster than a refit may take: they are gathered
// until the event loop is free, and only the latest is fitted.
void TCalibrationForm::RequestRefit() {
  if (RefitPending) return;
  RefitPending = true;
  QTimer::singleShot(0, this, [this] {
    if (RefitPending) Refit();
  });
}

void TCalibrationForm::Refit() {
  RefitPending = false;
  FLastFit = RefitLive(Data.View(), FShown, Pool, FShownExtensions, Pet.Values);
  ++FRefits;
  Chart->ShowFit(FLastFit);
  ShowCriteria();
}

void TCalibrationForm::ShowCriteria() {
  const TLiveFit& f = FLastFit;
  const bool ok = f.Valid;
  ShowFigure(ReservoirsLabel, "Reservoirs " + (ok ? QString::number(f.NrOfRes) : QString("-")));
  ShowFigure(AlphaLabel, "Alpha " + (ok ? FixedFigure(f.Alpha, 3) : QString("-")));
  for (const auto& info : Criteria)
    ShowFigure(CriterionLabels[static_cast<std::size_t>(info.Id)],
               CriterionFigure(info, ok ? f.Fit[info.Id] : std::nan(""), true));
  ShowFigure(WarningsLabel, ok ? Text(Join(f.Warnings))
                                : QString("No number of reservoirs and reaction factor gives a "
                                          "finite sum of squares for these parameters"));
}

void TCalibrationForm::CalibrateButtonClick() {
  if (Worker) return;
  SearchObjective = static_cast<TObjective>(ObjectiveBox->currentData().toInt());
  CancelRequested = false;
  SearchCancelled = false;
  Before = Best = TCalibrationPoint();
  const TStoreParameters shown = FShown;
  const TExtensions extensions = FShownExtensions;
  TCalibrationSettings settings;
  settings.Objective = SearchObjective;
  settings.Bounds = Bounds;
  // The extensions switched on are searched with the store.
  settings.SlowPath = extensions.SlowPath;
  if (extensions.Evaporation) settings.Pet = Pet.Values;
  // The thread hands the result over when it has ended; its progress comes
  // here as queued calls. The search starts from nothing the window shows,
  // so that every user gets the same answer for the same record.
  const TSearchHook hook = SearchHook;
  Worker = QThread::create([this, shown, extensions, settings, hook] {
    TCalibration calibration(Data.View(), settings, Pool);
    Before = calibration.Evaluate(shown, extensions.BaseShare, extensions.BaseAlpha);
    auto last = std::chrono::steady_clock::now() - ProgressInterval;
    auto progress = [&](const TCalibrationProgress& p) {
      if (hook) hook(p.Evaluations);
      if (CancelRequested) throw TSearchCancelled();
      const auto now = std::chrono::steady_clock::now();
      if (now - last < ProgressInterval) return;
      last = now;
      QMetaObject::invokeMethod(this, [this, p] { ProgressReport(p); }, Qt::QueuedConnection);
    };
    try {
      Best = calibration.Search(progress);
    } catch (const TSearchCancelled&) {
      SearchCancelled = true;
    }
  });
  Worker->setObjectName("CalibrationSearch");
  Worker->setParent(this);
  connect(Worker, &QThread::finished, this, &TCalibrationForm::CalibrationFinished,
          Qt::QueuedConnection);
  SetCalibrating(true);
  ShowFigure(ComparisonLabel, "Calibrating over the whole bounds (maximum storage " +
                                  Text(FormatParameter(Bounds.MaxStoLow, 0) + " to " +
                                       FormatParameter(Bounds.MaxStoHigh, 0)) +
                                  " mm)");
  Worker->start(QThread::LowPriority);
}

void TCalibrationForm::ProgressReport(const TCalibrationProgress& progress) {
  if (!Worker) return;
  ProgressBar->setRange(0, progress.Planned);
  ProgressBar->setValue(progress.Evaluations);
  const double best = progress.Best.Valid ? progress.Best.Objective : std::nan("");
  ShowFigure(ProgressBar, QString("%1 candidates, best %2 %3")
                              .arg(progress.Evaluations)
                              .arg(ObjectiveName(SearchObjective), FixedFigure(best, 4)));
}

void TCalibrationForm::CancelButtonClick() { CancelRequested = true; }

void TCalibrationForm::CalibrationFinished() {
  if (!Worker) return;
  Worker->wait();
  delete Worker;
  Worker = nullptr;
  SetCalibrating(false);
  const char* name = ObjectiveName(SearchObjective);
  if (SearchCancelled) {
    ShowFigure(ComparisonLabel, "Calibration cancelled: the parameters are as they were");
  } else if (!Best.Valid) {
    ShowFigure(ComparisonLabel, "No parameters within the bounds give a fit");
  } else {
    auto describe = [&](const TCalibrationPoint& p) {
      return QString("%1 %2 (%3%4; reservoirs %5, alpha %6)")
          .arg(name, p.Valid ? FixedFigure(p.Objective, 4) : QString("-"), Parameters(p.Store),
               SlowPathText(p.Extensions))
          .arg(p.NrOfRes)
          .arg(FixedFigure(p.Alpha, 3));
    };
    ShowFigure(ComparisonLabel, "Before: " + describe(Before) + "\nAfter: " + describe(Best));
    ExtensionsGroup->Show(Best.Extensions);
    FShownExtensions = ExtensionsGroup->Chosen();
    SetShown(Best.Store);
    RequestRefit();
    // Shown at once: whoever hears of the end sees the best fit drawn.
    if (RefitPending) Refit();
  }
  emit CalibrationEnded();
}

// The record sampled with the objective, bounds and extensions of the fit
// shown, as tolvane-batch uncertainty samples it.
TUncertaintySettings TCalibrationForm::SamplingSettings() const {
  TUncertaintySettings s;
  s.Objective = static_cast<TObjective>(ObjectiveBox->currentData().toInt());
  s.Bounds = Bounds;
  s.SlowPath = FShownExtensions.SlowPath;
  if (FShownExtensions.Evaporation) s.Pet = Pet.Values;
  return s;
}

// While the samples are drawn the fit stays as it is: they share its threads.
void TCalibrationForm::SetSampling(bool on) {
  for (QWidget* w : std::initializer_list<QWidget*>{FitPage, SaveModelButton, OpenModelButton, ApplyButton})
    w->setEnabled(!on);
}

void TCalibrationForm::SetCalibrating(bool on) {
  Uncertainty->setEnabled(!on);
  for (QWidget* w : std::initializer_list<QWidget*>{
           MaxStorage.Spin, MaxStorage.Slider, InitialStorage.Spin, InitialStorage.Slider,
           EscapeRate.Spin, EscapeRate.Slider, static_cast<QWidget*>(ExtensionsGroup),
           ObjectiveBox, CalibrateButton, ApplyButton, SaveModelButton, OpenModelButton})
    w->setEnabled(!on);
  CancelButton->setEnabled(on);
  if (on) {
    ProgressBar->setRange(0, 0);  // busy: the number of candidates is not known beforehand
    ShowFigure(ProgressBar, "Calibrating ...");
    CancelButton->setFocus();
  } else {
    ProgressBar->setRange(0, 1);
    ProgressBar->setValue(SearchCancelled ? 0 : 1);
    ShowFigure(ProgressBar, "");
    CalibrateButton->setFocus();
  }
}

namespace {

const TFileDialogSpec ModelSaveDialog{"ModelSaveDialog", true, "json", "Model files (*.json)|*.json", ""};
const TFileDialogSpec ModelOpenDialog{"ModelOpenDialog", false, "json", "Model files (*.json)|*.json", ""};

}  // namespace

// The dialogs start where the last model file was, or beside the sheet's file.
QString TCalibrationForm::ChooseModelFile(TFileDialogSpec dialog) {
  dialog.InitialDir = !ModelFolder.isEmpty() ? ModelFolder
                      : Source.empty()       ? QString()
                                             : QFileInfo(Text(Source)).absolutePath();
  const QString path = ExecuteFileDialog(dialog);
  if (!path.isEmpty()) ModelFolder = QFileInfo(path).absolutePath();
  return path;
}

// The fit shown, as the batch tool's calibrate writes a model file.
void TCalibrationForm::SaveModelButtonClick() {
  const TLiveFit& f = FLastFit;
  if (!f.Valid) {
    Prompts().ShowMessage("The parameters shown give no fit: there is no model to save");
    return;
  }
  const QString path = ChooseModelFile(ModelSaveDialog);
  if (path.isEmpty()) return;
  TModelFile m;
  m.Store = f.Store;
  m.Extensions = f.Extensions;
  if (f.Extensions.Evaporation) m.Pet = Pet.Column;
  m.Reservoirs = f.NrOfRes;
  m.Alpha = f.Alpha;
  m.Objective = InfoOf(static_cast<TCriterion>(ObjectiveBox->currentData().toInt())).Key;
  const auto dates = RecordDatesOf(Record.Title2);
  if (dates) m.TimeUnit = dates->UnitSeconds == SecondsPerHour ? "hour" : "day";
  if (!f.Time.empty()) {
    m.First = dates ? dates->DateOf(f.Time.front()) : FormatGeneral(f.Time.front(), '.');
    m.Last = dates ? dates->DateOf(f.Time.back()) : FormatGeneral(f.Time.back(), '.');
  }
  m.Points = static_cast<int>(f.Time.size());
  m.Source = Source;
  for (const auto& info : Criteria) m.Criteria.emplace_back(info.Key, f.Fit[info.Id]);
  std::string error;
  if (!WriteFileAtomically(path.toStdString(), FormatModelFile(m), &error, true)) {
    Prompts().ShowMessage("The file \"" + path + "\" could not be written: " + Text(error));
    return;
  }
  ShowFigure(ComparisonLabel, "Model saved in " + path);
}

// A model file's store shown and fitted to this record; its reservoirs and
// alpha are this record's own again.
void TCalibrationForm::OpenModelButtonClick() {
  const QString path = ChooseModelFile(ModelOpenDialog);
  if (path.isEmpty()) return;
  const auto bytes = ReadWholeFile(path.toStdString());
  if (!bytes) {
    Prompts().ShowMessage("The file \"" + path + "\"could not be opened. It may be damaged or in use by another program.");
    return;
  }
  const TModelFileRead read = ReadModelFile(*bytes);
  if (!read.Error.empty()) {
    Prompts().ShowMessage(path + ": " + Text(read.Error));
    return;
  }
  if (const int index = ObjectiveBox->findText(
          InfoOf(CriterionByKey(read.Model.Objective).value_or(TCriterion::RSquare)).Name);
      index >= 0)
    ObjectiveBox->setCurrentIndex(index);
  const TExtensions& e = read.Model.Extensions;
  ExtensionsGroup->Show(e);
  FShownExtensions = ExtensionsGroup->Chosen();
  SetShown(read.Model.Store);
  RequestRefit();
  if (RefitPending) Refit();
  // The escape follows this record's evaporation, scaled by its own mean.
  const QString left = e.Evaporation && !ExtensionsGroup->EvaporationAvailable()
                           ? QString("; its evaporation is left out: this record has none (import "
                                     "the table with its PET column)")
                           : QString();
  ShowFigure(ComparisonLabel,
             "Model opened from " + path + ": " + Parameters(FShown) + SlowPathText(e) + left);
}

void TCalibrationForm::ApplyButtonClick() {
  if (!RainForm) return;
  RainForm->ApplyStoreParameters(FShown);
  // The input file holds the store only.
  if (FShownExtensions.Any())
    ShowFigure(ComparisonLabel,
               "The store is applied to the sheet; the input file has no place for the " +
                   QString(FShownExtensions.SlowPath && FShownExtensions.Evaporation
                               ? "slow flow path and the evaporation"
                           : FShownExtensions.SlowPath ? "slow flow path"
                                                       : "evaporation") +
                   ": they live in the model file that \"Save model ...\" writes");
}

void TCalibrationForm::closeEvent(QCloseEvent* event) {
  // Closed while searching: the search stops, and the window goes when it has.
  Uncertainty->StopAndWait();
  if (Worker) {
    CancelRequested = true;
    Worker->wait();
  }
  event->accept();
}
