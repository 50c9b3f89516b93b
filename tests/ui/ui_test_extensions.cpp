// The calibration window beyond the designed model: the slow flow path
// refitted live and judged as the batch tool's validate judges it, the
// evaporation of an imported table's PET column, a search of both, and the
// sheet given only what its input file can hold.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include <cmath>

#include "files/modelfile.h"
#include "model/calibration.h"
#include "model/dmquorell.h"
#include "model/routing.h"
#include "ui/calibrationform.h"
#include "ui/importform.h"
#include "ui/rainform.h"
#include "ui/calibration_support.h"
#include "ui/ui_support.h"

namespace {

void Settle() { QCoreApplication::processEvents(); }

// A year and a bit of days from 1990-01-01 with a potential evaporation
// that follows the seasons: rain, runoff and PET under a header of names.
struct TPetTable {
  std::string Text;
  std::vector<double> Pet;
};
TPetTable SeasonalTable(int days) {
  TPetTable t;
  t.Text = "date,rain,runoff,PET\n";
  double q = 0.8, slow = 0.5;
  for (int d = 0; d < days; ++d) {
    const double rain = d % 6 == 2 ? 9 + d % 7 : d % 4 == 0 ? 1.5 : 0;
    const double pet = 2.2 + 1.8 * std::sin(2 * M_PI * (d - 100) / 365.25);
    q = 0.8 * q + 0.15 * rain;
    slow = 0.99 * slow + 0.004 * rain;
    // As the table holds it.
    t.Pet.push_back(std::stod(std::to_string(pet)));
    t.Text += QDate(1990, 1, 1).addDays(d).toString("yyyy-MM-dd").toStdString() + "," +
              std::to_string(rain) + "," + std::to_string(q + slow) + "," + std::to_string(pet) + "\n";
  }
  return t;
}

}  // namespace

class TExtensionsWindowTest : public QObject {
  Q_OBJECT

private slots:
  void init() { TRainForm::StartSeparator = '.'; }

  // Share and reaction factor by spin box and slider, each change fitted
  // at once; the quick and slow parts add up to the runoff drawn; a model
  // saved from the window is judged by validate as the window judged it.
  void theSlowPathIsFittedLiveAsValidateJudgesIt() {
    TProgram program;
    TScratchDir dir;
    const QString example = OpenExampleWindow(program);
    QVERIFY(CalibrationWindow());
    const TLiveFit designed = CalibrationWindow()->LastFit();
    QVERIFY(designed.Slow.empty());
    // The share and reaction factor wait for the check box.
    QVERIFY(!Cal<QDoubleSpinBox>("BaseShareSpin")->isEnabled());
    Cal<QCheckBox>("SlowPathCheck")->click();
    QVERIFY(Cal<QDoubleSpinBox>("BaseShareSpin")->isEnabled());
    Cal<QDoubleSpinBox>("BaseShareSpin")->setValue(0.3);
    Cal<QDoubleSpinBox>("BaseAlphaSpin")->setValue(0.02);
    Settle();
    TLiveFit fit = CalibrationWindow()->LastFit();
    QVERIFY(fit.Valid);
    QCOMPARE(fit.Extensions, (TExtensions{true, 0.3, 0.02, false, 0}));
    QCOMPARE(fit.Quick.size(), fit.Calculated.size());
    QCOMPARE(fit.Slow.size(), fit.Calculated.size());
    for (std::size_t i = 0; i < fit.Calculated.size(); ++i)
      QVERIFY(std::abs(fit.Quick[i] + fit.Slow[i] - fit.Calculated[i]) <= 1e-12 * (1 + fit.Calculated[i]));
    QVERIFY(fit.Fit[TCriterion::Nse] != designed.Fit[TCriterion::Nse]);
    // The sliders move the spin boxes: the share in thousandths, the
    // reaction factor over its range on a log scale.
    Cal<QSlider>("BaseShareSlider")->setValue(250);
    Cal<QSlider>("BaseAlphaSlider")->setValue(1000);
    Settle();
    QCOMPARE(Cal<QDoubleSpinBox>("BaseShareSpin")->value(), 0.25);
    QCOMPARE(Cal<QDoubleSpinBox>("BaseAlphaSpin")->value(), BaseAlphaHigh);
    Cal<QSlider>("BaseAlphaSlider")->setValue(0);
    Settle();
    QCOMPARE(Cal<QDoubleSpinBox>("BaseAlphaSpin")->value(), BaseAlphaLow);
    Cal<QDoubleSpinBox>("BaseAlphaSpin")->setValue(0.0125);
    Settle();
    fit = CalibrationWindow()->LastFit();
    QCOMPARE(fit.Extensions, (TExtensions{true, 0.25, 0.0125, false, 0}));

    const QString path = QString::fromStdString(dir.File("slow.json"));
    const TModelFileRead read = SaveShownModel(program, path);
    QCOMPARE(program.Prompts.Messages, QStringList());
    QCOMPARE(QString::fromStdString(read.Error), QString());
    QCOMPARE(read.Model.Extensions, fit.Extensions);
    const TValidateRun run = ValidateModel(path, example);
    QCOMPARE(run.Status, 0);
    QVERIFY2(run.Report.contains(QString::fromStdString(CriteriaLine(fit.Fit))), qPrintable(run.Report));

    // Applied: the store goes to the sheet, and the window says where the
    // slow path is kept.
    Cal<QPushButton>("ApplyButton")->click();
    QCOMPARE(DMQuorell->Store(), fit.Store);
    QVERIFY2(Cal<QLabel>("ComparisonLabel")->text().contains("slow flow path: they live in the model file"),
             qPrintable(Cal<QLabel>("ComparisonLabel")->text()));
    // Off again: the designed model to the last bit.
    Cal<QCheckBox>("SlowPathCheck")->click();
    Settle();
    QVERIFY(CalibrationWindow()->LastFit().Slow.empty());
    QCOMPARE(CalibrationWindow()->LastFit().Fit[TCriterion::Nse], designed.Fit[TCriterion::Nse]);
    QCOMPARE(CalibrationWindow()->LastFit().Alpha, designed.Alpha);
    QCOMPARE(program.Prompts.Messages, QStringList());
  }

  // A search with the slow path on finds what the calibration of the same
  // record and settings finds, and shows its share and reaction factor.
  void aSearchWithTheSlowPathShowsWhatTheCalibrationFinds() {
    TProgram program;
    OpenExampleWindow(program);
    QVERIFY(CalibrationWindow());
    Cal<QCheckBox>("SlowPathCheck")->click();
    Settle();
    const TLiveFit before = CalibrationWindow()->LastFit();
    QSignalSpy ended(CalibrationWindow(), &TCalibrationForm::CalibrationEnded);
    Cal<QPushButton>("CalibrateButton")->click();
    // The group is locked while the search runs.
    QVERIFY(!Cal<QCheckBox>("SlowPathCheck")->isEnabled());
    QVERIFY(ended.wait(120000) || !ended.isEmpty());
    QVERIFY(Cal<QCheckBox>("SlowPathCheck")->isEnabled());
    QVERIFY(Cal<QDoubleSpinBox>("BaseShareSpin")->isEnabled());

    TRecord record{before.Time, before.Rain, before.Measured};
    TCalibrationSettings settings;
    settings.Objective = static_cast<TObjective>(Cal<QComboBox>("ObjectiveBox")->currentData().toInt());
    settings.Bounds = BoundsAround(CalibrationWindow()->Shown());
    settings.SlowPath = true;
    TCalibration calibration(record.View(), settings);
    const TCalibrationPoint best = calibration.Search();
    QVERIFY(best.Valid);
    QCOMPARE(CalibrationWindow()->Shown(), best.Store);
    QCOMPARE(CalibrationWindow()->ShownExtensions().SlowPath, true);
    QCOMPARE(Cal<QDoubleSpinBox>("BaseShareSpin")->value(),
             std::round(best.Extensions.BaseShare * 1000) / 1000);
    QVERIFY2(Cal<QLabel>("ComparisonLabel")->text().contains("After: ") &&
                 Cal<QLabel>("ComparisonLabel")->text().contains("slow flow share"),
             qPrintable(Cal<QLabel>("ComparisonLabel")->text()));
  }

  // The import dialog offers the PET column by its name; the window then
  // drives the escape by it, point by point as the table has it; another
  // file takes it away.
  void evaporationComesFromTheImportedPetColumn() {
    TProgram program;
    TScratchDir dir;
    const TPetTable table = SeasonalTable(420);
    const std::string csv = dir.File("seasons.csv");
    WriteFileBytes(csv, table.Text);
    QVERIFY(ActivateInputTab());
    Main<QAction>("ImportTableAction")->trigger();
    auto* form = RainForm->findChild<TImportForm*>("ImportForm");
    QVERIFY(form);
    program.Prompts.Paths = {QString::fromStdString(csv)};
    Control<QPushButton>(form, "BrowseButton")->click();
    QCOMPARE(Control<QComboBox>(form, "PetBox")->currentText(), QString("PET"));
    auto* ok = Control<QDialogButtonBox>(form, "ImportButtons")->button(QDialogButtonBox::Ok);
    QVERIFY(ok->isEnabled());
    ok->click();
    Settle();
    QVERIFY(OpenWindow());
    auto* evaporation = Cal<QCheckBox>("EvaporationCheck");
    QVERIFY(evaporation->isEnabled());
    const TLiveFit designed = CalibrationWindow()->LastFit();
    evaporation->click();
    Settle();
    const TLiveFit fit = CalibrationWindow()->LastFit();
    QVERIFY(fit.Extensions.Evaporation);
    double mean = 0;
    for (double v : table.Pet) mean += v / static_cast<double>(table.Pet.size());
    QVERIFY(std::abs(fit.Extensions.PetMean - mean) < 1e-6 * mean);
    // The mean the calibration scales by, to the last digit: a search's best
    // and its refit here agree.
    QCOMPARE(fit.Extensions.PetMean, PetMeanOf(table.Pet));
    // The engine given the table's own PET, in the table's order.
    TRecord record{fit.Time, fit.Rain, fit.Measured};
    TRunSettings settings;
    settings.Extensions = fit.Extensions;
    settings.Pet = table.Pet;
    const TRun run = DetermineRun(record.View(), fit.Store, settings);
    QVERIFY(run.Ok());
    QCOMPARE(fit.Alpha, run.Alpha);
    QCOMPARE(fit.Fit[TCriterion::Nse], run.Fit[TCriterion::Nse]);
    QVERIFY(fit.Fit[TCriterion::Nse] != designed.Fit[TCriterion::Nse]);
    // Saved, the model names the column and the mean it was scaled by.
    const TModelFileRead read = SaveShownModel(program, QString::fromStdString(dir.File("pet.json")));
    QCOMPARE(QString::fromStdString(read.Error), QString());
    QCOMPARE(read.Model.Pet, std::string("PET"));
    QVERIFY(read.Model.Extensions.Evaporation);
    CalibrationWindow()->close();

    // An input file has no evaporation: the window offers none.
    program.Prompts.Paths = {Example("calibrate_daily.inp")};
    Main<QAction>("InputOpenAction")->trigger();
    QVERIFY(OpenWindow());
    QVERIFY(!Cal<QCheckBox>("EvaporationCheck")->isEnabled());
    QVERIFY(Cal<QCheckBox>("EvaporationCheck")->text().contains("import a table with a PET column"));
    QCOMPARE(program.Prompts.Messages, QStringList());
  }
};

TOLVANE_UI_TEST(TExtensionsWindowTest)

#include "ui_test_extensions.moc"
