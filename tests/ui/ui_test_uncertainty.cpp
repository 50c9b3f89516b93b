// The calibration window's Uncertainty part: the record sampled as the
// model's sampler samples it, the band and figures of the behavioural
// samples, the threshold moved without sampling again, Stop, and the sheet
// left alone throughout.
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QRegularExpression>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <atomic>
#include <cmath>
#include <memory>

#include "model/dmquorell.h"
#include "model/routing.h"
#include "ui/calibrationform.h"
#include "ui/rainform.h"
#include "ui/uncertaintypanel.h"
#include "ui/calibration_support.h"
#include "ui/ui_support.h"

namespace {

struct TSheetState {
  QString Max, Ini, Esc;
  TStoreParameters Held;
  int Points = 0;
  bool operator==(const TSheetState&) const = default;
};
TSheetState Sheet() {
  return {Main<QLineEdit>("MaxStorEdit")->text(), Main<QLineEdit>("InitStorEdit")->text(),
          Main<QLineEdit>("EscapeEdit")->text(), DMQuorell->Store(), DMQuorell->NrOfData};
}

// The calibration example in the sheet, as it is then, and its window open.
TSheetState OpenExampleSheet(TProgram& program) {
  if (!ActivateInputTab()) return {};
  program.Prompts.Paths = {Example("calibrate_daily.inp")};
  Main<QAction>("InputOpenAction")->trigger();
  const TSheetState sheet = Sheet();
  OpenWindow();
  return sheet;
}

TUncertaintyPanel* Panel() { return CalibrationWindow()->UncertaintyPart(); }

// Samples n of seed on the Uncertainty tab and waits for the end.
bool Sample(int n, int seed) {
  Cal<QTabWidget>("CalibrationTabs")->setCurrentIndex(1);
  Cal<QSpinBox>("SamplesSpin")->setValue(n);
  Cal<QSpinBox>("SeedSpin")->setValue(seed);
  QSignalSpy changed(Panel(), &TUncertaintyPanel::SamplingChanged);
  Cal<QPushButton>("SampleButton")->click();
  if (!Panel()->Sampling()) return false;
  // Started (true), then ended (false); the timeout only keeps a broken
  // sampling from hanging the test run.
  for (int i = 0; i < 1200 && changed.size() < 2; ++i) QTest::qWait(100);
  return changed.size() >= 2 && !Panel()->Sampling();
}

QString Text(const char* label) { return Cal<QLabel>(label)->text(); }

QString AccessibleName(QWidget* widget) {
  return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

}  // namespace

class TUncertaintyWindowTest : public QObject {
  Q_OBJECT

private slots:
  void init() { TRainForm::StartSeparator = '.'; }

  // The samples are those of the model's sampler for the same seed and
  // number, the band that of their behavioural best tenth; a lower
  // threshold takes in more samples and redraws at once; one above the
  // best takes none and says what to do.
  void theBandFollowsTheThreshold() {
    TProgram program;
    const TSheetState sheet = OpenExampleSheet(program);
    QVERIFY(CalibrationWindow());
    QVERIFY(!Cal<QDoubleSpinBox>("ThresholdSpin")->isEnabled());
    QVERIFY(Sample(150, 7));
    QCOMPARE(Panel()->Samples().size(), std::size_t{150});

    // tolvane-batch uncertainty of the same file, seed, number and objective.
    TScratchDir dir;
    const char* objective =
        InfoOf(static_cast<TCriterion>(Cal<QComboBox>("ObjectiveBox")->currentData().toInt())).Key;
    QProcess batch;
    batch.start(TOLVANE_BATCH, {"uncertainty", Example("calibrate_daily.inp"), "-o",
                                QString::fromStdString(dir.File("u")), "--samples", "150", "--seed",
                                "7", "--best-share", "0.1", "--objective", objective});
    QVERIFY(batch.waitForFinished(120000));
    QCOMPARE(batch.exitCode(), 0);
    const QStringList rows =
        QString::fromStdString(ReadFileBytes(dir.File("u_bands.csv"))).split(QRegularExpression("\\r?\\n"));
    const TLiveFit& fit = CalibrationWindow()->LastFit();
    const TBands& bands = Panel()->Bands();
    QCOMPARE(bands.Q05.size(), fit.Time.size());
    std::size_t compared = 0;
    for (const QString& row : rows) {
      // date,time,rain,measured,best,q05,q50,q95
      const QStringList cells = row.split(',');
      bool number = false;
      const double time = cells.value(1).toDouble(&number);
      if (cells.size() != 8 || !number) continue;
      QCOMPARE(time, fit.Time[compared]);
      QCOMPARE(cells[5].toDouble(), bands.Q05[compared]);
      QCOMPARE(cells[7].toDouble(), bands.Q95[compared]);
      QCOMPARE(cells[4].toDouble(), bands.Best[compared]);
      ++compared;
    }
    QCOMPARE(compared, fit.Time.size());
    const auto members = Panel()->Behavioural()->Members;
    QVERIFY2(QString::fromUtf8(batch.readAllStandardOutput())
                 .contains(QString(" run, %1 behavioural").arg(members.size())),
             "the batch tool keeps as many samples");
    auto* chart = CalibrationWindow()->findChild<TCalibrationChart*>();
    QCOMPARE(chart->BandPoints(), static_cast<int>(fit.Time.size()));
    QVERIFY2(Text("BehaviouralLabel").startsWith(
                 QString("Behavioural %1 of 150 samples").arg(members.size())),
             qPrintable(Text("BehaviouralLabel")));
    QVERIFY(Text("ContainingLabel").startsWith("Containing ratio "));
    // Read as shown.
    QCOMPARE(AccessibleName(Cal<QLabel>("ContainingLabel")), Text("ContainingLabel"));

    // Lower: more samples, a band at least as wide, no sampling.
    const std::size_t before = members.size();
    const TBands tenthBands = Panel()->Bands();
    auto* threshold = Cal<QDoubleSpinBox>("ThresholdSpin");
    threshold->setValue(threshold->minimum());
    QVERIFY(!Panel()->Sampling());
    QVERIFY(Panel()->Behavioural()->Members.size() > before);
    double wider = 0;
    for (std::size_t t = 0; t < tenthBands.Q95.size(); ++t)
      wider += (Panel()->Bands().Q95[t] - Panel()->Bands().Q05[t]) - (tenthBands.Q95[t] - tenthBands.Q05[t]);
    QVERIFY(wider > 0);
    // The slider moves the threshold.
    Cal<QSlider>("ThresholdSlider")->setValue(1000);
    QVERIFY(threshold->value() > threshold->minimum());
    // Above the best: none, said so; the band goes.
    threshold->setValue(threshold->maximum());
    QVERIFY(!Panel()->Behavioural());
    QVERIFY2(Text("BehaviouralLabel").contains("lower threshold"), qPrintable(Text("BehaviouralLabel")));
    QCOMPARE(chart->BandPoints(), 0);
    // Another parameter's dots.
    Cal<QComboBox>("DottyParameterBox")->setCurrentIndex(2);
    QCOMPARE(Sheet(), sheet);
    Cal<QPushButton>("CloseButton")->click();
    QVERIFY(!CalibrationWindow());
    QCOMPARE(Sheet(), sheet);
    QCOMPARE(program.Prompts.Messages, QStringList());
  }

  // Stopped, the samples shown stay as they were; closed while sampling,
  // the window goes and the sheet stays.
  void stopAndCloseWhileSampling() {
    TProgram program;
    const TSheetState sheet = OpenExampleSheet(program);
    QVERIFY(CalibrationWindow());
    QVERIFY(Sample(40, 3));
    const auto first = Panel()->Samples();
    auto reached = std::make_shared<QSemaphore>();
    auto go = std::make_shared<QSemaphore>();
    auto calls = std::make_shared<std::atomic<int>>(0);
    Panel()->SetHook([reached, go, calls](int) {
      if (++*calls != 1) return;
      reached->release();
      go->tryAcquire(1, 120000);
    });
    Cal<QSpinBox>("SamplesSpin")->setValue(5000);
    QSignalSpy changed(Panel(), &TUncertaintyPanel::SamplingChanged);
    Cal<QPushButton>("SampleButton")->click();
    QVERIFY(reached->tryAcquire(1, 120000));
    // The fit is locked while the samples are drawn.
    QVERIFY(!Cal<QWidget>("FitPage")->isEnabled());
    QVERIFY(Cal<QPushButton>("StopButton")->isEnabled());
    Cal<QPushButton>("StopButton")->click();
    go->release();
    QTRY_VERIFY_WITH_TIMEOUT(!Panel()->Sampling(), 120000);
    QCOMPARE(calls->load(), 1);
    QCOMPARE(Panel()->Samples().size(), first.size());
    QVERIFY(Cal<QWidget>("FitPage")->isEnabled());
    QVERIFY(AccessibleName(Cal<QProgressBar>("SampleProgress")).contains("Stopped"));

    Panel()->SetHook({});
    Cal<QPushButton>("SampleButton")->click();
    QVERIFY(Panel()->Sampling());
    Cal<QPushButton>("CloseButton")->click();
    QVERIFY(!CalibrationWindow());
    QCOMPARE(Sheet(), sheet);
    QCOMPARE(program.Prompts.Messages, QStringList());
  }
};

TOLVANE_UI_TEST(TUncertaintyWindowTest)

#include "ui_test_uncertainty.moc"
