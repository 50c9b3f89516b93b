// The calibration window: its fits against runs of the batch tool, its
// search against `tolvane-batch calibrate`, the sheet left alone unless
// applied, and the sheets it refuses.
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QProgressBar>
#include <QSemaphore>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>

#include "base/numformat.h"
#include "files/modelfile.h"
#include "files/storelines.h"
#include "model/dmquorell.h"
#include "ui/calibrationform.h"
#include "ui/rainform.h"
#include "ui/calibration_support.h"
#include "ui/ui_support.h"

namespace {

void OpenInput(TProgram& program, const QString& path) {
  program.Prompts.Paths = {path};
  Main<QAction>("InputOpenAction")->trigger();
}

void SetParameters(const TStoreParameters& s) {
  Cal<QDoubleSpinBox>("MaxStorageSpin")->setValue(s.MaxSto);
  Cal<QDoubleSpinBox>("InitialStorageSpin")->setValue(s.IniSto);
  Cal<QDoubleSpinBox>("EscapeRateSpin")->setValue(s.MaxEsc);
  QCoreApplication::processEvents();
}

// The determination the batch tool runs from the example with other
// parameters.
struct TBatchFit {
  int NrOfRes = 0;
  double Alpha = 0;
  TFitCriteria Fit;
};
TBatchFit BatchRun(const std::string& example, const TStoreParameters& store, const TScratchDir& dir) {
  const std::string path = dir.File("same.inp");
  WriteFileBytes(path, *ReplaceStoreLines(ReadFileBytes(example), path, store));
  TDMQuorell dm;
  dm.FileName = path;
  if (!dm.RunModel(true)) qFatal("the batch run of %s failed", path.c_str());
  const auto& ws = dm.Analysis();
  return {ws.NrOfRes, ws.Alpha, FitCriteria(ws.RunMeas, ws.RunCalc, ws.AnaNrOfData)};
}

QString Shown(const char* label) { return Cal<QLabel>(label)->text(); }

QString Fixed(double value, int decimals) { return QString::fromStdString(FormatFixed(value, 0, decimals)); }

// The sheet's parameter fields and what the model holds of them.
struct TSheetState {
  QString Max, Ini, Esc;
  TStoreParameters Held;
  bool operator==(const TSheetState&) const = default;
};
TSheetState Sheet() {
  return {Main<QLineEdit>("MaxStorEdit")->text(), Main<QLineEdit>("InitStorEdit")->text(),
          Main<QLineEdit>("EscapeEdit")->text(), DMQuorell->Store()};
}

// Holds the window's search at one candidate, on the search's own thread,
// until released (at the latest when this goes), and tells which thread
// the search ran on and how far it went.
class THeldSearch {
public:
  // Held at the call-th candidate (from 1) the search reports.
  THeldSearch(TCalibrationForm* form, int call) : State(std::make_shared<TState>()) {
    form->SetSearchHook([state = State, call](int evaluations) {
      const int n = ++state->Calls;
      if (n == 1) state->FirstEvaluations = evaluations;
      if (n != call) return;
      state->OnWindowThread = QThread::currentThread() == qApp->thread();
      state->Reached.release();
      // On the window's thread a hold would never end: the test fails instead.
      if (!state->OnWindowThread) state->Go.acquire();
    });
  }
  ~THeldSearch() { Release(); }
  // The timeout only keeps a broken search from hanging the test run.
  bool WaitHeld() { return State->Reached.tryAcquire(1, 120000); }
  void Release() {
    if (!Released) State->Go.release();
    Released = true;
  }
  bool OnWindowThread() const { return State->OnWindowThread; }
  int Calls() const { return State->Calls; }
  int FirstEvaluations() const { return State->FirstEvaluations; }

private:
  // Shared with the hook, which the search may still hold when this goes.
  struct TState {
    QSemaphore Reached, Go;
    std::atomic<int> Calls{0}, FirstEvaluations{0};
    std::atomic<bool> OnWindowThread{false};
  };
  std::shared_ptr<TState> State;
  bool Released = false;
};

QString AccessibleName(QWidget* widget) {
  return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

// Calibrate clicked for the objective; the search is held at its second
// candidate. While it is held, the window must go on: a timer set now
// fires, and the progress of the first candidate, sent before the hold,
// is shown. Then the search goes on to its end.
void CalibrateWhileTheWindowGoesOn(const QString& objective) {
  TCalibrationForm* form = CalibrationWindow();
  auto* box = Cal<QComboBox>("ObjectiveBox");
  box->setCurrentIndex(box->findText(objective));
  QSignalSpy ended(form, &TCalibrationForm::CalibrationEnded);
  THeldSearch held(form, 2);
  Cal<QPushButton>("CalibrateButton")->click();
  QVERIFY(held.WaitHeld());
  // A search on the window's thread would stop the window for seconds.
  QVERIFY(!held.OnWindowThread());
  QVERIFY(form->Calibrating());
  // The timeouts here and below only keep a stuck window from hanging the run.
  bool fired = false;
  QTimer::singleShot(0, form, [&fired] { fired = true; });
  QTRY_VERIFY_WITH_TIMEOUT(fired, 10000);
  auto* progress = Cal<QProgressBar>("ProgressBar");
  const QString reported =
      QString("%1 candidates, best %2 ").arg(held.FirstEvaluations()).arg(objective);
  QTRY_VERIFY2_WITH_TIMEOUT(AccessibleName(progress).contains(reported),
                            qPrintable(AccessibleName(progress)), 10000);
  QCOMPARE(held.Calls(), 2);  // still held
  held.Release();
  QVERIFY(ended.wait(120000));
  QVERIFY(held.Calls() > 2);
  QVERIFY(!form->Calibrating());
}

}  // namespace

class TCalibrationTest : public QObject {
  Q_OBJECT

private slots:
  void init() { TRainForm::StartSeparator = '.'; }

  // Each parameter set, by spin box, slider or out of bounds, shows the
  // reservoirs, alpha and criteria a run of the same (bounded) parameters gives.
  void theFiguresShownAreThoseOfARunOfTheSameParameters() {
    TProgram program;
    TScratchDir dir;
    const QString example = OpenExampleWindow(program);
    QVERIFY(CalibrationWindow());
    QCOMPARE(CalibrationWindow()->windowTitle(), QString("Calibration"));
    QCOMPARE(CalibrationWindow()->Shown(), (TStoreParameters{6, 3, 0.2}));
    struct TCase {
      const char* Name;
      TStoreParameters Set, Expected;
    } cases[] = {
        {"the file's own", {6, 3, 0.2}, {6, 3, 0.2}},
        {"wider", {40.5, 12.25, 1.75}, {40.5, 12.25, 1.75}},
        {"full and escaping most", {150, 150, 15}, {150, 150, 15}},
        {"rounded as stored", {20.004, 0.5004, 0.0004}, {20, 0.5, 0}},
        {"beyond the bounds", {900, 900, 95}, {500, 500, 50}},
        {"the initial storage follows the maximum down", {2, 3, 0.3}, {2, 2, 0.2}},
    };
    for (const TCase& c : cases) {
      SetParameters(c.Set);
      // The maximum storage last: the others may only then be as wanted.
      SetParameters(c.Set);
      QCOMPARE(CalibrationWindow()->Shown(), c.Expected);
      const TLiveFit& fit = CalibrationWindow()->LastFit();
      QCOMPARE(fit.Store, c.Expected);
      const TBatchFit run = BatchRun(example.toStdString(), c.Expected, dir);
      QVERIFY2(fit.Valid, c.Name);
      QCOMPARE(fit.NrOfRes, run.NrOfRes);
      QCOMPARE(fit.Alpha, run.Alpha);
      for (const auto& info : Criteria)
        QVERIFY2(fit.Fit[info.Id] == run.Fit[info.Id] ||
                     (std::isnan(fit.Fit[info.Id]) && std::isnan(run.Fit[info.Id])),
                 c.Name);
      QCOMPARE(Shown("ReservoirsLabel"), "Reservoirs " + QString::number(run.NrOfRes));
      QCOMPARE(Shown("AlphaLabel"), "Alpha " + Fixed(run.Alpha, 3));
      QCOMPARE(Shown("NseLabel"), "NSE " + Fixed(run.Fit[TCriterion::Nse], 4));
      QCOMPARE(Shown("KgeLabel"), "KGE " + Fixed(run.Fit[TCriterion::Kge], 4));
      QCOMPARE(Shown("VolumeLabel"), "Volume error " + Fixed(run.Fit[TCriterion::VolumeError], 2) + " %");
      QCOMPARE(CalibrationWindow()->findChild<TCalibrationChart*>()->CalculatedPoints(),
               static_cast<int>(fit.Time.size()));
    }
    // A slider moves its spin box, and the fit with it.
    Cal<QSlider>("MaxStorageSlider")->setValue(7525);
    QCoreApplication::processEvents();
    QCOMPARE(Cal<QDoubleSpinBox>("MaxStorageSpin")->value(), 75.25);
    QCOMPARE(CalibrationWindow()->LastFit().Store.MaxSto, 75.25);
    QCOMPARE(program.Prompts.Messages, QStringList());
  }

  // Changes faster than the refits are gathered: only the latest is fitted.
  void aDragThatOutrunsTheRefitsFitsOnlyTheLatestValue() {
    TProgram program;
    QVERIFY(ActivateInputTab());
    OpenInput(program, Example("determine_daily.inp"));
    QVERIFY(OpenWindow());
    const int before = CalibrationWindow()->Refits();
    auto* slider = Cal<QSlider>("MaxStorageSlider");
    for (int p = 1000; p <= 3000; p += 100) slider->setValue(p);
    QCOMPARE(CalibrationWindow()->Refits(), before);
    QCoreApplication::processEvents();
    QCOMPARE(CalibrationWindow()->Refits(), before + 1);
    QCOMPARE(CalibrationWindow()->LastFit().Store.MaxSto, 30.0);
  }

  // Calibrate finds what calibrate finds on a thread of its own; Apply
  // then Save/Run writes calibrate's BEST.out but for the file names, and
  // the Output tab shows the run's criteria.
  void applyThenSaveRunGivesCalibratesBestFile() {
    TProgram program;
    TScratchDir dir;
    RainForm->SetPauseMs(0);
    QVERIFY(ActivateInputTab());
    const QString example = Example("calibrate_daily.inp");
    OpenInput(program, example);
    const QString best = QString::fromStdString(dir.File("best.inp"));
    QProcess batch;
    batch.start(TOLVANE_BATCH, {"calibrate", example, "-o", best, "--objective", "nse"});
    QVERIFY(batch.waitForFinished(120000));
    QCOMPARE(batch.exitCode(), 0);

    QVERIFY(OpenWindow());
    const TSheetState sheet = Sheet();
    CalibrateWhileTheWindowGoesOn("NSE");
    if (QTest::currentTestFailed()) return;
    QCOMPARE(Sheet(), sheet);  // nothing applied yet
    QVERIFY(Shown("ComparisonLabel").startsWith("Before: NSE "));
    QVERIFY(Shown("ComparisonLabel").contains("\nAfter: NSE "));
    const TLiveFit fit = CalibrationWindow()->LastFit();

    Cal<QPushButton>("ApplyButton")->click();
    const QString applied = QString::fromStdString(dir.File("applied.inp"));
    program.Prompts.Paths = {applied};
    Main<QAction>("InputSaveAction")->trigger();
    const auto ours = SplitCrLfLines(ReadFileBytes(dir.File("applied.out")));
    const auto theirs = SplitCrLfLines(ReadFileBytes(dir.File("best.out")));
    QCOMPARE(ours.size(), theirs.size());
    int named = 0;
    for (std::size_t i = 0; i < ours.size(); ++i) {
      if (ours[i] == theirs[i]) continue;
      QVERIFY2(ours[i].find("applied.") != std::string::npos && theirs[i].find("best.") != std::string::npos,
               ours[i].c_str());
      ++named;
    }
    QVERIFY(named > 0);
    QCOMPARE(Main<QLabel>("RunCriteriaLabel")->text(),
             QString("NSE %1, KGE %2, KGE 2012 %3, log NSE %4, sqrt NSE %5, volume error %6 %, RMSE %7")
                 .arg(Fixed(fit.Fit[TCriterion::Nse], 4), Fixed(fit.Fit[TCriterion::Kge], 4),
                      Fixed(fit.Fit[TCriterion::Kge2012], 4), Fixed(fit.Fit[TCriterion::LogNse], 4),
                      Fixed(fit.Fit[TCriterion::SqrtNse], 4), Fixed(fit.Fit[TCriterion::VolumeError], 2),
                      Fixed(fit.Fit[TCriterion::Rmse], 4)));
    // Another output file opened is not this run.
    OpenInput(program, example);
    program.Prompts.Paths = {Example("determine_daily.out")};
    Main<QAction>("OutputOpenAction")->trigger();
    QCOMPARE(Main<QLabel>("RunCriteriaLabel")->text(), QString());
  }

  // Cancel, Escape and Close leave the sheet as it was.
  void cancelAndCloseLeaveTheSheetAlone() {
    TProgram program;
    QVERIFY(ActivateInputTab());
    OpenInput(program, Example("calibrate_daily.inp"));
    const TSheetState sheet = Sheet();
    QVERIFY(OpenWindow());
    SetParameters({30, 10, 1});
    const TStoreParameters shown = CalibrationWindow()->Shown();
    {
      // Cancelled while the search is held at its first candidate: it stops there.
      auto* box = Cal<QComboBox>("ObjectiveBox");
      box->setCurrentIndex(box->findText("KGE"));
      QSignalSpy ended(CalibrationWindow(), &TCalibrationForm::CalibrationEnded);
      THeldSearch held(CalibrationWindow(), 1);
      Cal<QPushButton>("CalibrateButton")->click();
      QVERIFY(held.WaitHeld());
      QVERIFY(Cal<QPushButton>("CancelButton")->isEnabled());
      Cal<QPushButton>("CancelButton")->click();
      held.Release();
      QVERIFY(ended.wait(120000));
      QCOMPARE(held.Calls(), 1);
    }
    QCOMPARE(Shown("ComparisonLabel"), QString("Calibration cancelled: the parameters are as they were"));
    QCOMPARE(CalibrationWindow()->Shown(), shown);
    QVERIFY(Cal<QPushButton>("ApplyButton")->isEnabled());
    QCOMPARE(Sheet(), sheet);
    CalibrationWindow()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(CalibrationWindow()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!CalibrationWindow());
    QCOMPARE(Sheet(), sheet);
    // Closed while searching: the search stops and the sheet stays.
    Main<QAction>("CalibrateAction")->trigger();
    QVERIFY(CalibrationWindow());
    Cal<QPushButton>("CalibrateButton")->click();
    QVERIFY(CalibrationWindow()->Calibrating());
    Cal<QPushButton>("CloseButton")->click();
    QVERIFY(!CalibrationWindow());
    QCOMPARE(Sheet(), sheet);
    QCOMPARE(program.Prompts.Messages, QStringList());
  }

  // The fit shown saved as a model file, which validate takes and gives the
  // same figures; opened again, its parameters are shown and fitted.
  void aModelFileSavedAndOpened() {
    TProgram program;
    TScratchDir dir;
    const QString example = OpenExampleWindow(program);
    QVERIFY(CalibrationWindow());
    SetParameters({12.5, 4.25, 0.35});
    SetParameters({12.5, 4.25, 0.35});
    const TLiveFit fit = CalibrationWindow()->LastFit();
    QVERIFY(fit.Valid);
    const QString path = QString::fromStdString(dir.File("shown.json"));
    const TModelFileRead read = SaveShownModel(program, path);
    QCOMPARE(program.Prompts.Messages, QStringList());
    QCOMPARE(QString::fromStdString(read.Error), QString());
    QCOMPARE(read.Model.Store, fit.Store);
    QCOMPARE(read.Model.Reservoirs, fit.NrOfRes);
    QCOMPARE(read.Model.Alpha, fit.Alpha);
    QCOMPARE(read.Model.Points, static_cast<int>(fit.Time.size()));
    QCOMPARE(read.Model.Source, example.toStdString());
    // validate of the model file on the sheet's record: the figures shown.
    const TValidateRun run = ValidateModel(path, example);
    QCOMPARE(run.Status, 0);
    QVERIFY2(run.Report.contains(QString::fromStdString(CriteriaLine(fit.Fit))), qPrintable(run.Report));

    SetParameters({30, 10, 1});
    QCOMPARE(CalibrationWindow()->Shown(), (TStoreParameters{30, 10, 1}));
    program.Prompts.Paths = {path};
    Cal<QPushButton>("OpenModelButton")->click();
    QCOMPARE(CalibrationWindow()->Shown(), fit.Store);
    QCOMPARE(CalibrationWindow()->LastFit().Alpha, fit.Alpha);
    // A model file with the extensions: its store and slow path are shown
    // and fitted; its evaporation is left out, for this record has none.
    TModelFile extended = read.Model;
    extended.Extensions = {true, 0.4, 0.02, true, 2.5};
    extended.Pet = std::to_string(5);
    WriteFileBytes(dir.File("extended.json"), FormatModelFile(extended));
    program.Prompts.Paths = {QString::fromStdString(dir.File("extended.json"))};
    Cal<QPushButton>("OpenModelButton")->click();
    QCOMPARE(CalibrationWindow()->Shown(), fit.Store);
    QCOMPARE(CalibrationWindow()->ShownExtensions(), (TExtensions{true, 0.4, 0.02, false, 0}));
    QVERIFY(!CalibrationWindow()->LastFit().Slow.empty());
    QVERIFY2(Shown("ComparisonLabel").endsWith("slow flow share 0.400, reaction factor 0.0200; its "
                                               "evaporation is left out: this record has none "
                                               "(import the table with its PET column)"),
             qPrintable(Shown("ComparisonLabel")));
    // A file that is no model file is refused, naming what is wrong.
    WriteFileBytes(dir.File("bad.json"), "{}");
    program.Prompts.Paths = {QString::fromStdString(dir.File("bad.json"))};
    Cal<QPushButton>("OpenModelButton")->click();
    QCOMPARE(program.Prompts.Messages.size(), 1);
    QVERIFY(program.Prompts.Messages.front().contains("the key \"format\" is missing"));
    QCOMPARE(CalibrationWindow()->Shown(), fit.Store);
  }

  // The Tools menu holds the entry, the very action of the button.
  void theToolsMenuOpensTheWindow() {
    TProgram program;
    auto* tools = Main<QMenu>("ToolsMenu");
    QCOMPARE(tools->title(), QString("&Tools"));
    QVERIFY(tools->actions().contains(Main<QAction>("CalibrateAction")));
    QCOMPARE(Main<QAction>("CalibrateAction")->text(), QString("&Calibrate ..."));
    QCOMPARE(Main<QPushButton>("CalibrateButton")->text(), QString("Calibrate ..."));
  }

  // A sheet Save/Run would refuse is refused with its message; a prediction
  // and an empty sheet are told what is missing.
  void sheetsThatCannotBeCalibratedAreRefused() {
    struct TCase {
      const char* Name;
      std::function<void(TProgram&)> Prepare;
      bool SaveRunRefuses;
      const char* Says;
    } cases[] = {
        {"a prediction", [](TProgram& p) { OpenInput(p, Example("predict_daily.inp")); }, false,
         "choose the option"},
        {"no data", [](TProgram&) { Main<QComboBox>("OptionComboBox")->setCurrentIndex(0); }, false,
         "holds no data"},
        {"a cell that is no number",
         [](TProgram& p) {
           OpenInput(p, Example("determine_daily.inp"));
           Type(1, 3, "1.2.3");
         },
         true, "real"},
        {"time going back",
         [](TProgram& p) {
           OpenInput(p, Example("determine_daily.inp"));
           Type(0, 4, "1");
         },
         true, "non-sequential"},
        {"no variation in runoff",
         [](TProgram& p) {
           OpenInput(p, Example("determine_daily.inp"));
           for (int r = 0; r < DMQuorell->NrOfData; ++r) Type(2, r, "2");
         },
         true, "no variation in runoff"},
    };
    for (const TCase& c : cases) {
      TProgram program;
      TScratchDir dir;
      RainForm->SetPauseMs(0);
      QVERIFY(ActivateInputTab());
      c.Prepare(program);
      program.Prompts.Messages.clear();
      Main<QAction>("CalibrateAction")->trigger();
      QVERIFY2(!CalibrationWindow(), c.Name);
      QCOMPARE(program.Prompts.Messages.size(), 1);
      const QString said = program.Prompts.Messages.front();
      QVERIFY2(said.contains(c.Says), qPrintable(said));
      if (c.SaveRunRefuses) {
        program.Prompts.Paths = {QString::fromStdString(dir.File("refused.inp"))};
        Main<QAction>("InputSaveAction")->trigger();
        QCOMPARE(program.Prompts.Messages.back(), said);
      }
    }
  }
};

TOLVANE_UI_TEST(TCalibrationTest)
#include "ui_test_calibration.moc"
