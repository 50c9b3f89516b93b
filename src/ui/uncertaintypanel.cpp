#include "ui/uncertaintypanel.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGraphicsItem>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QGridLayout>
#include <QLogValueAxis>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScatterSeries>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "base/numformat.h"
#include "ui/baseform.h"
#include "ui/criteriatext.h"

namespace {

constexpr int SliderSteps = 1000;
// The share of the samples kept when a sampling ends, as the batch tool's
// default; the threshold is the user's from then on.
constexpr double FirstBestShare = 0.1;
constexpr auto ProgressInterval = std::chrono::milliseconds(50);

struct TStop {};

// The parameters of a dotty plot: their caption and value; the maximum
// storage and the slow reaction factor were sampled on a log scale and
// are shown so.
struct TDottyParameter {
  const char* Caption;
  bool Log;
  double (*Value)(const TUncertaintySample&);
  bool SlowPath;  // only when the slow path was sampled
};
const TDottyParameter DottyParameters[] = {
    {"Maximum storage (mm)", true, [](const TUncertaintySample& s) { return s.Store.MaxSto; }, false},
    {"Initial storage (mm)", false, [](const TUncertaintySample& s) { return s.Store.IniSto; }, false},
    {"Maximum escape rate (mm per time unit)", false, [](const TUncertaintySample& s) { return s.Store.MaxEsc; }, false},
    {"Share of the slow path", false, [](const TUncertaintySample& s) { return s.BaseShare; }, true},
    {"Slow reaction factor (per time unit)", true, [](const TUncertaintySample& s) { return s.BaseAlpha; }, true},
    {"Reservoirs", false, [](const TUncertaintySample& s) { return double(s.NrOfRes); }, false},
    {"Alpha (per time unit)", false, [](const TUncertaintySample& s) { return s.Alpha; }, false},
};

}  // namespace

TUncertaintyPanel::TUncertaintyPanel(const TRecord& record, TWorkPool* pool,
                                     std::function<TUncertaintySettings()> settings,
                                     QWidget* parent)
    : QWidget(parent), Record(record), Measured(MeasuredAsTaken(record.View())), Pool(pool),
      Settings(std::move(settings)) {
  setObjectName("UncertaintyPanel");
  auto caption = [this](const char* text, QWidget* buddy) {
    auto* l = new QLabel(text, this);
    l->setBuddy(buddy);
    return l;
  };
  SamplesSpin = new QSpinBox(this);
  SamplesSpin->setObjectName("SamplesSpin");
  SamplesSpin->setAccessibleName("Number of samples");
  SamplesSpin->setRange(10, 100000);
  SamplesSpin->setSingleStep(100);
  SamplesSpin->setValue(1000);
  SeedSpin = new QSpinBox(this);
  SeedSpin->setObjectName("SeedSpin");
  SeedSpin->setAccessibleName("Seed");
  SeedSpin->setRange(1, 2147483647);
  SeedSpin->setValue(1);
  SampleButton = new QPushButton("Run samplin&g", this);
  SampleButton->setObjectName("SampleButton");
  SampleProgress = new QProgressBar(this);
  SampleProgress->setObjectName("SampleProgress");
  MakeFigure(SampleProgress, "Sampling progress");
  SampleProgress->setRange(0, 1);
  SampleProgress->setValue(0);
  ShowFigure(SampleProgress, "");
  SampleProgress->setTextVisible(true);
  StopButton = new QPushButton("S&top", this);
  StopButton->setObjectName("StopButton");
  StopButton->setEnabled(false);

  ThresholdSpin = new QDoubleSpinBox(this);
  ThresholdSpin->setObjectName("ThresholdSpin");
  ThresholdSpin->setAccessibleName("Behavioural threshold");
  ThresholdSpin->setDecimals(4);
  ThresholdSpin->setSingleStep(0.01);
  ThresholdSpin->setKeyboardTracking(false);
  ThresholdSpin->setRange(-1, 1);
  ThresholdCaption = caption("Beha&vioural from", ThresholdSpin);
  ThresholdSlider = new QSlider(Qt::Horizontal, this);
  ThresholdSlider->setObjectName("ThresholdSlider");
  ThresholdSlider->setAccessibleName("Behavioural threshold slider");
  ThresholdSlider->setRange(0, SliderSteps);
  ThresholdSlider->setSingleStep(SliderSteps / 100);
  ThresholdSlider->setPageStep(SliderSteps / 10);
  for (QWidget* w : {static_cast<QWidget*>(ThresholdSpin), static_cast<QWidget*>(ThresholdSlider)})
    w->setEnabled(false);

  auto figure = [this](const char* name, const char* accessible) {
    auto* l = new QLabel(this);
    l->setObjectName(name);
    MakeFigure(l, accessible);
    l->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    l->setWordWrap(true);
    return l;
  };
  BehaviouralLabel = figure("BehaviouralLabel", "Behavioural samples");
  ContainingLabel = figure("ContainingLabel", "Containing ratio");
  BandWidthLabel = figure("BandWidthLabel", "Band width");
  ShowFigure(BehaviouralLabel, "Sample the record to see how sure the fit is");

  DottyParameterBox = new QComboBox(this);
  DottyParameterBox->setObjectName("DottyParameterBox");
  DottyParameterBox->setAccessibleName("Parameter of the dotty plot");
  DottyChart = new QChartView(new QChart, this);
  DottyChart->setObjectName("DottyChart");
  DottyChart->setAccessibleName("Dotty plot: objective against the parameter");
  DottyChart->setMinimumSize(320, 200);
  QChart* chart = DottyChart->chart();
  chart->setMargins(QMargins(2, 2, 2, 2));
  chart->legend()->setAlignment(Qt::AlignBottom);
  // The maximum storage and the slow reaction factor were sampled on a log
  // scale: their dots are spread on one.
  DottyX = new QValueAxis;
  DottyLogX = new QLogValueAxis;
  DottyLogX->setBase(10);
  DottyLogX->setMinorTickCount(-1);
  DottyY = new QValueAxis;
  DottyX->setLabelFormat("%g");
  DottyLogX->setLabelFormat("%g");
  DottyY->setLabelFormat("%.2f");
  chart->addAxis(DottyX, Qt::AlignBottom);
  chart->addAxis(DottyLogX, Qt::AlignBottom);
  chart->addAxis(DottyY, Qt::AlignLeft);
  DottyLogX->hide();
  Left = new QScatterSeries;
  Left->setName("Not behavioural");
  Left->setMarkerSize(4);
  Left->setColor(QColor(170, 170, 170));
  Left->setBorderColor(QColor(170, 170, 170));
  Kept = new QScatterSeries;
  Kept->setName("Behavioural");
  Kept->setMarkerSize(5);
  Kept->setColor(QColor(200, 30, 30));
  Kept->setBorderColor(QColor(200, 30, 30));
  for (QScatterSeries* series : {Left, Kept}) {
    // Squares paint in half the time of circles, a new threshold at once.
    series->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    chart->addSeries(series);
    series->attachAxis(DottyX);
    series->attachAxis(DottyY);
  }

  // The grid painted from pictures of its own: a new threshold repaints
  // the dots. Texts, the legend and the axes are painted as they are.
  QLegend* legend = chart->legend();
  for (QGraphicsItem* item : DottyChart->scene()->items())
    if (item->type() != QGraphicsTextItem::Type && item->type() != QGraphicsSimpleTextItem::Type &&
        item != legend && !legend->isAncestorOf(item) && !item->isWidget())
      item->setCacheMode(QGraphicsItem::DeviceCoordinateCache);

  auto* grid = new QGridLayout;
  grid->addWidget(caption("Num&ber of samples", SamplesSpin), 0, 0);
  grid->addWidget(SamplesSpin, 0, 1);
  grid->addWidget(caption("See&d", SeedSpin), 0, 2);
  grid->addWidget(SeedSpin, 0, 3);
  auto* run = new QHBoxLayout;
  run->addWidget(SampleButton);
  run->addWidget(SampleProgress, 1);
  run->addWidget(StopButton);
  grid->addLayout(run, 1, 0, 1, 4);
  grid->addWidget(ThresholdCaption, 2, 0);
  grid->addWidget(ThresholdSpin, 2, 1);
  grid->addWidget(ThresholdSlider, 2, 2, 1, 2);
  grid->addWidget(BehaviouralLabel, 3, 0, 1, 4);
  grid->addWidget(ContainingLabel, 4, 0, 1, 4);
  grid->addWidget(BandWidthLabel, 5, 0, 1, 4);
  grid->setRowStretch(6, 1);
  grid->setColumnStretch(2, 1);
  auto* dotty = new QVBoxLayout;
  auto* choose = new QHBoxLayout;
  choose->addWidget(caption("Dott&y plot of", DottyParameterBox));
  choose->addWidget(DottyParameterBox, 1);
  dotty->addLayout(choose);
  dotty->addWidget(DottyChart, 1);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(grid, 1);
  layout->addLayout(dotty, 1);

  connect(SampleButton, &QPushButton::clicked, this, &TUncertaintyPanel::SampleButtonClick);
  connect(StopButton, &QPushButton::clicked, this, &TUncertaintyPanel::StopButtonClick);
  connect(ThresholdSpin, &QDoubleSpinBox::valueChanged, this, &TUncertaintyPanel::ThresholdChange);
  connect(ThresholdSlider, &QSlider::valueChanged, this, &TUncertaintyPanel::ThresholdSliderMove);
  connect(DottyParameterBox, &QComboBox::currentIndexChanged, this,
          &TUncertaintyPanel::DottyParameterChange);
}

TUncertaintyPanel::~TUncertaintyPanel() { StopAndWait(); }

void TUncertaintyPanel::StopAndWait() {
  if (!Worker) return;
  StopRequested = true;
  Worker->wait();
}

void TUncertaintyPanel::SampleButtonClick() {
  if (Worker) return;
  TUncertaintySettings settings = Settings();
  settings.Samples = SamplesSpin->value();
  settings.Seed = static_cast<std::uint64_t>(SeedSpin->value());
  auto pet = std::make_shared<std::vector<double>>(settings.Pet.begin(), settings.Pet.end());
  settings.Pet = *pet;
  StopRequested = false;
  Stopped = false;
  Result.clear();
  ResultTable.reset();
  ResultBehavioural.reset();
  const THook hook = Hook;
  Worker = QThread::create([this, settings, pet, hook] {
    auto last = std::chrono::steady_clock::now() - ProgressInterval;
    auto progress = [&](const TUncertaintyProgress& p) {
      if (hook) hook(p.Done);
      if (StopRequested) throw TStop();
      const auto now = std::chrono::steady_clock::now();
      if (now - last < ProgressInterval) return;
      last = now;
      QMetaObject::invokeMethod(this, [this, p] { ProgressReport(p.Done, p.Planned); },
                                Qt::QueuedConnection);
    };
    try {
      // As tolvane-batch uncertainty does: every sample judged by the quick
      // search, the best tenth and those just below it confirmed by the
      // whole determination; the runs kept are then the confirmed ones.
      Result = SampleUncertainty(Record.View(), settings, Pool, progress);
      std::string error;
      TBehaviouralRule first;
      first.BestShare = FirstBestShare;
      ResultBehavioural = SelectConfirmed(Record.View(), Result, first, settings, Pool, error);
      ResultTable = std::make_unique<TBandTable>(Record.View(), Result, settings, Pool);
    } catch (const TStop&) {
      Stopped = true;
    }
  });
  Worker->setObjectName("UncertaintySampling");
  Worker->setParent(this);
  connect(Worker, &QThread::finished, this, &TUncertaintyPanel::SamplingFinished, Qt::QueuedConnection);
  UsedPet.assign(pet->begin(), pet->end());
  Used = settings;
  Used.Pet = UsedPet;
  SetSampling(true);
  Worker->start(QThread::LowPriority);
}

void TUncertaintyPanel::ProgressReport(int done, int planned) {
  if (!Worker) return;
  SampleProgress->setRange(0, planned);
  SampleProgress->setValue(done);
  ShowFigure(SampleProgress, QString("%1 of %2 samples").arg(done).arg(planned));
}

void TUncertaintyPanel::StopButtonClick() { StopRequested = true; }

void TUncertaintyPanel::SamplingFinished() {
  if (!Worker) return;
  Worker->wait();
  delete Worker;
  Worker = nullptr;
  SetSampling(false);
  if (Stopped) {
    // Short enough for the bar: the figures beside it say the rest.
    ShowFigure(SampleProgress, "Stopped, samples kept");
    return;
  }
  FSamples = std::move(Result);
  Table = std::move(ResultTable);
  const char* objective = ObjectiveName(Used.Objective);
  ThresholdCaption->setText(QString("Beha&vioural from %1").arg(objective));
  // The range of the threshold: the objectives found, down to one unit
  // below the best (an NSE of -40 says no more than one of -1).
  bool any = false;
  Low = 0;
  High = 1;
  for (const TUncertaintySample& s : FSamples) {
    if (!s.Valid || !std::isfinite(s.Objective)) continue;
    Low = any ? std::min(Low, s.Objective) : s.Objective;
    High = any ? std::max(High, s.Objective) : s.Objective;
    any = true;
  }
  Low = std::max(Low, High - 1);
  {
    const QSignalBlocker b(DottyParameterBox);
    DottyParameterBox->clear();
    for (std::size_t i = 0; i < std::size(DottyParameters); ++i)
      if (!DottyParameters[i].SlowPath || Used.SlowPath)
        DottyParameterBox->addItem(DottyParameters[i].Caption, static_cast<int>(i));
  }
  const std::optional<TBehavioural> chosen = std::move(ResultBehavioural);
  {
    const QSignalBlocker b1(ThresholdSpin), b2(ThresholdSlider);
    ThresholdSpin->setRange(std::floor(Low * 1e4) / 1e4, 1);
    ThresholdSpin->setValue(chosen ? chosen->Threshold : High);
    ThresholdSlider->setValue(PositionOf(ThresholdSpin->value()));
  }
  ThresholdSpin->setEnabled(any);
  ThresholdSlider->setEnabled(any);
  ShowFigure(SampleProgress, QString("%1 samples").arg(FSamples.size()));
  // The first set exactly as the batch tool's best tenth, not as the
  // threshold rounded for the spin box.
  Show(chosen, "");
  ShowDots(true);
}

double TUncertaintyPanel::ThresholdAt(int position) const {
  return Low + (High - Low) * position / double(SliderSteps);
}

int TUncertaintyPanel::PositionOf(double threshold) const {
  const double x = (threshold - Low) / std::max(High - Low, 1e-12);
  return std::clamp(static_cast<int>(std::lround(x * SliderSteps)), 0, SliderSteps);
}

void TUncertaintyPanel::ThresholdSliderMove(int position) {
  if (Setting) return;
  ThresholdSpin->setValue(ThresholdAt(position));
}

void TUncertaintyPanel::ThresholdChange() {
  // The slider stays where it is when the value lies within its step, so
  // that a drag is not pulled back by the spin box's rounding.
  Setting = true;
  if (std::abs(ThresholdAt(ThresholdSlider->value()) - ThresholdSpin->value()) > (High - Low) / SliderSteps)
    ThresholdSlider->setValue(PositionOf(ThresholdSpin->value()));
  Setting = false;
  Select();
}

// The behavioural set of the threshold shown: the samples as they were
// judged, so that the band is redrawn at once.
void TUncertaintyPanel::Select() {
  if (!Table) return;
  std::string error;
  TBehaviouralRule rule;
  rule.Threshold = ThresholdSpin->value();
  const auto chosen = SelectBehavioural(FSamples, rule, error);
  Show(chosen, error);
}

// A behavioural set (none: error says why), its band and figures.
void TUncertaintyPanel::Show(const std::optional<TBehavioural>& chosen, const std::string& error) {
  FBehavioural = chosen;
  if (!FBehavioural) {
    FBands = {};
    ShowFigure(BehaviouralLabel, QString::fromStdString(error));
    ShowFigure(ContainingLabel, "Containing ratio -");
    ShowFigure(BandWidthLabel, "Band width -");
    emit BandChanged(nullptr);
    ShowDots(false);
    return;
  }
  FBands = Table->Bands(*FBehavioural);
  const TBandFit fit = JudgeBands(Measured, FBands, Used.WarmUp);
  std::size_t determined = 0;
  for (std::size_t m : FBehavioural->Members) determined += FSamples[m].Determined ? 1 : 0;
  ShowFigure(BehaviouralLabel,
             QString("Behavioural %1 of %2 samples (%3 reaching %4; %5 of them confirmed by the "
                     "whole determination)")
                 .arg(FBehavioural->Members.size())
                 .arg(FSamples.size())
                 .arg(ObjectiveName(Used.Objective), FixedFigure(FBehavioural->Threshold, 4))
                 .arg(determined));
  ShowFigure(ContainingLabel, "Containing ratio " + FixedFigure(100 * fit.ContainingRatio, 1) +
                                  " % of the measured runoff inside the 5-95 % band");
  ShowFigure(BandWidthLabel,
             "Band width " + FixedFigure(fit.RelativeWidth, 3) + " of the mean measured runoff");
  emit BandChanged(&FBands);
  ShowDots(false);
}

void TUncertaintyPanel::DottyParameterChange() { ShowDots(true); }

// The dots of the parameter chosen, behavioural or not; axes says that
// the parameter or the samples changed, not only the threshold.
void TUncertaintyPanel::ShowDots(bool axes) {
  const int index = DottyParameterBox->currentData().toInt();
  if (DottyParameterBox->count() == 0 || index < 0 ||
      index >= static_cast<int>(std::size(DottyParameters))) {
    Kept->clear();
    Left->clear();
    return;
  }
  const TDottyParameter& p = DottyParameters[index];
  QAbstractAxis* x = p.Log ? static_cast<QAbstractAxis*>(DottyLogX) : DottyX;
  QAbstractAxis* other = p.Log ? static_cast<QAbstractAxis*>(DottyX) : DottyLogX;
  for (QScatterSeries* series : {Left, Kept}) {
    if (series->attachedAxes().contains(other)) series->detachAxis(other);
    if (!series->attachedAxes().contains(x)) series->attachAxis(x);
  }
  other->hide();
  x->show();
  std::vector<char> member(FSamples.size(), 0);
  if (FBehavioural)
    for (std::size_t m : FBehavioural->Members) member[m] = 1;
  QList<QPointF> kept, left;
  double xLow = 0, xHigh = 0;
  bool any = false;
  for (std::size_t i = 0; i < FSamples.size(); ++i) {
    const TUncertaintySample& s = FSamples[i];
    if (!s.Valid || !std::isfinite(s.Objective)) continue;
    const double value = p.Value(s);
    if (!std::isfinite(value) || (p.Log && value <= 0)) continue;
    const QPointF point(value, std::max(s.Objective, Low));
    (member[i] ? kept : left) << point;
    xLow = any ? std::min(xLow, value) : value;
    xHigh = any ? std::max(xHigh, value) : value;
    any = true;
  }
  Left->replace(left);
  Kept->replace(kept);
  // A new threshold moves dots between the two series only: the axes, whose
  // layout costs more than the dots, stay.
  if (!axes) return;
  x->setTitleText(p.Caption);
  DottyY->setTitleText(ObjectiveName(Used.Objective));
  if (!any) return;
  if (p.Log) {
    DottyLogX->setRange(std::pow(10, std::floor(std::log10(xLow))), std::pow(10, std::ceil(std::log10(xHigh))));
  } else {
    const double margin = xHigh > xLow ? (xHigh - xLow) / 20 : 0.5;
    DottyX->setRange(xLow - margin, xHigh + margin);
    DottyX->applyNiceNumbers();
  }
  DottyY->setRange(Low, High + (High - Low) / 20);
  DottyY->applyNiceNumbers();
}

void TUncertaintyPanel::SetSampling(bool on) {
  for (QWidget* w : std::initializer_list<QWidget*>{SamplesSpin, SeedSpin, SampleButton, DottyParameterBox})
    w->setEnabled(!on);
  // The threshold has something to choose from once a sampling has ended.
  for (QWidget* w : std::initializer_list<QWidget*>{ThresholdSpin, ThresholdSlider})
    w->setEnabled(!on && Table);
  StopButton->setEnabled(on);
  if (on) {
    SampleProgress->setRange(0, 0);
    ShowFigure(SampleProgress, "Sampling ...");
    StopButton->setFocus();
  } else {
    SampleProgress->setRange(0, 1);
    SampleProgress->setValue(Stopped ? 0 : 1);
    SampleButton->setFocus();
  }
  emit SamplingChanged(on);
}
